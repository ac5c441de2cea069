#include "platform/shell/ShellNamespace.h"

#include "platform/kernel/AnsiCodePage.h"
#include "platform/kernel/LogCategories.h"
#include "platform/kernel/ProfileFile.h"
#include "platform/prefix/DosPaths.h"
#include "platform/prefix/Prefix.h"
#include "platform/shell/FileTypes.h"
#include "platform/shell/ShellFolders.h"
#include "platform/shell/ShellItemIds.h"
#include "platform/shell/ShellLinkObject.h"
#include "platform/shell/ShellNamespaceItems.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace win {

namespace {

using ShellItemIds::ItemData;
using Kind = ItemData::Kind;

std::atomic<long> allocatedBlocks{0};
IMalloc taskAllocator;

const QString computerParsingName = QStringLiteral("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");

QString joinWindows(const QString &folder, const QString &name)
{
    return folder.endsWith(u'\\') ? folder + name : folder + u'\\' + name;
}

HRESULT wideName(const QString &text, STRRET *name)
{
    const std::size_t bytes = std::size_t(text.size() + 1) * sizeof(char16_t);
    auto *buffer = static_cast<char16_t *>(taskAllocator.Alloc(bytes));
    if (!buffer)
        return E_OUTOFMEMORY;
    std::memcpy(buffer, text.utf16(), bytes);
    name->uType = STRRET::STRRET_WSTR;
    name->pOleStr = buffer;
    return S_OK;
}

// The order of CompareIDs: containers first, then names without regard to case.
int sortRank(Kind kind)
{
    return kind == Kind::Computer || kind == Kind::Volume || kind == Kind::Folder ? 0 : 1;
}

HRESULT shortResult(int order)
{
    return HRESULT(quint16(qint16(order < 0 ? -1 : order > 0 ? 1 : 0)));
}

} // namespace

void *IMalloc::Alloc(std::size_t size)
{
    void *block = std::calloc(1, size ? size : 1);
    if (block)
        ++allocatedBlocks;
    return block;
}

void IMalloc::Free(void *block)
{
    if (!block)
        return;
    --allocatedBlocks;
    std::free(block);
}

long IMalloc::liveBlocks() const
{
    return allocatedBlocks.load();
}

HRESULT SHGetMalloc(IMalloc **allocator)
{
    if (!allocator)
        return E_INVALIDARG;
    *allocator = &taskAllocator;
    return S_OK;
}

void CoTaskMemFree(void *block)
{
    taskAllocator.Free(block);
}

std::size_t idListContentSize(LPCITEMIDLIST list)
{
    if (!list)
        return 0;
    const unsigned char *bytes = bytesOf(list);
    std::size_t at = 0;
    for (;;) {
        const std::size_t count = std::size_t(bytes[at]) | std::size_t(bytes[at + 1]) << 8;
        if (count < 2)
            return at; // a count of 1 is damage: the list ends there
        at += count;
    }
}

LPITEMIDLIST allocIdList(const QByteArray &content)
{
    auto *list = static_cast<unsigned char *>(taskAllocator.Alloc(std::size_t(content.size()) + 2));
    if (list)
        std::memcpy(list, content.constData(), std::size_t(content.size()));
    return reinterpret_cast<LPITEMIDLIST>(list);
}

namespace shellitems {

std::vector<QByteArrayView> itemsOf(LPCITEMIDLIST list)
{
    std::vector<QByteArrayView> items;
    const auto *bytes = reinterpret_cast<const char *>(list);
    const std::size_t size = idListContentSize(list);
    for (std::size_t at = 0; at < size;) {
        const std::size_t count = quint8(bytes[at]) | std::size_t(quint8(bytes[at + 1])) << 8;
        items.emplace_back(bytes + at, qsizetype(count));
        at += count;
    }
    return items;
}

QByteArray contentOf(LPCITEMIDLIST list)
{
    return QByteArray(reinterpret_cast<const char *>(list), qsizetype(idListContentSize(list)));
}

bool isHiddenName(const QString &name)
{
    return name.startsWith(u'.');
}

bool hasSubFolder(const QString &hostFolder)
{
    QDirIterator entries(hostFolder, QDir::Dirs | QDir::NoDotAndDotDot);
    return entries.hasNext();
}

QString channelAddress(const QString &hostFolder)
{
    const QStringList ini =
        QDir(hostFolder)
            .entryList({QStringLiteral("desktop.ini")}, QDir::Files | QDir::Hidden | QDir::System);
    if (ini.isEmpty())
        return {};
    return GetPrivateProfileString(u"Channel", u"CDFURL", hostFolder + u'/' + ini.first())
        .value_or(QString());
}

QString normalName(const ItemData &item)
{
    switch (item.kind) {
    case Kind::Computer:
        return QStringLiteral("My Computer");
    case Kind::Volume:
        return QStringLiteral("Local Disk (%1)").arg(item.name);
    case Kind::File:
        if (FileTypes::ofFileName(item.name).neverShowExt && item.name.lastIndexOf(u'.') > 0)
            return item.name.first(item.name.lastIndexOf(u'.'));
        return item.name;
    case Kind::Folder:
    case Kind::Uri:
        return item.name;
    case Kind::Unknown:
        break;
    }
    return {};
}

} // namespace shellitems

