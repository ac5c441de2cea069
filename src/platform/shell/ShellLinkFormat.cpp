#include "platform/shell/ShellLinkFormat.h"

#include "platform/kernel/AnsiCodePage.h"
#include "platform/kernel/LeBytes.h"

#include <utility>

namespace ShellLinkFormat {

namespace {

using namespace LeBytes;

constexpr quint32 headerSize = 0x4C;
constexpr char linkClsid[] = "\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46";

constexpr quint32 HasLinkTargetIDList = 0x01;
constexpr quint32 HasLinkInfo = 0x02;
constexpr quint32 HasName = 0x04;
constexpr quint32 HasRelativePath = 0x08;
constexpr quint32 HasWorkingDir = 0x10;
constexpr quint32 HasArguments = 0x20;
constexpr quint32 HasIconLocation = 0x40;
constexpr quint32 IsUnicode = 0x80;
constexpr quint32 ForceNoLinkInfo = 0x100;

constexpr quint32 volumeIdAndLocalBasePath = 0x1;
constexpr quint32 commonNetworkRelativeLink = 0x2;
constexpr quint32 environmentBlock = 0xA0000001;
constexpr qsizetype environmentBlockSize = 0x314;

std::optional<QByteArrayView> tail(QByteArrayView bytes, qsizetype offset)
{
    if (offset < 0 || offset > bytes.size())
        return std::nullopt;
    return bytes.sliced(offset);
}

std::optional<QString> ansiz(QByteArrayView bytes, qsizetype offset)
{
    const auto raw = bytesz(bytes, offset);
    return raw ? std::optional<QString>(AnsiCodePage::toUnicode(*raw)) : std::nullopt;
}

// An ANSI string, or its Unicode twin when the structure has one (offset 0 = absent).
std::optional<QString> pickString(QByteArrayView bytes, std::optional<quint32> ansiOffset,
                                  std::optional<quint32> unicodeOffset)
{
    if (unicodeOffset && *unicodeOffset != 0)
        return utf16z(bytes, *unicodeOffset);
    if (!ansiOffset)
        return std::nullopt;
    return ansiz(bytes, *ansiOffset);
}

std::optional<QString> networkName(QByteArrayView link)
{
    const auto size = u32(link, 0);
    const auto netNameOffset = u32(link, 8);
    if (!size || *size < 0x14 || !netNameOffset)
        return std::nullopt;
    link = link.first(qMin<qsizetype>(*size, link.size()));
    const bool unicode = *netNameOffset > 0x14;
    return pickString(link, netNameOffset, unicode ? u32(link, 0x14) : std::optional<quint32>());
}

std::optional<QString> linkInfoPath(QByteArrayView info)
{
    const auto size = u32(info, 4);
    const auto flags = u32(info, 8);
    if (!size || *size < 0x1C || !flags)
        return std::nullopt;
    const bool unicode = *size >= 0x24;
    const auto suffixOffset = u32(info, 0x18);
    const auto suffix =
        suffixOffset && *suffixOffset == 0
            ? std::optional<QString>(QString())
            : pickString(info, suffixOffset, unicode ? u32(info, 0x20) : std::nullopt);
    if (!suffix)
        return std::nullopt;
    if (*flags & commonNetworkRelativeLink) {
        const auto offset = u32(info, 0x14);
        const auto link = offset ? tail(info, *offset) : std::nullopt;
        if (const auto net = link ? networkName(*link) : std::nullopt) {
            if (suffix->isEmpty() || net->endsWith('\\'))
                return *net + *suffix;
            return *net + '\\' + *suffix;
        }
    }
    if (*flags & volumeIdAndLocalBasePath) {
        if (const auto base =
                pickString(info, u32(info, 0x10), unicode ? u32(info, 0x1C) : std::nullopt))
            return *base + *suffix;
    }
    return std::nullopt;
}

QString environmentTarget(QByteArrayView block)
{
    const auto unicode = utf16z(block.sliced(8 + 260, 520), 0);
    if (unicode && !unicode->isEmpty())
        return *unicode;
    return ansiz(block.sliced(8, 260), 0).value_or(QString());
}

QString cutAtNul(QString text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

void readExtraData(QByteArrayView bytes, qsizetype at, ShellLinkData &link)
{
    while (const auto size = u32(bytes, at)) {
        if (*size < 8 || *size > quint64(bytes.size() - at))
            return; // the terminal block, or a damaged block that ends the list
        const QByteArrayView block = bytes.sliced(at, *size);
        if (u32(block, 4) == environmentBlock && block.size() >= environmentBlockSize)
            link.environmentTarget = environmentTarget(block);
        at += *size;
    }
}

QByteArray linkInfo(const QString &path)
{
    bool plain = true;
    const QByteArray ansi = AnsiCodePage::fromUnicode(path, &plain);
    // Shell readers take the ANSI path; the Unicode one is added only when ANSI cannot hold it.
    const quint32 header = plain ? 0x1C : 0x24;
    const quint32 volumeId = header;
    const quint32 base = volumeId + 0x11;
    const quint32 suffix = base + quint32(ansi.size()) + 1;
    const quint32 unicodeBase = suffix + 1;
    const quint32 unicodeSuffix = unicodeBase + 2 * quint32(path.size() + 1);

    QByteArray out;
    put32(out, 0); // size, patched below
    put32(out, header);
    put32(out, volumeIdAndLocalBasePath);
    put32(out, volumeId);
    put32(out, base);
    put32(out, 0);
    put32(out, suffix);
    if (!plain) {
        put32(out, unicodeBase);
        put32(out, unicodeSuffix);
    }
    put32(out, 0x11); // VolumeID: fixed drive, no serial, empty label
    put32(out, 3);
    put32(out, 0);
    put32(out, 0x10);
    out.append('\0');
    out += ansi + '\0';
    out.append('\0');
    if (!plain) {
        putUtf16(out, path);
        put16(out, 0);
        put16(out, 0);
    }
    patch32(out, 0, quint32(out.size()));
    return out;
}

void putString(QByteArray &out, const QString &text)
{
    const QStringView kept = QStringView(text).first(qMin<qsizetype>(text.size(), 0xFFFF));
    put16(out, quint32(kept.size()));
    putUtf16(out, kept);
}

} // namespace

std::optional<ShellLinkData> parse(QByteArrayView bytes)
{
    if (bytes.size() < headerSize || u32(bytes, 0) != headerSize ||
        bytes.sliced(4, 16) != QByteArrayView(linkClsid, 16))
        return std::nullopt;
    ShellLinkData link;
    const quint32 flags = *u32(bytes, 0x14);
    link.fileAttributes = *u32(bytes, 0x18);
    link.creationTime = *u64(bytes, 0x1C);
    link.accessTime = *u64(bytes, 0x24);
    link.writeTime = *u64(bytes, 0x2C);
    link.fileSize = *u32(bytes, 0x34);
    link.iconIndex = qint32(*u32(bytes, 0x38));
    const quint32 show = *u32(bytes, 0x3C);
    link.showCommand = show == 3 || show == 7 ? qint32(show) : 1;
    link.hotKey = *u16(bytes, 0x40);

    qsizetype at = headerSize;
    if (flags & HasLinkTargetIDList) {
        const auto size = u16(bytes, at);
        if (!size || *size > bytes.size() - at - 2)
            return std::nullopt;
        link.idList = bytes.sliced(at + 2, *size).toByteArray();
        at += 2 + *size;
    }
    if (flags & HasLinkInfo) {
        const auto size = u32(bytes, at);
        if (!size || *size < 4 || *size > quint64(bytes.size() - at))
            return std::nullopt;
        if (!(flags & ForceNoLinkInfo))
            link.linkInfoPath = linkInfoPath(bytes.sliced(at, *size));
        at += *size;
    }
    const bool unicode = flags & IsUnicode;
    const std::pair<quint32, std::optional<QString> *> strings[] = {
        {HasName, &link.name},
        {HasRelativePath, &link.relativePath},
        {HasWorkingDir, &link.workingDir},
        {HasArguments, &link.arguments},
        {HasIconLocation, &link.iconLocation}};
    for (const auto &[flag, field] : strings) {
        if (!(flags & flag))
            continue;
        const auto count = u16(bytes, at);
        const qsizetype length = count ? qsizetype(*count) * (unicode ? 2 : 1) : 0;
        if (!count || length > bytes.size() - at - 2)
            return std::nullopt;
        const QByteArrayView raw = bytes.sliced(at + 2, length);
        *field = cutAtNul(unicode ? utf16(raw) : AnsiCodePage::toUnicode(raw));
        at += 2 + length;
    }
    readExtraData(bytes, at, link);
    return link;
}

QByteArray serialize(const ShellLinkData &link)
{
    const bool withIdList = !link.idList.isEmpty() && link.idList.size() <= 0xFFFF;
    quint32 flags = IsUnicode;
    flags |= withIdList ? HasLinkTargetIDList : 0u;
    flags |= link.linkInfoPath ? HasLinkInfo : 0u;
    flags |= link.name ? HasName : 0u;
    flags |= link.relativePath ? HasRelativePath : 0u;
    flags |= link.workingDir ? HasWorkingDir : 0u;
    flags |= link.arguments ? HasArguments : 0u;
    flags |= link.iconLocation ? HasIconLocation : 0u;

    QByteArray out;
    put32(out, headerSize);
    out.append(linkClsid, 16);
    put32(out, flags);
    put32(out, link.fileAttributes);
    put64(out, link.creationTime);
    put64(out, link.accessTime);
    put64(out, link.writeTime);
    put32(out, link.fileSize);
    put32(out, quint32(link.iconIndex));
    put32(out, quint32(link.showCommand));
    put16(out, link.hotKey);
    put16(out, 0);
    put32(out, 0);
    put32(out, 0);
    if (withIdList) {
        put16(out, quint32(link.idList.size()));
        out += link.idList;
    }
    if (link.linkInfoPath)
        out += linkInfo(*link.linkInfoPath);
    for (const auto *text :
         {&link.name, &link.relativePath, &link.workingDir, &link.arguments, &link.iconLocation}) {
        if (*text)
            putString(out, **text);
    }
    put32(out, 0);
    return out;
}

} // namespace ShellLinkFormat
