#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>

// Names of cache subfolders and local files, formed as Wine forms them.
namespace urlcache {

// Eight characters of 0-9 and A-Z drawn from a FILETIME mixed with a salt.
QByteArray randomCacheName(quint64 fileTime, quint64 salt);

// A new subfolder name for directory `index` that does not exist in `folder` yet.
QByteArray newSubdirectoryName(const QString &folder, quint32 index, quint64 fileTime);

// The local file name for `url`: the last path segment without its extension, numbered
// "[k]", plus "." and the extension; a random name when the segment is empty or taken.
QByteArray newLocalFileName(QByteArrayView url, QByteArrayView extension,
                            const std::function<bool(const QByteArray &)> &exists,
                            quint64 fileTime);

// The name of a record's local file on disk. The record holds ANSI bytes, which Wine reads
// in the code page and names the file in UTF-8; it does so even with UTF-8 bytes that its
// wide calls stored ("\xC3\x84" on disk becomes "\xC3\x83\xE2\x80\x9E").
QByteArray hostFileName(QByteArrayView recordName);

// A name that stays inside its folder: one non-empty component, no separator, not a dot name.
bool isPlainFileName(QByteArrayView name);

} // namespace urlcache
