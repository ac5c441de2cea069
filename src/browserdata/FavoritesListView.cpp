#include "browserdata/FavoritesListView.h"

#include "browserdata/IEUtils.h"
#include "platform/desktop/MessageBeep.h"
#include "platform/desktop/SystemIcons.h"
#include "platform/kernel/AnsiCodePage.h"
#include "platform/kernel/LogCategories.h"
#include "platform/shell/FileTypes.h"
#include "platform/shell/ShellFileInfo.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPixmap>
#include <QScopeGuard>

#include <algorithm>
#include <stdexcept>

using namespace win;

namespace {

// Shared by every instance, as the folder shown last and the two type names are.
std::shared_ptr<IShellFolder> CurrentFolder;
QString ChannelTypeName;
QString InternetShortcutTypeName;

[[noreturn]] void fail(const char *what, HRESULT result)
{
    qCWarning(lcShell) << what << "failed:" << Qt::hex << quint32(result);
    throw std::runtime_error(std::string(what) + " failed (0x" +
                             QByteArray::number(quint32(result), 16).toStdString() + ").");
}

QString upperAscii(QString text)
{
    for (QChar &c : text)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return text;
}

// An item list that goes back to the allocator when it goes out of scope.
struct OwnedList
{
    explicit OwnedList(LPITEMIDLIST l) : list(l) {}
    ~OwnedList() { ItemListFree(list); }
    OwnedList(const OwnedList &) = delete;
    OwnedList &operator=(const OwnedList &) = delete;
    LPITEMIDLIST list;
};

} // namespace

// Captions and icons on request from the view's records; icons exist once the cache hint fetched
// them.
class FavoritesModel : public QAbstractListModel
{
public:
    explicit FavoritesModel(TCustomFavoritesListView *view) : QAbstractListModel(view), m_view(view)
    {
        QPixmap blank(16, 16);
        blank.fill(Qt::transparent);
        m_placeholder = QIcon(blank);
    }

    int rowCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : m_rows; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_view->count())
            return {};
        const auto &item = m_view->m_items[std::size_t(index.row())];
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return item.DisplayName;
        if (role == Qt::DecorationRole)
            return item.NeedIcon ? m_placeholder
                                 : SystemIcons::icon(m_view->m_imageList, item.IconIndex);
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return m_view->m_columnCaption;
        return {};
    }

    void setRows(int rows)
    {
        beginResetModel();
        m_rows = rows;
        endResetModel();
    }

    void iconsChanged(int first, int last)
    {
        emit dataChanged(index(first), index(last), {Qt::DecorationRole});
    }

    void captionChanged() { emit headerDataChanged(Qt::Horizontal, 0, 0); }

private:
    TCustomFavoritesListView *m_view;
    int m_rows = 0;
    QIcon m_placeholder;
};

TCustomFavoritesListView::TCustomFavoritesListView(QWidget *owner)
    : QTreeView(owner), m_model(new FavoritesModel(this))
{
    setEditTriggers(NoEditTriggers);
    resize(200, 300);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectRows);
    setIconSize(QSize(16, 16));
    setMouseTracking(true); // hot tracking
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(false);
    setModel(m_model);
    header()->resizeSection(0, width() - 4);
}

// The registry is read with the first listing, not while the windows are made: a big profile
// must not keep the start-up window off the screen.
void TCustomFavoritesListView::readShellNames()
{
    if (m_shellNamesRead)
        return;
    m_shellNamesRead = true;
    ChannelTypeName = FileTypes::classDefault(QStringLiteral("ChannelShortcut"))
                          .value_or(QStringLiteral("Channel Shortcut"));
    InternetShortcutTypeName = FileTypes::classDefault(QStringLiteral("InternetShortcut"))
                                   .value_or(QStringLiteral("Internet Shortcut"));
    SHGetDesktopFolder(&m_desktopFolder);
    CurrentFolder = m_desktopFolder;
    if (SUCCEEDED(SHGetSpecialFolderLocation(CSIDL_FAVORITES, &m_rootPidl)))
        m_columnCaption = ItemParsingName(*m_desktopFolder, m_rootPidl).section(u'\\', -1);
    m_model->captionChanged();
}

