#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace urlcache {

// The two ways index files hash a URL: files written by Windows leave a final "/" out,
// Wine's files hash it too.
enum class HashRule
{
    Native,
    Wine
};

quint32 urlHash(QByteArrayView url, HashRule rule);

inline quint32 hashBucket(quint32 hash)
{
    return hash & 0x3F;
}

} // namespace urlcache
