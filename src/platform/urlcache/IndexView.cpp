#include "platform/urlcache/IndexView.h"

#include "platform/urlcache/IndexDatLayout.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace urlcache {

using namespace layout;

namespace {

bool hasHighBytes(QByteArrayView text)
{
    for (char c : text)
        if (quint8(c) >= 0x80)
            return true;
    return false;
}

bool isRedirectKey(quint32 key)
{
    return (key & 7) == 5;
}

quint32 bitmapPopcount(const uchar *bitmap, quint32 bytes)
{
    quint32 count = 0;
    quint32 i = 0;
    for (; i + 8 <= bytes; i += 8) {
        quint64 word;
        std::memcpy(&word, bitmap + i, 8);
        count += quint32(std::popcount(word));
    }
    for (; i < bytes; ++i)
        count += quint32(std::popcount(quint32(bitmap[i])));
    return count;
}

bool allZero(const uchar *p, quint32 bytes)
{
    for (quint32 i = 0; i < bytes; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

} // namespace

std::optional<Signature> signatureOf(const uchar *data, quint64 size)
{
    if (size < SignatureSize)
        return std::nullopt;
    if (std::memcmp(data, NativeSignature, sizeof NativeSignature) == 0)
        return Signature::Native;
    if (std::memcmp(data, WineSignature, sizeof WineSignature) == 0)
        return Signature::Wine;
    return std::nullopt;
}

namespace {

// The allocated blocks the bitmap counts, when everything of the header but the count of
// blocks in use holds.
std::optional<quint32> allocatedBlocks(const uchar *data, quint64 size)
{
    if (size < MinFileSize || size > FirstBlock + quint64(MaxBlocks) * BlockSize)
        return std::nullopt;
    if (!signatureOf(data, size) || readU32(data + FileSizeField) != size)
        return std::nullopt;
    const quint32 capacity = readU32(data + CapacityField);
    if (capacity > MaxBlocks || FirstBlock + quint64(capacity) * BlockSize != size)
        return std::nullopt;
    const uchar *bitmap = data + Bitmap;
    const quint32 used = capacity / 8;
    if (!allZero(bitmap + used, BitmapSize - used))
        return std::nullopt;
    return bitmapPopcount(bitmap, used);
}

} // namespace

bool headerConsistent(const uchar *data, quint64 size)
{
    const auto allocated = allocatedBlocks(data, size);
    return allocated && *allocated == readU32(data + BlocksInUseField);
}

std::optional<quint32> blocksInUseToRestore(const uchar *data, quint64 size)
{
    const auto allocated = allocatedBlocks(data, size);
    if (!allocated || *allocated == readU32(data + BlocksInUseField))
        return std::nullopt;
    return allocated;
}

std::optional<IndexView> IndexView::parse(const uchar *data, quint64 size, bool readingOnly)
{
    if (!data ||
        !(readingOnly ? allocatedBlocks(data, size).has_value() : headerConsistent(data, size)))
        return std::nullopt;
    IndexView view;
    view.m_data = data;
    view.m_size = size;
    view.m_signature = *signatureOf(data, size);
    view.m_capacity = readU32(data + CapacityField);
    if (!view.parseDirectories() || !view.parseHashChain())
        return std::nullopt;
    return view;
}

bool IndexView::parseDirectories()
{
    const quint32 count = readU32(m_data + DirCountField);
    if (count > MaxDirs)
        return false;
    for (quint32 i = 0; i < count; ++i) {
        const uchar *entry = m_data + DirTable + i * DirEntrySize;
        m_dirs.push_back({readU32(entry),
                          QByteArrayView(reinterpret_cast<const char *>(entry + 4), DirNameSize)});
    }
    return true;
}

bool IndexView::parseHashChain()
{
    const quint64 maxTables = m_size / HashTableSize;
    for (quint32 offset = readU32(m_data + HashTableField); offset != 0;) {
        if (offset % BlockSize != 0 || offset < FirstBlock ||
            offset + quint64(HashTableSize) > m_size)
            return false;
        const uchar *table = m_data + offset;
        // A table on blocks the bitmap calls free would be handed out to the next record.
        const quint32 first = (offset - FirstBlock) / BlockSize;
        for (quint32 b = first; b < first + HashBlocks; ++b)
            if (b >= m_capacity / 8 * 8 || !(m_data[Bitmap + b / 8] & (1u << (b % 8))))
                return false;
        if (std::memcmp(table, "HASH", 4) != 0 ||
            readU32(table + RecordBlocksField) != HashBlocks ||
            readU32(table + HashSequenceField) != m_tables.size() || m_tables.size() >= maxTables)
            return false;
        m_tables.push_back(offset);
        offset = readU32(table + HashNextField);
    }
    return true;
}

quint32 IndexView::itemOffset(quint32 index) const
{
    return m_tables[index / HashItems] + HashItemsStart + (index % HashItems) * HashItemSize;
}

quint32 IndexView::itemKey(quint32 index) const
{
    return readU32(m_data + itemOffset(index));
}

std::optional<UrlRecord> IndexView::urlRecordAt(quint32 index) const
{
    const quint32 item = itemOffset(index);
    const quint32 key = readU32(m_data + item);
    if (isUnusedKey(key) || isRedirectKey(key))
        return std::nullopt;
    return readUrlRecord(readU32(m_data + item + 4), item);
}

namespace {

// A NUL-terminated string inside the record; absent when the offset is 0.
bool recordString(const uchar *record, quint32 recordBytes, quint32 field, QByteArrayView &out,
                  bool &present)
{
    const quint32 offset = readU32(record + field);
    present = offset != 0;
    if (!present)
        return true;
    if (offset < UrlMinHeader || offset >= recordBytes)
        return false;
    const void *end = std::memchr(record + offset, 0, recordBytes - offset);
    if (!end)
        return false;
    out = QByteArrayView(reinterpret_cast<const char *>(record + offset),
                         static_cast<const uchar *>(end) - (record + offset));
    return true;
}

} // namespace

std::optional<UrlRecord> IndexView::readUrlRecord(quint32 offset, quint32 itemOffset) const
{
    if (offset % BlockSize != 0 || offset < FirstBlock || offset + quint64(BlockSize) > m_size)
        return std::nullopt;
    const uchar *r = m_data + offset;
    const quint32 blocks = readU32(r + RecordBlocksField);
    if (std::memcmp(r, "URL ", 4) != 0 || blocks == 0 ||
        offset + quint64(blocks) * BlockSize > m_size)
        return std::nullopt;
    const quint32 bytes = blocks * BlockSize;

    UrlRecord rec;
    rec.offset = offset;
    rec.blocks = blocks;
    rec.itemOffset = itemOffset;
    bool hasUrl = false;
    if (!recordString(r, bytes, UrlUrlOffset, rec.url, hasUrl) || !hasUrl ||
        !recordString(r, bytes, UrlLocalNameOffset, rec.localName, rec.hasLocalName) ||
        !recordString(r, bytes, UrlExtensionOffset, rec.extension, rec.hasExtension))
        return std::nullopt;
    const quint32 infoOffset = readU32(r + UrlHeaderInfoOffset);
    const quint32 infoSize = readU32(r + UrlHeaderInfoSize);
    if (infoOffset != 0 && infoSize != 0) {
        if (infoOffset < UrlMinHeader || quint64(infoOffset) + infoSize > bytes)
            return std::nullopt;
        rec.headerInfo = QByteArrayView(reinterpret_cast<const char *>(r + infoOffset), infoSize);
    }
    rec.dirIndex = r[UrlDirIndex];
    rec.entryType = readU32(r + UrlEntryType);
    rec.hitRate = readU32(r + UrlHitRate);
    rec.useCount = readU32(r + UrlUseCount);
    rec.exemptDelta = readU32(r + UrlExemptDelta);
    rec.fileSize = readU64(r + UrlFileSize);
    rec.lastModified = readU64(r + UrlLastModified);
    rec.lastAccess = readU64(r + UrlLastAccess);
    rec.expireDate = readU16(r + UrlExpireDate);
    rec.expireTime = readU16(r + UrlExpireDate + 2);
    rec.lastSyncDate = readU16(r + UrlLastSyncDate);
    rec.lastSyncTime = readU16(r + UrlLastSyncDate + 2);
    rec.fileWriteDate = readU16(r + UrlFileWriteDate);
    rec.fileWriteTime = readU16(r + UrlFileWriteDate + 2);
    return rec;
}

std::optional<UrlRecord> IndexView::findByHash(QByteArrayView url, HashRule rule) const
{
    const quint32 hash = urlHash(url, rule);
    const quint32 first = hashBucket(hash) * BucketItems;
    for (quint32 t = 0; t < m_tables.size(); ++t) {
        for (quint32 j = first; j < first + BucketItems; ++j) {
            const quint32 index = t * HashItems + j;
            const quint32 key = itemKey(index);
            if (isUnusedKey(key) || (key >> 6) != (hash >> 6))
                continue;
            auto rec = urlRecordAt(index);
            if (rec && rec->url == url)
                return rec;
        }
    }
    return std::nullopt;
}

std::optional<UrlRecord> IndexView::find(QByteArrayView url, std::optional<quint32> hint) const
{
    if (hint && *hint < itemCount()) {
        auto rec = urlRecordAt(*hint);
        if (rec && rec->url == url)
            return rec;
    }
    const HashRule own = hashRule();
    const HashRule other = own == HashRule::Wine ? HashRule::Native : HashRule::Wine;
    if (auto rec = findByHash(url, own))
        return rec;
    if (auto rec = findByHash(url, other))
        return rec;
    // Either rule reproduces the key of an ASCII URL; for bytes above 0x7F both read outside
    // their table, so only a scan finds such an entry.
    if (!hasHighBytes(url))
        return std::nullopt;
    for (quint32 i = 0; i < itemCount(); ++i) {
        auto rec = urlRecordAt(i);
        if (rec && rec->url == url)
            return rec;
    }
    return std::nullopt;
}

bool IndexView::isItemTarget(quint32 offset) const
{
    if (!m_targets) {
        std::vector<quint32> targets;
        for (quint32 i = 0; i < itemCount(); ++i) {
            if (!isUnusedKey(itemKey(i)))
                targets.push_back(readU32(m_data + itemOffset(i) + 4));
        }
        std::sort(targets.begin(), targets.end());
        m_targets = std::move(targets);
    }
    return std::binary_search(m_targets->begin(), m_targets->end(), offset);
}

} // namespace urlcache
