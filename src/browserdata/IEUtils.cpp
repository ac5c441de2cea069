#include "browserdata/IEUtils.h"

#include "platform/kernel/AnsiCodePage.h"
#include "platform/kernel/ProfileFile.h"
#include "platform/shell/InternetShortcut.h"
#include "platform/shell/ShellFileInfo.h"
#include "platform/shell/ShellLinkObject.h"

#include <cstring>

using namespace win;

namespace {

int countAt(const unsigned char *bytes)
{
    return int(bytes[0]) | int(bytes[1]) << 8;
}

QString fromStrRet(LPCITEMIDLIST item, const STRRET &name)
{
    switch (name.uType) {
    case STRRET::STRRET_WSTR: {
        QString text = QString::fromUtf16(name.pOleStr);
        CoTaskMemFree(name.pOleStr);
        return text;
    }
    case STRRET::STRRET_OFFSET:
        return AnsiCodePage::toUnicode(reinterpret_cast<const char *>(bytesOf(item)) +
                                       name.uOffset);
    case STRRET::STRRET_CSTR:
        return AnsiCodePage::toUnicode(name.cStr);
    }
    return {};
}

QString displayName(const IShellFolder &folder, LPCITEMIDLIST item, DWORD flags)
{
    STRRET name;
    if (FAILED(folder.GetDisplayNameOf(item, flags, &name)))
        return {};
    return fromStrRet(item, name);
}

} // namespace

LPITEMIDLIST ItemListNext(LPCITEMIDLIST item)
{
    auto *bytes = const_cast<unsigned char *>(bytesOf(item));
    return reinterpret_cast<LPITEMIDLIST>(bytes + countAt(bytes));
}

int ItemListSize(LPCITEMIDLIST list)
{
    return list ? int(idListContentSize(list)) + 2 : 0;
}

void ItemListRemoveLast(LPITEMIDLIST list)
{
    if (!list || countAt(bytesOf(list)) == 0)
        return;
    LPITEMIDLIST last = list;
    for (LPITEMIDLIST next = ItemListNext(list); countAt(bytesOf(next)) != 0;
         next = ItemListNext(next))
        last = next;
    bytesOf(last)[0] = 0;
    bytesOf(last)[1] = 0;
}

LPITEMIDLIST ItemListAlloc(int size)
{
    IMalloc *allocator = nullptr;
    if (size <= 0 || SHGetMalloc(&allocator) != S_OK)
        return nullptr;
    void *block = allocator->Alloc(std::size_t(size));
    if (block)
        std::memset(block, 0, std::size_t(size));
    return static_cast<LPITEMIDLIST>(block);
}

LPITEMIDLIST ItemListClone(LPCITEMIDLIST list)
{
    const int size = ItemListSize(list);
    LPITEMIDLIST clone = ItemListAlloc(size);
    if (clone)
        std::memcpy(bytesOf(clone), bytesOf(list), std::size_t(size));
    return clone;
}

LPITEMIDLIST ItemListJoin(LPCITEMIDLIST first, LPCITEMIDLIST second)
{
    const int firstSize = first ? ItemListSize(first) - 2 : 0;
    const int secondSize = ItemListSize(second);
    LPITEMIDLIST joined = ItemListAlloc(firstSize + secondSize);
    if (!joined)
        return nullptr;
    if (firstSize > 0)
        std::memcpy(bytesOf(joined), bytesOf(first), std::size_t(firstSize));
    if (secondSize > 0)
        std::memcpy(bytesOf(joined) + firstSize, bytesOf(second), std::size_t(secondSize));
    return joined;
}

void ItemListFree(LPITEMIDLIST list)
{
    CoTaskMemFree(list);
}

QString ItemDisplayName(const IShellFolder &folder, LPCITEMIDLIST item)
{
    return displayName(folder, item, SHGDN_NORMAL);
}

QString ItemParsingName(const IShellFolder &folder, LPCITEMIDLIST item)
{
    return displayName(folder, item, SHGDN_FORPARSING);
}

// The shell is asked with the item's full list: a relative one would name an item of the
// desktop instead.
bool ItemTypeNameIs(const QString &typeName, const IShellFolder &folder, LPCITEMIDLIST item)
{
    LPITEMIDLIST parent = nullptr;
    if (FAILED(folder.GetCurFolder(&parent)))
        return false;
    LPITEMIDLIST full = ItemListJoin(parent, item);
    ItemListFree(parent);
    SHFILEINFOA info;
    const bool found =
        full && SHGetFileInfoA(full, 0, &info, sizeof info, SHGFI_TYPENAME | SHGFI_PIDL) != 0;
    ItemListFree(full);
    return found && AnsiCodePage::toUnicode(info.szTypeName).left(80) == typeName;
}

bool IsBrowsableFolder(const QString &typeName, const IShellFolder &folder, LPCITEMIDLIST item)
{
    ULONG attributes = SFGAO_FOLDER;
    if (FAILED(folder.GetAttributesOf(item, &attributes)) || !(attributes & SFGAO_FOLDER))
        return false;
    return !ItemTypeNameIs(typeName, folder, item);
}

QString UrlFromIniFile(const QString &fileName)
{
    const QString host = shellHostPath(fileName);
    return host.isEmpty()
               ? QString()
               : GetPrivateProfileString(u"InternetShortcut", u"URL", host).value_or(QString());
}

QString UrlFromShortcutObject(const QString &fileName)
{
    InternetShortcut shortcut;
    QString url;
    if (SUCCEEDED(shortcut.Load(fileName)))
        shortcut.GetURL(&url);
    return url;
}

QString UrlFromChannelLink(const IShellFolder &folder, LPCITEMIDLIST item)
{
    LPITEMIDLIST target = nullptr;
    if (FAILED(folder.GetLinkTargetOf(item, &target)))
        return {};
    std::shared_ptr<IShellFolder> desktop;
    QString name;
    if (SHGetDesktopFolder(&desktop) == S_OK)
        name = ItemDisplayName(*desktop, target);
    ItemListFree(target);
    return name;
}

QString PathFromShellLink(const QString &fileName)
{
    ShellLinkObject link;
    if (!link.load(fileName) || !link.resolve())
        return {};
    return link.path().value_or(QString()).left(ShellLinkObject::maxPath);
}
