#include "platform/urlcache/IndexEditor.h"

#include "platform/kernel/FileTime.h"
#include "platform/urlcache/IndexDatLayout.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace urlcache {

using namespace layout;

namespace {

std::function<void()> &deletionStepHook()
{
    static std::function<void()> hook;
    return hook;
}

void deletionStep()
{
    if (deletionStepHook())
        deletionStepHook()();
}

quint32 align4(quint32 v)
{
    return (v + 3) & ~3u;
}

bool blockUsed(const uchar *bitmap, quint32 block)
{
    return bitmap[block / 8] & (1u << (block % 8));
}

void writeDos(uchar *p, quint64 fileTime)
{
    quint16 date, time;
    if (platform::fileTimeToDosDateTime(fileTime, date, time)) {
        writeU16(p, date);
        writeU16(p + 2, time);
    }
}

struct RecordLayout
{
    quint32 url = 0;
    quint32 localName = 0;
    quint32 headerInfo = 0;
    quint32 extension = 0;
    quint32 bytes = 0;
};

RecordLayout layoutOf(const NewUrlRecord &r)
{
    RecordLayout l;
    quint32 at = UrlHeaderSize;
    l.url = at;
    at = align4(at + quint32(r.url.size()) + 1);
    if (!r.localName.isEmpty()) {
        l.localName = at;
        at = align4(at + quint32(r.localName.size()) + 1);
    }
    if (!r.headerInfo.isEmpty()) {
        l.headerInfo = at;
        at = align4(at + quint32(r.headerInfo.size()));
    }
    if (!r.extension.isEmpty()) {
        l.extension = at;
        at += quint32(r.extension.size()) + 1;
    }
    l.bytes = at;
    return l;
}

} // namespace

bool IndexEditor::ownsBlocks(const UrlRecord &record) const
{
    const IndexView &v = view();
    const quint32 first = (record.offset - FirstBlock) / BlockSize;
    if (quint64(first) + record.blocks > v.capacity() / 8 * 8)
        return false;
    const uchar *bitmap = v.data() + Bitmap;
    for (quint32 b = first; b < first + record.blocks; ++b)
        if (!blockUsed(bitmap, b))
            return false;
    if (overlapsHashTable(record))
        return false;
    const quint64 end = record.offset + quint64(record.blocks) * BlockSize;
    for (quint64 at = record.offset + BlockSize; at < end; at += BlockSize)
        if (startsRecord(quint32(at)))
            return false;
    return true;
}

bool IndexEditor::overlapsHashTable(const UrlRecord &record) const
{
    const quint64 end = record.offset + quint64(record.blocks) * BlockSize;
    for (const quint32 table : view().hashTables())
        if (table < end && table + quint64(HashTableSize) > record.offset)
            return true;
    return false;
}

// A block that carries a record signature is taken for a record when an item names it; a
// LEAK record has no item, so its signature alone counts.
bool IndexEditor::startsRecord(quint32 offset) const
{
    const uchar *p = view().data() + offset;
    if (std::memcmp(p, "LEAK", 4) == 0)
        return true;
    if (std::memcmp(p, "URL ", 4) != 0 && std::memcmp(p, "REDR", 4) != 0)
        return false;
    return view().isItemTarget(offset);
}

bool IndexEditor::blocksFree(const UrlRecord &record) const
{
    const IndexView &v = view();
    const uchar *bitmap = v.data() + Bitmap;
    const quint32 first = (record.offset - FirstBlock) / BlockSize;
    const quint32 end = std::min(first + record.blocks, v.capacity() / 8 * 8);
    for (quint32 b = first; b < end; ++b)
        if (blockUsed(bitmap, b))
            return false;
    return !overlapsHashTable(record);
}

void IndexEditor::setDeletionStepHook(std::function<void()> hook)
{
    deletionStepHook() = std::move(hook);
}

