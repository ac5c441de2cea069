#pragma once

#include "platform/urlcache/UrlCacheHash.h"

#include <QByteArrayView>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace urlcache {

enum class Signature
{
    Native,
    Wine
};

struct CacheDirectory
{
    quint32 fileCount = 0;
    QByteArrayView name;
};

// One URL record as stored. The views point into the container's mapping and stay valid
// only while it does.
struct UrlRecord
{
    quint32 offset = 0;
    quint32 blocks = 0;
    quint32 itemOffset = 0;
    QByteArrayView url;
    QByteArrayView localName;
    QByteArrayView headerInfo;
    QByteArrayView extension;
    bool hasLocalName = false;
    bool hasExtension = false;
    quint8 dirIndex = 0;
    quint32 entryType = 0;
    quint32 hitRate = 0;
    quint32 useCount = 0;
    quint32 exemptDelta = 0;
    quint64 fileSize = 0;
    quint64 lastModified = 0;
    quint64 lastAccess = 0;
    quint16 expireDate = 0;
    quint16 expireTime = 0;
    quint16 lastSyncDate = 0;
    quint16 lastSyncTime = 0;
    quint16 fileWriteDate = 0;
    quint16 fileWriteTime = 0;
};

// A validated, read-only view of a container file. parse() accepts only files that Wine
// would keep as they are and whose hash chain is sound; anything else counts as damaged.
class IndexView
{
public:
    // `readingOnly` also accepts a count of blocks in use that disagrees with the bitmap, the
    // one fault that a deletion killed at the wrong moment leaves: writing mends it first.
    static std::optional<IndexView> parse(const uchar *data, quint64 size,
                                          bool readingOnly = false);

    Signature signature() const { return m_signature; }
    HashRule hashRule() const
    {
        return m_signature == Signature::Wine ? HashRule::Wine : HashRule::Native;
    }
    const uchar *data() const { return m_data; }
    quint64 size() const { return m_size; }
    quint32 capacity() const { return m_capacity; }
    const std::vector<quint32> &hashTables() const { return m_tables; }
    const std::vector<CacheDirectory> &directories() const { return m_dirs; }

    // Items of all hash tables in chain order.
    quint32 itemCount() const { return quint32(m_tables.size()) * 448; }
    quint32 itemOffset(quint32 index) const;
    quint32 itemKey(quint32 index) const;
    // The URL record of a used item, when the record is sound.
    std::optional<UrlRecord> urlRecordAt(quint32 index) const;
    // By exact URL: the item `hint` first (the one a walk delivered last), then the hash of
    // either rule, then, for a URL with bytes above 0x7F, a scan of every item.
    std::optional<UrlRecord> find(QByteArrayView url, std::optional<quint32> hint = {}) const;
    // Whether a used item names a record at `offset`; built once per parse, so that checking
    // every block of a record costs no scan of every item.
    bool isItemTarget(quint32 offset) const;

private:
    std::optional<UrlRecord> readUrlRecord(quint32 offset, quint32 itemOffset) const;
    std::optional<UrlRecord> findByHash(QByteArrayView url, HashRule rule) const;
    bool parseHashChain();
    bool parseDirectories();

    const uchar *m_data = nullptr;
    quint64 m_size = 0;
    Signature m_signature = Signature::Native;
    quint32 m_capacity = 0;
    std::vector<quint32> m_tables;
    std::vector<CacheDirectory> m_dirs;
    mutable std::optional<std::vector<quint32>> m_targets;
};

// The checks Wine makes when it maps a container; a file failing them is wiped by Wine.
bool headerConsistent(const uchar *data, quint64 size);
// The count of blocks in use that the bitmap gives, when that count is all that fails the
// checks: a deletion stopped between freeing blocks in the bitmap and counting them leaves it.
std::optional<quint32> blocksInUseToRestore(const uchar *data, quint64 size);
std::optional<Signature> signatureOf(const uchar *data, quint64 size);

} // namespace urlcache