TCustomFavoritesListView::~TCustomFavoritesListView()
{
    ClearItems();
    ItemListFree(m_currentPidl);
    ItemListFree(m_rootPidl);
}

void TCustomFavoritesListView::Reload()
{
    readShellNames();
    LPITEMIDLIST root = nullptr;
    if (const HRESULT result = SHGetSpecialFolderLocation(CSIDL_FAVORITES, &root); FAILED(result))
        fail("Finding the favourites folder", result);
    ItemListFree(m_rootPidl);
    m_rootPidl = root;
    if (const HRESULT result = SHGetDesktopFolder(&m_desktopFolder); FAILED(result))
        fail("Getting the desktop folder", result);
    CurrentFolder = m_desktopFolder;
    ClearItems();
    setItemCount();

    SHFILEINFOA info;
    m_imageList = reinterpret_cast<const SystemImageList *>(SHGetFileInfoA(
        m_rootPidl, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_PIDL | SHGFI_SMALLICON));

    ShowFolder(m_rootPidl);
    m_depth = 0;
    header()->resizeSection(0, width() - 4);
}

void TCustomFavoritesListView::ShowFolder(LPCITEMIDLIST P)
{
    std::shared_ptr<IShellFolder> folder;
    if (const HRESULT result = m_desktopFolder->BindToObject(P, &folder); FAILED(result))
        fail("Opening the folder", result);

    setUpdatesEnabled(false);
    const auto endUpdate = qScopeGuard([this] { setUpdatesEnabled(true); });

    std::unique_ptr<IEnumIDList> entries;
    if (const HRESULT result = folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &entries);
        FAILED(result))
        fail("Reading the folder", result);

    CurrentFolder = folder;
    ClearItems();
    LPITEMIDLIST item = nullptr;
    while (entries->Next(&item) == S_OK) {
        if (!Channels && ItemTypeNameIs(ChannelTypeName, *CurrentFolder, item)) {
            ItemListFree(item);
            continue;
        }
        m_items.push_back({nullptr, item, true, ItemDisplayName(*CurrentFolder, item), 0});
    }
    std::sort(m_items.begin(), m_items.end(), [](const TItem &a, const TItem &b) {
        return qint16(quint16(CurrentFolder->CompareIDs(0, a.ItemPidl, b.ItemPidl))) < 0;
    });

    setItemCount();
    ItemListFree(m_currentPidl);
    m_currentPidl = ItemListClone(P);

    if (!m_items.empty()) {
        const QModelIndex first = m_model->index(0);
        setCurrentIndex(first);
        scrollTo(first, EnsureVisible);
    }
}

void TCustomFavoritesListView::ClearItems()
{
    for (TItem &item : m_items) {
        ItemListFree(item.ItemPidl);
        ItemListFree(item.FullPidl);
    }
    m_items.clear();
}

void TCustomFavoritesListView::GoUp()
{
    const OwnedList parent(ItemListClone(m_currentPidl));
    ItemListRemoveLast(parent.list);
    const bool hasParent = parent.list && (bytesOf(parent.list)[0] | bytesOf(parent.list)[1]);
    if (hasParent && m_depth > 0) {
        --m_depth;
        ShowFolder(parent.list);
    } else {
        MessageBeep();
    }
}

bool TCustomFavoritesListView::ActivateItem()
{
    emit DblClick();
    const int selected = selectedIndex();
    if (selected < 0)
        return false;
    const LPITEMIDLIST item = m_items[std::size_t(selected)].ItemPidl;

    if (IsBrowsableFolder(ChannelTypeName, *CurrentFolder, item)) {
        const OwnedList folder(ItemListJoin(m_currentPidl, item));
        ShowFolder(folder.list);
        ++m_depth;
        return false;
    }

    const QString fileName = ItemParsingName(*CurrentFolder, item);
    LinkFileName = fileName;
    const OwnedList full(ItemListJoin(m_currentPidl, item));
    SHFILEINFOA info;
    SHGetFileInfoA(full.list, 0, &info, sizeof info,
                   SHGFI_TYPENAME | SHGFI_ATTRIBUTES | SHGFI_PIDL);
    const QString typeName = AnsiCodePage::toUnicode(info.szTypeName).left(80);

    QString url;
    if (typeName == ChannelTypeName)
        url = UrlFromChannelLink(*CurrentFolder, item);
    else if (typeName == InternetShortcutTypeName)
        url = ResolveUrl == IntShCut ? UrlFromShortcutObject(fileName) : UrlFromIniFile(fileName);
    else
        url = PathFromShellLink(fileName);

    if (OnURLSelected)
        OnURLSelected(this, url);
    return true;
}

