#pragma once

#include "platform/desktop/ShellBrowseWindow.h"
#include "platform/shell/ShellNamespace.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <stdexcept>

class QPainter;

// Special folders that can be the root or the start of the picker; bfCustomPath stands for a
// path given in RootPath or StartupPath.
enum TbfSpecialFolder : int
{
    bfDesktop = 0,
    bfPrograms = 2,
    bfControls = 3,
    bfPrinters = 4,
    bfPersonal = 5,
    bfFavorites = 6,
    bfStartUp = 7,
    bfRecentFiles = 8,
    bfSendTo = 9,
    bfRecycleBin = 10,
    bfStartMenu = 11,
    bfDesktopDirectory = 16,
    bfMyComputer = 17,
    bfNetwork = 18,
    bfNethoodDirectory = 19,
    bfFonts = 20,
    bfShellNew = 21,
    bfCommonStartmenu = 22,
    bfCommonPrograms = 23,
    bfCommonStartup = 24,
    bfCommonDesktopDirectory = 25,
    bfAppData = 26,
    bfPrintHood = 27,
    bfCustomPath = 0xFFFF
};

enum TbfOption : unsigned
{
    bfoBrowseForComputer,
    bfoBrowseForPrinter,
    bfoDontGoBelowDomain,
    bfoReturnFSAncestors,
    bfoReturnOnlyFSDirs,
    bfoStatusText,
    bfoBrowseIncludeFiles,
    bfoEdit,
    bfoStatusTextDefault,
    bfoEditDefault,
    bfoStatusTextOwnerDraw
};
// A set of TbfOption, bit n for ordinal n.
using TbfOptions = unsigned;
constexpr TbfOptions bfOption(TbfOption option)
{
    return 1u << option;
}

enum TbfCustomButton
{
    bfbNone,
    bfbButton,
    bfbCheckBox
};

class EBrowseForFolderDialog : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

using TNotifyEvent = std::function<void(QObject *Sender)>;
// Draws the owner-drawn status line.
using TOwnerDrawEvent = std::function<void(QObject *Sender, QPainter &painter, const QRect &rect)>;

// The shell's folder selection dialog with a root and a start folder given as a special folder
// or a path, a status line that can show the selected path, an optional edit box in its place,
// an optional extra button or check box beside OK, and events for each stage. Paths are Windows
// paths of the prefix.
class TBrowseForFolderDialog : public QObject
{
    Q_OBJECT

public:
    explicit TBrowseForFolderDialog(QObject *owner = nullptr);
    ~TBrowseForFolderDialog() override;

    // Shows the dialog modally; true when the user chose a folder.
    bool Browse();

    QString About() const { return m_about; }

    QString RootPath() const;
    void SetRootPath(const QString &path);
    TbfSpecialFolder RootFolder() const { return m_rootFolder; }
    void SetRootFolder(TbfSpecialFolder folder);
    QString StartupPath() const;
    void SetStartupPath(const QString &path);
    TbfSpecialFolder StartupFolder() const { return m_startupFolder; }
    void SetStartupFolder(TbfSpecialFolder folder);
    QString SelectedPath() const;
    void SetSelectedPath(const QString &path);
    QString SelDisplayName() const { return m_selDisplayName; }
    int SeliImage() const { return m_seliImage; }

    QString Title;
    TbfOptions Options;
    QString EditAttachment;
    QString EditText() const;
    void SetEditText(const QString &text);
    QString StatusText() const { return m_statusText; }
    void SetStatusText(const QString &text);

    TbfCustomButton CustomButtonType() const { return m_customButtonType; }
    void SetCustomButtonType(TbfCustomButton type);
    QString CustomButtonCaption() const;
    void SetCustomButtonCaption(const QString &caption);
    bool CustomButtonEnabled() const;
    void SetCustomButtonEnabled(bool enabled);
    bool CustomButtonVisible() const { return m_customButtonVisible; }
    void SetCustomButtonVisible(bool visible);
    bool CustomButtonChecked() const;
    void SetCustomButtonChecked(bool checked);
    bool TreeViewHideSelection() const;
    void SetTreeViewHideSelection(bool hide);

    TNotifyEvent OnExecuting;
    TNotifyEvent OnInitialized;
    TNotifyEvent OnSelChanged;
    TNotifyEvent OnEditChange;
    TNotifyEvent OnCustomButtonClick;
    TNotifyEvent OnExecuted;
    TOwnerDrawEvent OnDrawStatusText;

    // The dialog while it is open, for the window set and the tests; null otherwise.
    win::ShellBrowseWindow *dialog() const { return m_dialog; }
    QLineEdit *editBox() const { return m_edit; }
    QAbstractButton *customButton() const { return m_customButton; }

private:
    static int callback(win::ShellBrowseWindow *window, unsigned message,
                        win::LPCITEMIDLIST selection, void *data);
    void initialize(win::ShellBrowseWindow *window);
    void selectionChanged(win::LPCITEMIDLIST selection);
    void editChanged();
    void createCustomButton();
    void fitCustomButtonWidth();
    void drawStatusText(QPainter &painter, const QRect &rect);
    QAbstractButton *existingCustomButton() const;
    bool has(TbfOption option) const { return Options & bfOption(option); }
    unsigned dialogFlags() const;

    win::LPITEMIDLIST listFor(TbfSpecialFolder folder, const QString &path) const;
    void replaceList(win::LPITEMIDLIST &list, win::LPITEMIDLIST value);

    QString m_about;
    QWidget *m_ownerWindow = nullptr;
    TbfSpecialFolder m_rootFolder = bfDesktop;
    TbfSpecialFolder m_startupFolder = bfMyComputer;
    QString m_rootPath;
    QString m_startupPath;
    QString m_selectedPath;
    QString m_selDisplayName;
    int m_seliImage = 0;
    QString m_editText;
    QString m_statusText;
    QString m_customButtonCaption;
    TbfCustomButton m_customButtonType = bfbNone;
    bool m_customButtonEnabled = true;
    bool m_customButtonVisible = true;
    bool m_customButtonChecked = false;
    bool m_treeViewHideSelection = true;

    win::LPITEMIDLIST m_rootList = nullptr;
    win::LPITEMIDLIST m_startupList = nullptr;
    win::LPITEMIDLIST m_selectedList = nullptr;
    win::LPITEMIDLIST m_browsePrevious = nullptr; // while Browse runs
    QPointer<win::ShellBrowseWindow> m_dialog;
    bool m_dialogOpen = false;
    QPointer<QLineEdit> m_edit;
    QPointer<QAbstractButton> m_customButton;
    bool m_changingEdit = false;
};
