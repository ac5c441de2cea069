#include "platform/urlcache/IndexFile.h"

#include "platform/kernel/AtomicFile.h"
#include "platform/kernel/LogCategories.h"
#include "platform/kernel/PrefixFileRead.h"
#include "platform/urlcache/IndexDatLayout.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace urlcache {

using namespace layout;

namespace {

constexpr qint64 RecheckMs = 50;

int openIndex(const QString &path, IndexFile::Mode mode, PrefixFile::Error *error = nullptr)
{
    return PrefixFile::openRegular(path, mode == IndexFile::Mode::Write ? O_RDWR : O_RDONLY,
                                   PrefixFile::Links::Refuse, error);
}

void fillDword(uchar *p, quint32 bytes, quint32 value)
{
    for (quint32 i = 0; i + 4 <= bytes; i += 4)
        writeU32(p + i, value);
}

QByteArray emptyContainer(const std::vector<QByteArray> &dirNames)
{
    QByteArray file(MinFileSize, '\0');
    uchar *d = reinterpret_cast<uchar *>(file.data());
    std::memcpy(d, NativeSignature, sizeof NativeSignature);
    writeU32(d + FileSizeField, MinFileSize);
    writeU32(d + HashTableField, FirstBlock);
    writeU32(d + CapacityField, InitialBlocks);
    writeU32(d + BlocksInUseField, HashBlocks);
    writeU64(d + CacheLimitField, DefaultCacheLimit);
    writeU32(d + DirCountField, quint32(dirNames.size()));
    for (quint32 i = 0; i < dirNames.size() && i < MaxDirs; ++i)
        std::memcpy(d + DirTable + i * DirEntrySize + 4, dirNames[i].constData(),
                    qMin<qsizetype>(DirNameSize, dirNames[i].size()));
    fillDword(d + Bitmap, HashBlocks / 8, 0xFFFFFFFF);

    uchar *table = d + FirstBlock;
    fillDword(table, HashTableSize, AllocationFill);
    std::memcpy(table, "HASH", 4);
    writeU32(table + RecordBlocksField, HashBlocks);
    writeU32(table + HashNextField, 0);
    writeU32(table + HashSequenceField, 0);
    fillDword(table + HashItemsStart, HashItems * HashItemSize, KeyNeverUsed);
    return file;
}

} // namespace

IndexFile::IndexFile(QString path, Mode mode, int fd)
    : m_path(std::move(path)), m_mode(mode), m_fd(fd)
{
}

IndexFile::~IndexFile()
{
    unmap();
    if (m_fd >= 0)
        ::close(m_fd);
}

std::unique_ptr<IndexFile> IndexFile::open(const QString &path, Mode mode)
{
    PrefixFile::Error error = PrefixFile::Error::None;
    int fd = openIndex(path, mode, &error);
    if (fd < 0 && mode == Mode::Write && error == PrefixFile::Error::CannotOpen &&
        (errno == EACCES || errno == EROFS || errno == EPERM)) {
        mode = Mode::Read;
        fd = openIndex(path, mode, &error);
    }
    if (fd < 0) {
        if (error != PrefixFile::Error::CannotOpen)
            qCWarning(lcUrlCache) << path << PrefixFile::describe(error) << "- not opened";
        return nullptr;
    }
    std::unique_ptr<IndexFile> file(new IndexFile(path, mode, fd));
    if (auto stamp = file->stampOfFd()) {
        file->m_stamp.device = stamp->device;
        file->m_stamp.inode = stamp->inode;
    }
    return file;
}

bool IndexFile::create(const QString &path, const std::vector<QByteArray> &dirNames)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    AtomicFile::TempFile temp(path, 0644);
    // Linking refuses an existing target, so a container made meanwhile is never replaced.
    return temp.write(emptyContainer(dirNames)) && temp.linkAsTarget();
}