void IndexEditor::removeRecord(const UrlRecord &record)
{
    uchar *d = data();
    // Blocks already free belong to a deletion stopped in an earlier order of these writes,
    // which had taken the record's counts off already.
    const bool freedBefore = blocksFree(record);
    // The free marker, not zero: zero would read as a used item pointing at the header, and
    // both Wine and Windows reuse only items marked free or never used. The key goes first: a
    // free key is a free item whatever offset it still holds.
    writeU32(d + record.itemOffset, KeyFree);
    writeU32(d + record.itemOffset + 4, 0);
    if (!freedBefore) {
        addDirectoryFile(record.dirIndex, false);
        addUsage(record.entryType, record.fileSize, false);
    }
    deletionStep();
    // The header last: until the blocks are free, an unnamed record with its signature and size
    // is one that a later run recognises and finishes.
    std::memset(d + record.offset + RecordHeaderSize, 0,
                size_t(record.blocks) * BlockSize - RecordHeaderSize);
    deletionStep();
    freeBlocks((record.offset - FirstBlock) / BlockSize, record.blocks);
    deletionStep();
    std::memset(d + record.offset, 0, RecordHeaderSize);
    deletionStep();
    // The hash chain and directories are as they were, so the parse stays valid; the item
    // targets it caches may name this record still, whose signature is gone now.
}

// The count follows the bitmap at once; a kill between the two leaves them apart, which
// IndexFile::finishInterruptedCount mends.
void IndexEditor::freeBlocks(quint32 first, quint32 count)
{
    uchar *d = data();
    uchar *bitmap = d + Bitmap;
    const quint32 end = std::min(first + count, view().capacity() / 8 * 8);
    quint32 freed = 0;
    for (quint32 b = first; b < end; ++b) {
        if (blockUsed(bitmap, b)) {
            bitmap[b / 8] &= uchar(~(1u << (b % 8)));
            ++freed;
        }
    }
    deletionStep();
    writeU32(d + BlocksInUseField, readU32(d + BlocksInUseField) - freed);
}

// Blocks that something of the file names: the hash tables, the records of used items, the
// LEAK list and the native group pages (with the allocated blocks that follow them, whose
// extent is not known).
std::vector<bool> IndexEditor::namedBlocks() const
{
    const IndexView &v = view();
    const uchar *d = v.data();
    const quint32 usable = v.capacity() / 8 * 8;
    std::vector<bool> named(usable, false);
    const auto blockOf = [&](quint32 offset) -> std::optional<quint32> {
        if (offset < FirstBlock || offset % BlockSize != 0 || offset >= v.size())
            return std::nullopt;
        const quint32 block = (offset - FirstBlock) / BlockSize;
        return block < usable ? std::optional(block) : std::nullopt;
    };
    const auto name = [&](quint32 first, quint64 blocks) {
        for (quint64 b = first; b < std::min<quint64>(first + blocks, usable); ++b)
            named[b] = true;
    };
    const auto nameRecord = [&](quint32 offset) {
        const auto block = blockOf(offset);
        if (!block)
            return false;
        const quint32 blocks = readU32(d + offset + RecordBlocksField);
        name(*block, blocks == 0 || offset + quint64(blocks) * BlockSize > v.size() ? 1 : blocks);
        return true;
    };
    for (const quint32 table : v.hashTables())
        name((table - FirstBlock) / BlockSize, HashBlocks);
    for (quint32 i = 0; i < v.itemCount(); ++i)
        if (!isUnusedKey(v.itemKey(i)))
            nameRecord(readU32(d + v.itemOffset(i) + 4));
    quint32 leak = readU32(d + LeakListField);
    for (quint32 guard = 0; guard < usable && leak != 0; ++guard) {
        if (!nameRecord(leak) || std::memcmp(d + leak, "LEAK", 4) != 0)
            break;
        leak = readU32(d + leak + LeakNextField);
    }
    const uchar *bitmap = d + Bitmap;
    for (const quint32 field : {FirstGroupField, GroupListField}) {
        if (const auto block = blockOf(readU32(d + field)))
            for (quint32 b = *block; b < usable && blockUsed(bitmap, b); ++b)
                named[b] = true;
    }
    return named;
}

