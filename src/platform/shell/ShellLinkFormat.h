#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The contents of a shell link (.lnk) file. Strings are present only when the file holds them.
struct ShellLinkData
{
    quint32 fileAttributes = 0;
    quint64 creationTime = 0; // FILETIME, 0 = not set
    quint64 accessTime = 0;
    quint64 writeTime = 0;
    quint32 fileSize = 0;
    qint32 iconIndex = 0;
    qint32 showCommand = 1;
    quint16 hotKey = 0;
    QByteArray idList;                   // the items and their zero terminator
    std::optional<QString> linkInfoPath; // local path, or the network path when there is one
    std::optional<QString> name;         // the description
    std::optional<QString> relativePath;
    std::optional<QString> workingDir;
    std::optional<QString> arguments;
    std::optional<QString> iconLocation;
    QString environmentTarget; // the target with %VARIABLES%, when a block holds one
};

namespace ShellLinkFormat {

// Nullopt when the bytes are not a link or a structure the flags announce does not fit.
// A damaged LinkInfo yields no path; unknown or damaged extra data is skipped.
std::optional<ShellLinkData> parse(QByteArrayView bytes);

// Unicode strings, an ID list when `idList` is set, LinkInfo when `linkInfoPath` is set.
QByteArray serialize(const ShellLinkData &link);

} // namespace ShellLinkFormat