std::optional<IndexFile::Stamp> IndexFile::stampOfFd() const
{
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        return std::nullopt;
    return Stamp{quint64(st.st_dev), quint64(st.st_ino), quint64(st.st_size),
                 qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

std::optional<IndexFile::Stamp> IndexFile::stampOfPath() const
{
    struct stat st;
    if (::lstat(QFile::encodeName(m_path).constData(), &st) != 0)
        return std::nullopt;
    return Stamp{quint64(st.st_dev), quint64(st.st_ino), quint64(st.st_size),
                 qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

const IndexView *IndexFile::lock(bool forWriting)
{
    if (m_held)
        return view();
    m_lockMode = forWriting && m_mode == Mode::Write ? LOCK_EX : LOCK_SH;
    if (::flock(m_fd, m_lockMode) != 0) {
        qCDebug(lcUrlCache) << "cannot lock" << m_path << strerror(errno);
        return nullptr;
    }
    // Reads trust a check made moments ago; a walk asks twice per entry.
    const bool recentlyChecked = m_checked.isValid() && m_checked.elapsed() < RecheckMs;
    if ((forWriting || !recentlyChecked || !m_data) && !remapIfChanged()) {
        m_view.reset();
        return nullptr;
    }
    // Every write starts from a fresh check of the whole structure.
    if (!m_parsed || forWriting)
        reparse();
    if (!m_view && !forWriting && m_data)
        m_view = IndexView::parse(m_data, m_size, true);
    return view();
}

// Freeing a record's blocks takes two writes, the bitmap and then the count of blocks in use;
// a kill between them leaves a file that Wine would wipe with its whole folder. The bitmap is
// what the structure says, so the count is set from it.
bool IndexFile::finishInterruptedCount()
{
    if (m_mode != Mode::Write || !m_data || m_view)
        return m_view.has_value();
    const auto restored = blocksInUseToRestore(m_data, m_size);
    if (!restored)
        return false;
    const quint32 stored = readU32(m_data + BlocksInUseField);
    writeU32(writableData() + BlocksInUseField, *restored);
    reparse();
    if (m_view) {
        qCWarning(lcUrlCache) << m_path << "counted" << stored << "blocks in use for" << *restored
                              << "allocated; the count of an interrupted deletion"
                              << "is finished";
        return true;
    }
    writeU32(m_data + BlocksInUseField, stored); // not that: leave the file as it was
    reparse();
    return false;
}

bool IndexFile::sizeUnchanged() const
{
    struct stat st;
    return m_data && ::fstat(m_fd, &st) == 0 && quint64(st.st_size) == m_size;
}

void IndexFile::unlock()
{
    if (m_held)
        return;
    flush();
    ::flock(m_fd, LOCK_UN);
}

const IndexView *IndexFile::hold()
{
    if (m_held)
        return view();
    const IndexView *v = lock(m_mode == Mode::Write);
    if (!v) {
        ::flock(m_fd, LOCK_UN);
        return nullptr;
    }
    m_held = true;
    return v;
}

bool IndexFile::release()
{
    if (!m_held)
        return true;
    m_held = false;
    const bool flushed = flush();
    ::flock(m_fd, LOCK_UN);
    return flushed;
}

// Written through the mapping, the changes are in the page cache at once, where every other
// reader sees them; this makes them survive a power loss too.
bool IndexFile::flush()
{
    if (!m_dirty)
        return true;
    m_dirty = false;
    const bool ok = (!m_data || ::msync(m_data, m_size, MS_SYNC) == 0) && ::fsync(m_fd) == 0;
    if (!ok)
        qCWarning(lcUrlCache) << "cannot flush" << m_path << strerror(errno);
    if (auto fdStamp = stampOfFd())
        m_stamp = *fdStamp;
    return ok;
}

bool IndexFile::remapIfChanged()
{
    const auto pathStamp = stampOfPath();
    if (!pathStamp)
        return false;
    if (m_data && *pathStamp == m_stamp) {
        m_checked.start();
        return true;
    }
    if (pathStamp->inode != m_stamp.inode || pathStamp->device != m_stamp.device) {
        // Replaced since we opened it: follow the new file.
        const int fd = openIndex(m_path, m_mode);
        if (fd < 0)
            return false;
        ::flock(fd, m_lockMode);
        ::close(m_fd);
        m_fd = fd;
    }
    const auto fdStamp = stampOfFd();
    if (!fdStamp || !map(fdStamp->size))
        return false;
    m_stamp = *fdStamp;
    m_parsed = false;
    m_checked.start();
    return true;
}

bool IndexFile::map(quint64 size)
{
    unmap();
    if (size == 0)
        return true;
    const int prot = m_mode == Mode::Write ? PROT_READ | PROT_WRITE : PROT_READ;
    void *p = ::mmap(nullptr, size, prot, MAP_SHARED, m_fd, 0);
    if (p == MAP_FAILED)
        return false;
    m_data = static_cast<uchar *>(p);
    m_size = size;
    return true;
}

void IndexFile::unmap()
{
    if (m_data)
        ::munmap(m_data, m_size);
    m_data = nullptr;
    m_size = 0;
    m_view.reset();
}

void IndexFile::reparse()
{
    m_view = IndexView::parse(m_data, m_size);
    m_parsed = true;
    if (auto fdStamp = stampOfFd())
        m_stamp = *fdStamp;
}

bool IndexFile::grow(quint32 minimumBlocks)
{
    if (m_mode != Mode::Write || !m_view)
        return false;
    const quint32 capacity = m_view->capacity();
    const quint32 step = m_view->signature() == Signature::Wine ? capacity : NativeGrowthBlocks;
    quint32 newCapacity = capacity + qMax(step, minimumBlocks);
    newCapacity = (newCapacity + 7) / 8 * 8;
    if (newCapacity > MaxBlocks)
        newCapacity = MaxBlocks;
    if (newCapacity < capacity + minimumBlocks)
        return false;
    const quint64 newSize = FirstBlock + quint64(newCapacity) * BlockSize;
    const quint64 oldSize = m_size;
    // Reserve the blocks first: a mapping over a hole faults on a full disk.
    if (const int err = ::posix_fallocate(m_fd, off_t(oldSize), off_t(newSize - oldSize))) {
        qCWarning(lcUrlCache) << "cannot grow" << m_path << strerror(err);
        if (::ftruncate(m_fd, off_t(oldSize)) != 0)
            qCWarning(lcUrlCache) << "cannot restore the size of" << m_path;
        return false;
    }
    m_dirty = true;
    if (!map(newSize)) {
        // Never leave a size that disagrees with the header.
        if (::ftruncate(m_fd, off_t(oldSize)) == 0)
            map(oldSize);
        reparse();
        return false;
    }
    writeU32(m_data + FileSizeField, quint32(newSize));
    writeU32(m_data + CapacityField, newCapacity);
    reparse();
    return m_view.has_value();
}

} // namespace urlcache