using namespace shellitems;

HRESULT IEnumIDList::Next(LPITEMIDLIST *item)
{
    if (!item)
        return E_INVALIDARG;
    *item = nullptr;
    if (m_next >= m_items.size())
        return S_FALSE;
    *item = allocIdList(m_items[m_next++]);
    return *item ? S_OK : E_OUTOFMEMORY;
}

HRESULT SHGetDesktopFolder(std::shared_ptr<IShellFolder> *desktop)
{
    if (!desktop)
        return E_INVALIDARG;
    *desktop = std::make_shared<IShellFolder>();
    return S_OK;
}

HRESULT IShellFolder::bindFileSystem(QByteArray absolute,
                                     std::shared_ptr<IShellFolder> *folder) const
{
    const QString windows = ShellItemIds::toWindowsPath(terminated(absolute));
    const QString host = DosPaths::toHostPath(Prefix::target(), windows);
    if (windows.isEmpty() || host.isEmpty() || !QFileInfo(host).isDir()) {
        qCDebug(lcShell) << "no folder to bind to at" << windows;
        return HRESULT_FILE_NOT_FOUND;
    }
    auto bound = std::make_shared<IShellFolder>();
    bound->m_kind = FolderKind::FileSystem;
    bound->m_absolute = std::move(absolute);
    bound->m_windowsPath = windows;
    bound->m_hostPath = host;
    *folder = std::move(bound);
    return S_OK;
}

HRESULT IShellFolder::BindToObject(LPCITEMIDLIST items, std::shared_ptr<IShellFolder> *folder) const
{
    if (!items || !folder)
        return E_INVALIDARG;
    const std::vector<QByteArrayView> parts = itemsOf(items);
    if (parts.empty())
        return E_INVALIDARG;
    const QByteArray absolute = m_absolute + contentOf(items);
    const QByteArray list = terminated(absolute);
    const std::vector<QByteArrayView> all = itemsOf(listOf(list));
    if (ShellItemIds::itemData(all.front()).kind != Kind::Computer)
        return E_INVALIDARG;
    for (std::size_t i = 1; i < all.size(); ++i) {
        const Kind kind = ShellItemIds::itemData(all[i]).kind;
        if (i == 1 ? kind != Kind::Volume : kind != Kind::Folder)
            return E_INVALIDARG;
    }
    if (all.size() == 1) {
        auto computer = std::make_shared<IShellFolder>();
        computer->m_kind = FolderKind::Computer;
        computer->m_absolute = absolute;
        *folder = std::move(computer);
        return S_OK;
    }
    return bindFileSystem(absolute, folder);
}

HRESULT IShellFolder::EnumObjects(DWORD flags, std::unique_ptr<IEnumIDList> *items) const
{
    if (!items)
        return E_INVALIDARG;
    auto list = std::make_unique<IEnumIDList>();
    FileTypes::refresh();
    const bool folders = flags & SHCONTF_FOLDERS;
    const bool files = flags & SHCONTF_NONFOLDERS;
    switch (m_kind) {
    case FolderKind::Desktop:
        if (folders)
            list->m_items.push_back(ShellItemIds::computerItem());
        break;
    case FolderKind::Computer:
        for (char16_t letter = u'a'; letter <= u'z' && folders; ++letter)
            if (QFileInfo(Prefix::target().dosDevicesPath() + u'/' + QChar(letter) + u':').isDir())
                list->m_items.push_back(ShellItemIds::volumeItem(QChar(letter)));
        break;
    case FolderKind::FileSystem: {
        QDir dir(m_hostPath);
        if (!dir.exists()) {
            qCDebug(lcShell) << "cannot enumerate" << m_windowsPath;
            return HRESULT_FILE_NOT_FOUND;
        }
        const QFileInfoList entries = dir.entryInfoList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
        for (const QFileInfo &entry : entries) {
            if (!entry.exists())
                continue; // a broken link
            if (!(flags & SHCONTF_INCLUDEHIDDEN) && isHiddenName(entry.fileName()))
                continue;
            if (entry.isDir() ? folders : files)
                list->m_items.push_back(ShellItemIds::fileItem(entry.fileName(), entry));
        }
        break;
    }
    }
    *items = std::move(list);
    return S_OK;
}

