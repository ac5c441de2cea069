#pragma once

#include "platform/urlcache/IndexView.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace urlcache {

// A container file mapped into memory. Callers take the advisory lock around every use;
// a parse is reused while the file is unchanged, and redone before every write.
class IndexFile
{
public:
    enum class Mode
    {
        Read,
        Write
    };

    ~IndexFile();
    IndexFile(const IndexFile &) = delete;
    IndexFile &operator=(const IndexFile &) = delete;

    // Opened for writing where permitted, else read-only; only read-only when `mode` says so.
    // Null when the file does not exist.
    static std::unique_ptr<IndexFile> open(const QString &path, Mode mode = Mode::Write);
    // A new, empty container with the native signature; refuses to replace an existing file.
    static bool create(const QString &path, const std::vector<QByteArray> &dirNames);

    // Takes the lock (exclusive for writing) and brings the mapping and parse up to date;
    // null when the file is gone or damaged. While the file is held, both are free.
    const IndexView *lock(bool forWriting);
    // Flushes what was written under the lock to disk, unless the file is held.
    void unlock();

    // Keeps the file locked (exclusively where writable) and mapped across many operations,
    // so that a walk-and-delete costs one lock and one flush instead of one per entry.
    const IndexView *hold();
    // Flushes every change made while held to disk, once, and drops the lock. False when
    // the flush failed.
    bool release();
    bool held() const { return m_held; }

    const QString &path() const { return m_path; }
    bool writable() const { return m_mode == Mode::Write; }
    // For an edit: the flush at unlock or release then writes it to disk.
    uchar *writableData()
    {
        m_dirty = true;
        return m_data;
    }
    const IndexView *view() const { return m_view ? &*m_view : nullptr; }
    // Adds blocks at the end of the file; false when the bitmap has no room left.
    bool grow(quint32 minimumBlocks);
    // After an edit through writableData().
    void reparse();
    // Under the lock for writing, with the prefix's write lease: a file whose only fault is a
    // count of blocks in use that disagrees with the bitmap, as a deletion killed between the
    // two leaves it, gets the bitmap's count. Whether the file is sound now.
    bool finishInterruptedCount();
    // Whether the file still has the size of its mapping: another program may shorten it while
    // the file is held, and touching the mapping past the end would end the process.
    bool sizeUnchanged() const;

private:
    IndexFile(QString path, Mode mode, int fd);
    bool remapIfChanged();
    bool map(quint64 size);
    void unmap();
    bool flush();

    struct Stamp
    {
        quint64 device = 0;
        quint64 inode = 0;
        quint64 size = 0;
        qint64 mtimeNs = 0;
        bool operator==(const Stamp &) const = default;
    };
    std::optional<Stamp> stampOfPath() const;
    std::optional<Stamp> stampOfFd() const;

    QString m_path;
    Mode m_mode;
    int m_fd = -1;
    int m_lockMode = 0;
    uchar *m_data = nullptr;
    quint64 m_size = 0;
    Stamp m_stamp;
    bool m_parsed = false;
    bool m_held = false;
    bool m_dirty = false;
    QElapsedTimer m_checked;
    std::optional<IndexView> m_view;
};

// Holds a container's lock for one operation.
class IndexLock
{
public:
    IndexLock(IndexFile &file, bool forWriting) : m_file(file), m_view(file.lock(forWriting)) {}
    ~IndexLock() { m_file.unlock(); }
    IndexLock(const IndexLock &) = delete;
    IndexLock &operator=(const IndexLock &) = delete;
    const IndexView *view() const { return m_view; }

private:
    IndexFile &m_file;
    const IndexView *m_view;
};

} // namespace urlcache
