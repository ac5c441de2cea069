#pragma once

#include "platform/shell/ShellNamespace.h"

#include <QElapsedTimer>
#include <QTreeView>

#include <functional>
#include <memory>
#include <vector>

class FavoritesModel;

namespace win {
struct SystemImageList;
}

// How the address of an internet shortcut is read.
enum TResolveUrl
{
    IntShCut, // through the shell's internet-shortcut object
    IniFile   // by reading the file as an INI file
};

using TOnUrlSelectedEvent = std::function<void(QObject *Sender, const QString &Url)>;

// The browser's favourites folder through the shell namespace: one column of entries with the
// shell's small icons and display names, in the shell's order. Sub-folders open, Backspace goes
// back up (never above the favourites folder), and an activated link hands its address to
// OnURLSelected. The view is virtual: it holds records and answers captions and icons when asked,
// and fetches icons only for the rows it is about to show.
class TCustomFavoritesListView : public QTreeView
{
    Q_OBJECT

public:
    explicit TCustomFavoritesListView(QWidget *owner = nullptr);
    ~TCustomFavoritesListView() override;

    TResolveUrl ResolveUrl = IntShCut;
    // When false, channel shortcuts are left out.
    bool Channels = false;
    // The one receiver of an activated link's address: the program embeds no web browser that
    // the view could navigate instead.
    TOnUrlSelectedEvent OnURLSelected;

    // The full path of the last link activated; survives Reload.
    QString LinkFileName;

    // Rebuilds the view from the favourites folder at the top level. Throws when the shell
    // cannot give the folder.
    void Reload();
    // Shows the folder of the absolute list `P`; throws, leaving the view as it was, when it
    // cannot be bound or enumerated.
    void ShowFolder(win::LPCITEMIDLIST P);
    void ClearItems();
    // One level up; a beep at the favourites folder.
    void GoUp();
    // Opens the selected folder, or resolves the selected link and hands on its address. True
    // when it took a link, so that an action on "the link" never falls back on an earlier one.
    bool ActivateItem();

    // The find request of type-ahead: the first entry from `start` whose name begins with `text`
    // without regard to ASCII case, wrapping to the top when `wrap`; -1 when none.
    int FindItem(const QString &text, int start, bool wrap) const;
    // The cache hint: icons for the entries `first` to `last`.
    bool CacheHint(int first, int last);

    // What the view shows, for its owner.
    int Depth() const { return m_depth; }
    int count() const { return int(m_items.size()); }
    QString caption(int index) const;
    bool iconFetched(int index) const;
    // The caption of the entry with the focus; empty when none has it.
    QString focusedCaption() const;
    QString columnCaption() const { return m_columnCaption; }

signals:
    // The framework's double-click event.
    void DblClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyboardSearch(const QString &search) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class FavoritesModel;
    struct TItem
    {
        win::LPITEMIDLIST FullPidl = nullptr;
        win::LPITEMIDLIST ItemPidl = nullptr;
        bool NeedIcon = true;
        QString DisplayName;
        int IconIndex = 0;
    };

    void readShellNames();
    int selectedIndex() const;
    void setItemCount();
    void hintVisibleRows();

    std::vector<TItem> m_items;
    FavoritesModel *m_model;
    win::LPITEMIDLIST m_currentPidl = nullptr;
    win::LPITEMIDLIST m_rootPidl = nullptr;
    std::shared_ptr<win::IShellFolder> m_desktopFolder;
    const win::SystemImageList *m_imageList = nullptr;
    int m_depth = 0;
    bool m_shellNamesRead = false;
    QString m_columnCaption;
    QString m_typedText;
    QElapsedTimer m_sinceTyped;
};

// The list view as the layouts place it.
class TFavoritesListView : public TCustomFavoritesListView
{
    Q_OBJECT

public:
    using TCustomFavoritesListView::TCustomFavoritesListView;
};