HRESULT IShellFolder::CompareIDs(std::intptr_t column, LPCITEMIDLIST first,
                                 LPCITEMIDLIST second) const
{
    if (column != 0 || !first || !second)
        return E_INVALIDARG;
    const std::vector<QByteArrayView> a = itemsOf(first);
    const std::vector<QByteArrayView> b = itemsOf(second);
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const ItemData x = ShellItemIds::itemData(a[i]);
        const ItemData y = ShellItemIds::itemData(b[i]);
        int order = sortRank(x.kind) - sortRank(y.kind);
        if (order == 0)
            order = x.name.compare(y.name, Qt::CaseInsensitive);
        if (order != 0)
            return shortResult(order);
    }
    return shortResult(int(a.size()) - int(b.size()));
}

HRESULT IShellFolder::GetAttributesOf(LPCITEMIDLIST item, ULONG *attributes) const
{
    if (!item || !attributes)
        return E_INVALIDARG;
    const std::vector<QByteArrayView> parts = itemsOf(item);
    if (parts.empty())
        return E_INVALIDARG;
    const ItemData data = ShellItemIds::itemData(parts.back());
    ULONG found = 0;
    switch (data.kind) {
    case Kind::Computer:
        found = SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR;
        break;
    case Kind::Volume:
        found = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
        break;
    case Kind::Folder:
        found = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR;
        if ((*attributes & SFGAO_HASSUBFOLDER) && hasSubFolder(hostPathOf(item)))
            found |= SFGAO_HASSUBFOLDER;
        break;
    case Kind::File: {
        found = SFGAO_FILESYSTEM;
        const QString className = FileTypes::ofFileName(data.name).className;
        if (className == u"lnkfile" || className == u"InternetShortcut")
            found |= SFGAO_LINK;
        break;
    }
    case Kind::Uri:
        break;
    case Kind::Unknown:
        return E_INVALIDARG;
    }
    if (isHiddenName(data.name))
        found |= SFGAO_HIDDEN;
    *attributes &= found;
    return S_OK;
}

HRESULT IShellFolder::GetDisplayNameOf(LPCITEMIDLIST item, DWORD flags, STRRET *name) const
{
    if (!item || !name)
        return E_INVALIDARG;
    const std::vector<QByteArrayView> parts = itemsOf(item);
    if (parts.empty())
        return m_kind == FolderKind::Desktop ? wideName(QStringLiteral("Desktop"), name)
                                             : E_INVALIDARG;
    const ItemData data = ShellItemIds::itemData(parts.back());
    if (data.kind == Kind::Unknown)
        return E_INVALIDARG;
    if (!(flags & SHGDN_FORPARSING) || data.kind == Kind::Uri)
        return wideName(normalName(data), name);
    if (flags & SHGDN_INFOLDER)
        return wideName(data.kind == Kind::Volume ? data.name + u'\\' : data.name, name);
    if (data.kind == Kind::Computer)
        return wideName(computerParsingName, name);
    const QString path = windowsPathOf(item);
    return path.isEmpty() ? E_INVALIDARG : wideName(path, name);
}

HRESULT IShellFolder::GetLinkTargetOf(LPCITEMIDLIST item, LPITEMIDLIST *target) const
{
    if (!item || !target)
        return E_INVALIDARG;
    *target = nullptr;
    const std::vector<QByteArrayView> parts = itemsOf(item);
    if (parts.empty())
        return E_INVALIDARG;
    const ItemData data = ShellItemIds::itemData(parts.back());
    const QString host = hostPathOf(item);
    QByteArray list;
    if (data.kind == Kind::Folder) {
        const QString address = channelAddress(host);
        if (address.isEmpty())
            return E_NOTIMPL;
        list = ShellItemIds::uriItem(address);
    } else if (data.kind == Kind::File &&
               FileTypes::ofFileName(data.name).className == u"lnkfile") {
        ShellLinkObject link;
        const std::optional<QString> path = link.load(host) ? link.path() : std::nullopt;
        if (!path)
            return E_FAIL;
        list = ShellItemIds::fromWindowsPath(Prefix::target(), *path);
        list.chop(2);
        if (list.isEmpty())
            return E_FAIL;
    } else {
        return E_NOTIMPL;
    }
    *target = allocIdList(list);
    return *target ? S_OK : E_OUTOFMEMORY;
}

