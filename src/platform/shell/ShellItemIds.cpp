#include "platform/shell/ShellItemIds.h"

#include "platform/kernel/AnsiCodePage.h"
#include "platform/kernel/LeBytes.h"
#include "platform/prefix/DosPaths.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStringList>

namespace ShellItemIds {

namespace {

using namespace LeBytes;

constexpr char myComputer[] = "\xE0\x4F\xD0\x20\xEA\x3A\x69\x10\xA2\xD8\x08\x00\x2B\x30\x30\x9D";
constexpr quint8 rootType = 0x1F;
constexpr quint8 volumeType = 0x2F;
constexpr quint8 folderType = 0x31;
constexpr quint8 fileType = 0x32;
constexpr quint8 uriType = 0x61;
constexpr quint8 unicodeNameBit = 0x04;
constexpr quint32 extensionSignature = 0xBEEF0004;
constexpr quint16 extensionVersion = 3; // the long-name block as the shell has written since XP
constexpr qsizetype primaryNameOffset = 14;
constexpr qsizetype longNameOffset = 0x14;

struct FatStamp
{
    quint16 date = 0;
    quint16 time = 0;
};

FatStamp fatStamp(const QDateTime &stamp)
{
    const QDateTime local = stamp.toLocalTime();
    const QDate date = local.date();
    const QTime time = local.time();
    if (!local.isValid() || date.year() < 1980 || date.year() > 2107)
        return {};
    return {quint16((date.year() - 1980) << 9 | date.month() << 5 | date.day()),
            quint16(time.hour() << 11 | time.minute() << 5 | time.second() / 2)};
}

} // namespace

QByteArray computerItem()
{
    QByteArray item;
    put16(item, 0x14);
    item.append(char(rootType)).append(char(0x50)); // the sort index the shell gives it
    item.append(myComputer, 16);
    return item;
}

QByteArray volumeItem(QChar drive)
{
    QByteArray item;
    put16(item, 0x19);
    item.append(char(volumeType));
    QByteArray name = QByteArray(1, char(drive.toUpper().unicode())) + ":\\";
    name.resize(22, '\0');
    return item + name;
}

QByteArray fileItem(const QString &name, const QFileInfo &info, bool lastOfPath)
{
    const bool exists = info.exists();
    const bool folder = exists ? info.isDir() : !lastOfPath;
    const FatStamp written = exists ? fatStamp(info.lastModified()) : FatStamp();
    const FatStamp created =
        exists ? fatStamp(info.birthTime().isValid() ? info.birthTime() : info.lastModified())
               : FatStamp();
    const FatStamp read = exists ? fatStamp(info.lastRead()) : FatStamp();

    QByteArray item;
    put16(item, 0); // size, patched below
    item.append(char(folder ? folderType : fileType)).append('\0');
    put32(item, folder || !exists ? 0 : quint32(info.size()));
    put16(item, written.date);
    put16(item, written.time);
    put16(item, folder ? 0x10 : 0x20);
    item += AnsiCodePage::fromUnicode(name) + '\0';
    if (item.size() % 2)
        item.append('\0');

    const qsizetype extension = item.size();
    put16(item, quint32(longNameOffset + 2 * (name.size() + 1) + 2));
    put16(item, extensionVersion);
    put32(item, extensionSignature);
    put16(item, created.date);
    put16(item, created.time);
    put16(item, read.date);
    put16(item, read.time);
    put16(item, longNameOffset);
    put16(item, 0); // no localised name
    putUtf16(item, name);
    put16(item, 0);
    put16(item, quint32(extension));
    patch16(item, 0, quint32(item.size()));
    return item;
}

QByteArray uriItem(const QString &address)
{
    QByteArray item;
    put16(item, 0);
    item.append(char(uriType)).append('\0');
    putUtf16(item, address);
    put16(item, 0);
    patch16(item, 0, quint32(item.size()));
    return item;
}

namespace {

// The long name of a file entry's extension block, when it has one in the shell's form.
std::optional<QString> longName(QByteArrayView item)
{
    const auto blockAt = u16(item, item.size() - 2);
    if (!blockAt || *blockAt < primaryNameOffset)
        return std::nullopt;
    const QByteArrayView block =
        item.sliced(0, item.size() - 2).sliced(qMin<qsizetype>(*blockAt, item.size() - 2));
    const auto size = u16(block, 0);
    const auto version = u16(block, 2);
    const auto signature = u32(block, 4);
    const auto nameAt = u16(block, 16);
    if (!size || !version || !signature || !nameAt || *signature != extensionSignature ||
        *version < 3 || *nameAt < 0x12 || *size > block.size() + 2)
        return std::nullopt;
    return utf16z(block.first(qMax<qsizetype>(*size - 2, 0)), *nameAt);
}

std::optional<QString> entryName(QByteArrayView item)
{
    if (auto name = longName(item); name && !name->isEmpty())
        return name;
    if (quint8(item[2]) & unicodeNameBit)
        return utf16z(item, primaryNameOffset);
    const auto bytes = bytesz(item, primaryNameOffset);
    return bytes ? std::optional<QString>(AnsiCodePage::toUnicode(*bytes)) : std::nullopt;
}

} // namespace

ItemData itemData(QByteArrayView item)
{
    using Kind = ItemData::Kind;
    const auto size = u16(item, 0);
    if (!size || *size < 3 || *size > item.size())
        return {};
    item = item.first(*size);
    const quint8 type = quint8(item[2]);
    if (type == rootType && item.size() >= 20 &&
        item.sliced(4, 16) == QByteArrayView(myComputer, 16))
        return {Kind::Computer, {}};
    if ((type & 0x70) == 0x20) {
        const auto name = bytesz(item, 3);
        if (!name || name->size() < 2 || name->at(1) != ':')
            return {};
        return {Kind::Volume, QString::fromLatin1(name->first(2)).toUpper()};
    }
    if ((type & 0x70) == 0x30 && item.size() > primaryNameOffset) {
        const auto name = entryName(item);
        if (!name || name->isEmpty())
            return {};
        return {(type & 0x01) ? Kind::Folder : Kind::File, *name};
    }
    if (type == uriType) {
        const auto address = utf16z(item, 4);
        return address ? ItemData{Kind::Uri, *address} : ItemData{};
    }
    return {};
}

QByteArray fromWindowsPath(const Prefix &prefix, QStringView windowsPath)
{
    if (windowsPath.size() < 2 || windowsPath[1] != u':' || !windowsPath[0].isLetter() ||
        windowsPath[0].unicode() > 127)
        return {};
    QByteArray list = computerItem() + volumeItem(windowsPath[0]);
    const QStringList parts = windowsPath.mid(2).toString().split(QChar('\\'), Qt::SkipEmptyParts);
    QString walked = windowsPath.first(2).toString();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        walked += '\\' + parts[i];
        const QString host = DosPaths::toHostPath(prefix, walked);
        list += fileItem(parts[i], host.isEmpty() ? QFileInfo() : QFileInfo(host),
                         i == parts.size() - 1);
    }
    put16(list, 0);
    return list;
}

QString toWindowsPath(QByteArrayView idList)
{
    QString drive;
    QStringList names;
    for (qsizetype at = 0;;) {
        const auto size = u16(idList, at);
        if (!size)
            return {};
        if (*size == 0)
            break;
        if (*size < 3 || *size > idList.size() - at)
            return {};
        const QByteArrayView item = idList.sliced(at, *size);
        const quint8 type = quint8(item[2]);
        if (type == rootType && drive.isEmpty()) {
            // My Computer: nothing of the path
        } else if ((type & 0x70) == 0x20 && drive.isEmpty()) {
            const auto name = bytesz(item, 3);
            if (!name || name->size() < 2)
                return {};
            drive = QString::fromLatin1(name->first(2));
        } else if ((type & 0x70) == 0x30 && !drive.isEmpty()) {
            const auto name = entryName(item);
            if (!name || name->isEmpty())
                return {};
            names << *name;
        } else {
            return {};
        }
        at += *size;
    }
    if (drive.isEmpty())
        return {};
    return drive + '\\' + names.join('\\');
}

} // namespace ShellItemIds
