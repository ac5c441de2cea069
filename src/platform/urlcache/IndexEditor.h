#pragma once

#include "platform/urlcache/IndexFile.h"

#include <QByteArray>

#include <functional>
#include <vector>

namespace urlcache {

// A URL record to be written, laid out as Wine lays out its own.
struct NewUrlRecord
{
    QByteArray url;
    QByteArray localName;
    QByteArray headerInfo;
    QByteArray extension;
    quint8 dirIndex = 0xFE;
    quint32 entryType = 0;
    quint64 fileSize = 0;
    quint64 lastModified = 0;
    quint64 lastAccess = 0;
    quint64 expire = 0;
    quint64 lastSync = 0;
    quint64 fileWriteTime = 0;
    quint32 hitRate = 1;
    quint32 exemptDelta = 0;
};

// Record-level changes of a container locked for writing. Every step keeps the header
// counters, the bitmap and the hash chain consistent with each other.
class IndexEditor
{
public:
    explicit IndexEditor(IndexFile &file) : m_file(file) {}

    // Whether the record's blocks are all allocated and hold no hash table or other record,
    // so that removing it takes nothing else with it.
    bool ownsBlocks(const UrlRecord &record) const;
    // Whether every block of the record is free: a deletion stopped after freeing them left
    // its item behind.
    bool blocksFree(const UrlRecord &record) const;
    // Clears the record's hash item, zeroes the record but its header, frees its blocks, then
    // zeroes the header: the file is sound after each write, and a deletion stopped anywhere
    // leaves a record that no item names, which leftoversOfInterruptedDeletions finds, or
    // nothing at all. The record's views die here.
    void removeRecord(const UrlRecord &record);
    // What deletions stopped part way left: URL records that no item names, allocated still,
    // or on blocks already free (as Wine leaves the records it deletes, readable).
    struct BlockRun
    {
        quint32 first = 0;
        quint32 count = 0;
        bool allocated = false;
    };
    std::vector<BlockRun> leftoversOfInterruptedDeletions() const;
    // Zeroes and frees them; the number of blocks freed.
    quint32 freeLeftovers(const std::vector<BlockRun> &runs);
    bool addRecord(const NewUrlRecord &record);

    // Called after each write of a deletion that could be the last before a kill (tests).
    static void setDeletionStepHook(std::function<void()> hook);

private:
    uchar *data() { return m_file.writableData(); }
    const IndexView &view() const { return *m_file.view(); }
    std::optional<quint32> reserveHashItem(quint32 bucket);
    std::optional<quint32> allocate(quint32 blocks);
    std::optional<quint32> findFreeRun(quint32 blocks) const;
    bool startsRecord(quint32 offset) const;
    void markBlocks(quint32 first, quint32 count);
    void freeBlocks(quint32 first, quint32 count);
    bool overlapsHashTable(const UrlRecord &record) const;
    std::vector<bool> namedBlocks() const;
    void writeRecord(quint32 offset, quint32 blocks, const NewUrlRecord &record);
    void addUsage(quint32 entryType, quint64 size, bool add);
    void addDirectoryFile(quint8 dirIndex, bool add);

    IndexFile &m_file;
};

} // namespace urlcache