// Only what removeRecord's order can leave, found by the signature and size it keeps to the
// end: a URL record that nothing names, on blocks all allocated or all free.
std::vector<IndexEditor::BlockRun> IndexEditor::leftoversOfInterruptedDeletions() const
{
    const std::vector<bool> named = namedBlocks();
    const quint32 usable = quint32(named.size());
    const uchar *d = view().data();
    std::vector<BlockRun> runs;
    for (quint32 b = 0; b < usable; ++b) {
        const uchar *p = d + FirstBlock + b * BlockSize;
        if (named[b] || std::memcmp(p, "URL ", 4) != 0)
            continue;
        const quint32 blocks = readU32(p + RecordBlocksField);
        const bool allocated = blockUsed(d + Bitmap, b);
        bool whole = blocks > 0 && quint64(b) + blocks <= usable;
        for (quint32 k = b; whole && k < b + blocks; ++k)
            whole = !named[k] && blockUsed(d + Bitmap, k) == allocated;
        if (whole) {
            runs.push_back({b, blocks, allocated});
            b += blocks - 1;
        }
    }
    return runs;
}

quint32 IndexEditor::freeLeftovers(const std::vector<BlockRun> &runs)
{
    quint32 freed = 0;
    for (const BlockRun &run : runs) {
        uchar *record = data() + FirstBlock + run.first * BlockSize;
        std::memset(record + RecordHeaderSize, 0, size_t(run.count) * BlockSize - RecordHeaderSize);
        deletionStep();
        if (run.allocated) {
            freeBlocks(run.first, run.count);
            deletionStep();
            freed += run.count;
        }
        std::memset(record, 0, RecordHeaderSize);
        deletionStep();
    }
    if (!runs.empty())
        m_file.reparse();
    return freed;
}

bool IndexEditor::addRecord(const NewUrlRecord &record)
{
    const RecordLayout l = layoutOf(record);
    const quint32 blocks = (l.bytes + BlockSize - 1) / BlockSize;
    const quint32 hash = urlHash(record.url, view().hashRule());
    const auto item = reserveHashItem(hashBucket(hash));
    if (!item)
        return false;
    const auto offset = allocate(blocks);
    if (!offset)
        return false;
    writeRecord(*offset, blocks, record);
    writeU32(data() + *item, hash & ~KeyFlagMask);
    writeU32(data() + *item + 4, *offset);
    addUsage(record.entryType, record.fileSize, true);
    addDirectoryFile(record.dirIndex, true);
    m_file.reparse();
    return m_file.view() != nullptr;
}

std::optional<quint32> IndexEditor::reserveHashItem(quint32 bucket)
{
    const quint32 first = bucket * BucketItems;
    const auto &tables = view().hashTables();
    for (quint32 table : tables) {
        for (quint32 j = first; j < first + BucketItems; ++j) {
            const quint32 item = table + HashItemsStart + j * HashItemSize;
            const quint32 key = readU32(data() + item);
            if (key == KeyFree || key == KeyNeverUsed)
                return item;
        }
    }
    const auto offset = allocate(HashBlocks);
    if (!offset)
        return std::nullopt;
    uchar *t = data() + *offset;
    std::memcpy(t, "HASH", 4);
    writeU32(t + RecordBlocksField, HashBlocks);
    writeU32(t + HashNextField, 0);
    writeU32(t + HashSequenceField, quint32(view().hashTables().size()));
    for (quint32 j = 0; j < HashItems; ++j) {
        writeU32(t + HashItemsStart + j * HashItemSize, KeyNeverUsed);
        writeU32(t + HashItemsStart + j * HashItemSize + 4, KeyNeverUsed);
    }
    const auto &chain = view().hashTables();
    writeU32(data() + (chain.empty() ? HashTableField : chain.back() + HashNextField), *offset);
    m_file.reparse();
    if (!m_file.view())
        return std::nullopt;
    return *offset + HashItemsStart + first * HashItemSize;
}