int TCustomFavoritesListView::FindItem(const QString &text, int start, bool wrap) const
{
    const QString wanted = upperAscii(text);
    const int total = count();
    int index = start;
    for (int examined = 0; examined < total; ++examined, ++index) {
        if (index >= total) {
            if (!wrap)
                return -1;
            index = 0;
        }
        if (examined > 0 && index == start)
            break;
        if (upperAscii(m_items[std::size_t(index)].DisplayName).startsWith(wanted))
            return index;
    }
    return -1;
}

bool TCustomFavoritesListView::CacheHint(int first, int last)
{
    const int lastRecord = count() - 1;
    if (first > lastRecord || last > lastRecord)
        return false;
    if (last < first)
        return true;
    for (int index = first; index <= last; ++index) {
        TItem &item = m_items[std::size_t(index)];
        if (!item.NeedIcon)
            continue;
        ItemListFree(item.FullPidl);
        item.FullPidl = ItemListJoin(m_currentPidl, item.ItemPidl);
        SHFILEINFOA info;
        SHGetFileInfoA(item.FullPidl, 0, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_PIDL);
        item.IconIndex = info.iIcon;
        item.NeedIcon = false;
    }
    m_model->iconsChanged(first, last);
    return true;
}

QString TCustomFavoritesListView::caption(int index) const
{
    return index >= 0 && index < count() ? m_items[std::size_t(index)].DisplayName : QString();
}

bool TCustomFavoritesListView::iconFetched(int index) const
{
    return index >= 0 && index < count() && !m_items[std::size_t(index)].NeedIcon;
}

QString TCustomFavoritesListView::focusedCaption() const
{
    return caption(currentIndex().isValid() ? currentIndex().row() : -1);
}

int TCustomFavoritesListView::selectedIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TCustomFavoritesListView::setItemCount()
{
    m_model->setRows(count());
    viewport()->update();
}

void TCustomFavoritesListView::hintVisibleRows()
{
    if (m_items.empty())
        return;
    const QModelIndex top = indexAt(QPoint(0, 0));
    if (!top.isValid())
        return;
    const QModelIndex bottom = indexAt(QPoint(0, viewport()->height() - 1));
    CacheHint(top.row(), bottom.isValid() ? bottom.row() : count() - 1);
}

void TCustomFavoritesListView::keyPressEvent(QKeyEvent *event)
{
    QTreeView::keyPressEvent(event);
    if (event->key() == Qt::Key_Backspace)
        GoUp();
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        ActivateItem();
}

// Typed letters gather into one search while they follow each other quickly; a new search
// starts after the focused entry, a growing one at it.
void TCustomFavoritesListView::keyboardSearch(const QString &search)
{
    if (search.isEmpty() || !search.front().isPrint())
        return;
    const bool continuing =
        m_sinceTyped.isValid() && m_sinceTyped.elapsed() < QApplication::keyboardInputInterval();
    m_typedText = continuing ? m_typedText + search : search;
    m_sinceTyped.start();
    const int focused = currentIndex().isValid() ? currentIndex().row() : -1;
    const int start = continuing ? qMax(focused, 0) : focused + 1;
    const int found = FindItem(m_typedText, start, true);
    if (found >= 0) {
        const QModelIndex index = m_model->index(found);
        setCurrentIndex(index);
        scrollTo(index, EnsureVisible);
    }
}

void TCustomFavoritesListView::paintEvent(QPaintEvent *event)
{
    hintVisibleRows();
    QTreeView::paintEvent(event);
}

void TCustomFavoritesListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        ActivateItem();
}

void TCustomFavoritesListView::resizeEvent(QResizeEvent *event)
{
    QTreeView::resizeEvent(event);
    header()->resizeSection(0, width() - 4);
}
