#include "platform/shell/ShellFileInfo.h"

#include "platform/kernel/AnsiCodePage.h"
#include "platform/prefix/Prefix.h"
#include "platform/shell/FileTypes.h"
#include "platform/shell/ShellNamespaceItems.h"

#include <cstring>

namespace win {

namespace {

using namespace shellitems;
using ShellItemIds::ItemData;
using Kind = ItemData::Kind;

const SystemImageList imageList;

void copyText(char *field, std::size_t size, const QString &text)
{
    const QByteArray bytes = AnsiCodePage::fromUnicode(text).left(qsizetype(size) - 1);
    std::memcpy(field, bytes.constData(), std::size_t(bytes.size()));
    field[bytes.size()] = '\0';
}

struct Described
{
    ItemData data;
    QString hostPath;
    std::shared_ptr<IShellFolder> parent; // none for the desktop itself
    QByteArray item;                      // the last item, terminated
};

// The parent of the last item bound through the desktop; asked for every item of a folder in
// turn, so the last one is kept.
std::shared_ptr<IShellFolder> parentFolder(const QByteArray &parent)
{
    static QByteArray lastList;
    static QString lastPrefix;
    static std::shared_ptr<IShellFolder> last;
    const QString prefix = Prefix::target().root();
    if (last && lastList == parent && lastPrefix == prefix)
        return last;
    std::shared_ptr<IShellFolder> folder;
    if (SHGetDesktopFolder(&folder) != S_OK)
        return nullptr;
    if (!parent.isEmpty()) {
        const QByteArray list = terminated(parent);
        std::shared_ptr<IShellFolder> bound;
        if (FAILED(folder->BindToObject(listOf(list), &bound)))
            return nullptr;
        folder = bound;
    }
    lastList = parent;
    lastPrefix = prefix;
    last = folder;
    return folder;
}

std::optional<Described> describe(const QByteArray &absolute)
{
    const QByteArray list = terminated(absolute);
    const std::vector<QByteArrayView> items = itemsOf(listOf(list));
    if (items.empty())
        return Described{{Kind::Folder, QStringLiteral("Desktop")}, {}, nullptr, {}};
    Described described{
        ShellItemIds::itemData(items.back()), {}, nullptr, terminated(items.back().toByteArray())};
    if (described.data.kind == Kind::Unknown)
        return std::nullopt;
    described.parent = parentFolder(absolute.first(absolute.size() - items.back().size()));
    if (!described.parent)
        return std::nullopt;
    described.hostPath = described.parent->hostPathOf(listOf(described.item));
    return described;
}

ULONG attributesOf(const Described &item)
{
    ULONG attributes = ~ULONG(0);
    if (!item.parent)
        return SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
    item.parent->GetAttributesOf(listOf(item.item), &attributes);
    return attributes;
}

bool isChannel(const Described &item)
{
    return item.data.kind == Kind::Folder && !channelAddress(item.hostPath).isEmpty();
}

QString typeName(const Described &item)
{
    switch (item.data.kind) {
    case Kind::Computer:
        return QStringLiteral("System Folder");
    case Kind::Volume:
        return QStringLiteral("Local Disk");
    case Kind::Folder:
        if (isChannel(item))
            return FileTypes::classDefault(QStringLiteral("ChannelShortcut"))
                .value_or(QStringLiteral("Channel Shortcut"));
        return FileTypes::classDefault(QStringLiteral("Directory"))
            .value_or(QStringLiteral("Folder"));
    case Kind::File:
        return FileTypes::ofFileName(item.data.name).typeName;
    case Kind::Uri:
        return QStringLiteral("Internet Address");
    case Kind::Unknown:
        break;
    }
    return {};
}

int iconIndex(const Described &item)
{
    switch (item.data.kind) {
    case Kind::Computer:
        return IconComputer;
    case Kind::Volume:
        return IconDrive;
    case Kind::Folder:
        return isChannel(item) ? IconChannel : IconFolder;
    case Kind::File: {
        const QString className = FileTypes::ofFileName(item.data.name).className;
        if (className == u"InternetShortcut")
            return IconInternetShortcut;
        return className == u"lnkfile" ? IconShellLink : IconDocument;
    }
    case Kind::Uri:
        return IconInternetShortcut;
    case Kind::Unknown:
        break;
    }
    return IconDocument;
}

} // namespace

const SystemImageList *systemImageList()
{
    return &imageList;
}

std::uintptr_t SHGetFileInfoA(const void *item, DWORD, SHFILEINFOA *info, unsigned infoSize,
                              unsigned flags)
{
    if (!item || (info && infoSize < sizeof(SHFILEINFOA)))
        return 0;
    QByteArray absolute;
    if (flags & SHGFI_PIDL) {
        absolute = contentOf(static_cast<LPCITEMIDLIST>(item));
    } else {
        absolute = ShellItemIds::fromWindowsPath(
            Prefix::target(), AnsiCodePage::toUnicode(static_cast<const char *>(item)));
        if (absolute.isEmpty())
            return 0;
        absolute.chop(2);
    }
    const std::optional<Described> described = describe(absolute);
    if (!described)
        return 0;
    if (info) {
        if (flags & SHGFI_TYPENAME)
            copyText(info->szTypeName, sizeof info->szTypeName, typeName(*described));
        if (flags & SHGFI_DISPLAYNAME)
            copyText(info->szDisplayName, sizeof info->szDisplayName,
                     described->parent ? normalName(described->data) : described->data.name);
        if (flags & SHGFI_ATTRIBUTES)
            info->dwAttributes = attributesOf(*described);
        if (flags & SHGFI_SYSICONINDEX)
            info->iIcon = iconIndex(*described);
    }
    if (flags & SHGFI_SYSICONINDEX)
        return reinterpret_cast<std::uintptr_t>(&imageList);
    return 1;
}

} // namespace win
