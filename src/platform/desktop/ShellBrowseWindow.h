#pragma once

#include "platform/shell/ShellNamespace.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPainter;
class QPushButton;
class QTreeView;

// The shell's folder selection dialog over the prefix's namespace: a title, a status line, the
// tree of folders below a root, OK and Cancel. A caller's callback hears when the dialog is ready
// and each time the selection changes, and steers the dialog through the operations below, as a
// Windows program steers the shell's dialog with its messages.
namespace win {

constexpr unsigned BIF_RETURNONLYFSDIRS = 0x0001;
constexpr unsigned BIF_DONTGOBELOWDOMAIN = 0x0002;
constexpr unsigned BIF_STATUSTEXT = 0x0004;
constexpr unsigned BIF_RETURNFSANCESTORS = 0x0008;
constexpr unsigned BIF_BROWSEFORCOMPUTER = 0x1000;
constexpr unsigned BIF_BROWSEFORPRINTER = 0x2000;
constexpr unsigned BIF_BROWSEINCLUDEFILES = 0x4000;

constexpr unsigned BFFM_INITIALIZED = 1;
constexpr unsigned BFFM_SELCHANGED = 2;

class ShellBrowseWindow;
class ShellTreeModel;

// `selection` is the newly selected absolute list with BFFM_SELCHANGED, null otherwise.
using BFFCALLBACK = int (*)(ShellBrowseWindow *window, unsigned message, LPCITEMIDLIST selection,
                            void *data);

struct BROWSEINFOA
{
    QWidget *hwndOwner = nullptr;
    LPCITEMIDLIST pidlRoot = nullptr; // the desktop when null
    char *pszDisplayName = nullptr;   // 260 bytes for the chosen folder's display name
    QString lpszTitle;
    unsigned ulFlags = 0;
    BFFCALLBACK lpfn = nullptr;
    void *lParam = nullptr;
    int iImage = 0;
};

// Shows the dialog modally. The chosen folder's absolute list (from the shell's allocator), or
// null when the user cancelled.
LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA *info);

class ShellBrowseWindow : public QDialog
{
    Q_OBJECT

public:
    ShellBrowseWindow(const BROWSEINFOA &info, QWidget *owner);
    ~ShellBrowseWindow() override;

    // The dialog's messages (BFFM_SETSTATUSTEXTA, BFFM_SETSELECTIONA, BFFM_ENABLEOK).
    void setStatusText(const QString &text);
    // Selects the folder of an absolute list, or of a Windows path of the prefix; false when
    // the tree below the root does not hold it.
    bool setSelection(LPCITEMIDLIST list);
    bool setSelection(const QString &path);
    void enableOk(bool enable);

    // The children, found by their role as a Windows program finds them by class.
    QLabel *titleLabel() const { return m_title; }
    QLabel *statusLabel() const { return m_status; }
    QTreeView *tree() const { return m_tree; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    // Draws the status line instead of the label's own drawing (an owner-drawn status line).
    using StatusPainter = std::function<void(QPainter &painter, const QRect &rect)>;
    void setStatusPainter(StatusPainter painter);

    // The selected folder's absolute list as bytes, without the terminator.
    QByteArray selection() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void selectionChanged();
    bool canBeChosen(const QByteArray &selected) const;

    BROWSEINFOA m_info;
    ShellTreeModel *m_model;
    QLabel *m_title;
    QLabel *m_status;
    QTreeView *m_tree;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    bool m_initialized = false;
    bool m_selectionReported = false;
};

} // namespace win