std::optional<quint32> IndexEditor::findFreeRun(quint32 blocks) const
{
    const uchar *bitmap = m_file.view()->data() + Bitmap;
    const quint32 usable = view().capacity() / 8 * 8;
    quint32 run = 0;
    quint32 start = 0;
    for (quint32 b = 0; b < usable;) {
        if (run == 0 && b % 64 == 0 && b + 64 <= usable) {
            quint64 word;
            std::memcpy(&word, bitmap + b / 8, 8);
            if (word == ~quint64(0)) {
                b += 64;
                continue;
            }
        }
        if (blockUsed(bitmap, b)) {
            run = 0;
        } else {
            if (run == 0)
                start = b;
            if (++run == blocks)
                return start;
        }
        ++b;
    }
    return std::nullopt;
}

std::optional<quint32> IndexEditor::allocate(quint32 blocks)
{
    auto first = findFreeRun(blocks);
    if (!first) {
        if (!m_file.grow(blocks))
            return std::nullopt;
        first = findFreeRun(blocks);
        if (!first)
            return std::nullopt;
    }
    markBlocks(*first, blocks);
    const quint32 offset = FirstBlock + *first * BlockSize;
    for (quint32 i = 0; i < blocks * BlockSize; i += 4)
        writeU32(data() + offset + i, AllocationFill);
    return offset;
}

void IndexEditor::markBlocks(quint32 first, quint32 count)
{
    uchar *bitmap = data() + Bitmap;
    for (quint32 b = first; b < first + count; ++b)
        bitmap[b / 8] |= uchar(1u << (b % 8));
    writeU32(data() + BlocksInUseField, readU32(data() + BlocksInUseField) + count);
}

void IndexEditor::writeRecord(quint32 offset, quint32 blocks, const NewUrlRecord &r)
{
    const RecordLayout l = layoutOf(r);
    uchar *p = data() + offset;
    std::memset(p, 0, UrlHeaderSize);
    std::memcpy(p, "URL ", 4);
    writeU32(p + RecordBlocksField, blocks);
    writeU64(p + UrlLastModified, r.lastModified);
    writeU64(p + UrlLastAccess, r.lastAccess);
    writeDos(p + UrlExpireDate, r.expire);
    writeU64(p + UrlFileSize, r.fileSize);
    writeU32(p + UrlExemptDelta, r.exemptDelta);
    writeU32(p + UrlHeaderSizeField, UrlHeaderSize - 8);
    writeU32(p + UrlUrlOffset, l.url);
    p[UrlDirIndex] = r.dirIndex;
    p[UrlLayoutMarker] = 0x10;
    p[UrlLayoutMarker + 1] = 0x10;
    writeU32(p + UrlLocalNameOffset, l.localName);
    writeU32(p + UrlEntryType, r.entryType);
    writeU32(p + UrlHeaderInfoOffset, l.headerInfo);
    writeU32(p + UrlHeaderInfoSize, l.headerInfo ? quint32(r.headerInfo.size()) : 0);
    writeU32(p + UrlExtensionOffset, l.extension);
    writeDos(p + UrlLastSyncDate, r.lastSync);
    writeU32(p + UrlHitRate, r.hitRate);
    writeDos(p + UrlFileWriteDate, r.fileWriteTime);

    std::memcpy(p + l.url, r.url.constData(), size_t(r.url.size()) + 1);
    if (l.localName)
        std::memcpy(p + l.localName, r.localName.constData(), size_t(r.localName.size()) + 1);
    if (l.headerInfo)
        std::memcpy(p + l.headerInfo, r.headerInfo.constData(), size_t(r.headerInfo.size()));
    if (l.extension)
        std::memcpy(p + l.extension, r.extension.constData(), size_t(r.extension.size()) + 1);
}

void IndexEditor::addUsage(quint32 entryType, quint64 size, bool add)
{
    uchar *field = data() + ((entryType & StickyEntry) ? ExemptUsageField : CacheUsageField);
    const quint64 usage = readU64(field);
    writeU64(field, add ? usage + size : usage - qMin(usage, size));
}

void IndexEditor::addDirectoryFile(quint8 dirIndex, bool add)
{
    if (dirIndex >= view().directories().size())
        return;
    uchar *count = data() + DirTable + dirIndex * DirEntrySize;
    const quint32 files = readU32(count);
    if (add)
        writeU32(count, files + 1);
    else if (files > 0)
        writeU32(count, files - 1);
}

} // namespace urlcache