HRESULT IShellFolder::GetCurFolder(LPITEMIDLIST *list) const
{
    if (!list)
        return E_INVALIDARG;
    *list = allocIdList(m_absolute);
    return *list ? S_OK : E_OUTOFMEMORY;
}

QString IShellFolder::windowsPathOf(LPCITEMIDLIST item) const
{
    if (m_kind == FolderKind::FileSystem) {
        QString path = m_windowsPath;
        for (const QByteArrayView part : itemsOf(item))
            path = joinWindows(path, ShellItemIds::itemData(part).name);
        return path;
    }
    return ShellItemIds::toWindowsPath(terminated(m_absolute + contentOf(item)));
}

QString IShellFolder::hostPathOf(LPCITEMIDLIST item) const
{
    if (m_kind == FolderKind::FileSystem) {
        QString path = m_hostPath;
        for (const QByteArrayView part : itemsOf(item))
            path += u'/' + ShellItemIds::itemData(part).name;
        return path;
    }
    const QString windows = windowsPathOf(item);
    return windows.isEmpty() ? QString() : DosPaths::toHostPath(Prefix::target(), windows);
}

namespace {

// The user's folders by number, named as their shell folder values.
QString shellFolderValue(int folder)
{
    switch (folder) {
    case 0x02:
        return QStringLiteral("Programs");
    case CSIDL_PERSONAL:
        return QStringLiteral("Personal");
    case CSIDL_FAVORITES:
        return QStringLiteral("Favorites");
    case 0x07:
        return QStringLiteral("Startup");
    case 0x08:
        return QStringLiteral("Recent");
    case 0x09:
        return QStringLiteral("SendTo");
    case 0x0B:
        return QStringLiteral("Start Menu");
    case 0x10:
        return QStringLiteral("Desktop");
    case 0x13:
        return QStringLiteral("NetHood");
    case 0x14:
        return QStringLiteral("Fonts");
    case 0x15:
        return QStringLiteral("Templates");
    case 0x1A:
        return QStringLiteral("AppData");
    case 0x1B:
        return QStringLiteral("PrintHood");
    default:
        return {};
    }
}

} // namespace

HRESULT SHGetSpecialFolderLocation(int folder, LPITEMIDLIST *list)
{
    if (!list)
        return E_INVALIDARG;
    *list = nullptr;
    QByteArray content;
    if (folder == CSIDL_DRIVES) {
        content = ShellItemIds::computerItem();
    } else if (folder != CSIDL_DESKTOP) {
        const QString name = shellFolderValue(folder);
        if (name.isEmpty())
            return folder >= 0 && folder <= 0x3D ? E_FAIL : E_INVALIDARG;
        const QString windows = ShellFolders::windowsPath(name);
        const QString host = DosPaths::toHostPath(Prefix::target(), windows);
        if (windows.isEmpty() || host.isEmpty() || !QFileInfo(host).isDir()) {
            qCDebug(lcShell) << "special folder" << name << "is missing:" << windows;
            return E_FAIL;
        }
        content = ShellItemIds::fromWindowsPath(Prefix::target(), windows);
        content.chop(2);
    }
    *list = allocIdList(content);
    return *list ? S_OK : E_OUTOFMEMORY;
}

HRESULT IShellFolder::ParseDisplayName(const QString &name, LPITEMIDLIST *list) const
{
    if (!list)
        return E_INVALIDARG;
    *list = nullptr;
    if (m_kind != FolderKind::Desktop)
        return E_NOTIMPL;
    QString windows = name;
    while (windows.size() > 3 && windows.endsWith(u'\\'))
        windows.chop(1);
    const QString host = DosPaths::toHostPath(Prefix::target(), windows);
    if (host.isEmpty() || !QFileInfo::exists(host))
        return HRESULT_FILE_NOT_FOUND;
    QByteArray content = ShellItemIds::fromWindowsPath(Prefix::target(), windows);
    if (content.isEmpty())
        return E_INVALIDARG;
    content.chop(2);
    *list = allocIdList(content);
    return *list ? S_OK : E_OUTOFMEMORY;
}

bool SHGetPathFromIDListA(LPCITEMIDLIST list, QString *path)
{
    if (!list || !path)
        return false;
    *path = ShellItemIds::toWindowsPath(terminated(contentOf(list)));
    return !path->isEmpty();
}

} // namespace win
