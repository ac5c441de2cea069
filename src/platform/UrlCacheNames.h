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

// A name that stays inside its folder: one non-empty component, no separator, not a dot name.
bool isPlainFileName(QByteArrayView name);

} // namespace urlcache
