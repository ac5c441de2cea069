#include "Erase.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>
#include <vector>

namespace common {

namespace {

std::atomic<bool> overwritingOn{true};
std::atomic<long> overwrittenCount{0};
std::atomic<long> unlinkedOnlyCount{0};
std::atomic<long> keptByOtherLinkCount{0};

FileSystemProbe &fileSystemProbe()
{
    static FileSystemProbe probe;
    return probe;
}

std::function<void()> &lookHook()
{
    static std::function<void()> hook;
    return hook;
}

std::mutex noticeMutex;
UnreachableNotice unreachableNotice;
std::atomic<bool> unreachableSaid{false};

long fileSystemOf(int fd)
{
    if (const FileSystemProbe &probe = fileSystemProbe())
        return probe(fd);
    struct statfs fs;
    return ::fstatfs(fd, &fs) == 0 ? long(fs.f_type) : 0;
}

std::string folderOf(int dirFd)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", dirFd);
    char folder[4096];
    const ssize_t n = ::readlink(link, folder, sizeof folder - 1);
    return n > 0 ? std::string(folder, size_t(n)) : std::string(".");
}

bool sameInode(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Zeros over the data of an open regular file, in the cache so far. Holes stay holes: writing
// into them would only take space.
bool zeroFill(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    static const char zeros[64 * 1024] = {};
    off_t position = 0;
    while (position < st.st_size) {
        off_t data = ::lseek(fd, position, SEEK_DATA);
        if (data < 0 && errno == ENXIO)
            break; // only a hole is left
        if (data < 0)
            data = position; // no holes known here: all of it is data
        off_t hole = ::lseek(fd, data, SEEK_HOLE);
        if (hole < 0 || hole > st.st_size)
            hole = st.st_size;
        for (off_t at = data; at < hole;) {
            const size_t chunk = size_t(std::min<off_t>(off_t(sizeof zeros), hole - at));
            const ssize_t n = ::pwrite(fd, zeros, chunk, at);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            at += n;
        }
        position = hole;
    }
    return true;
}

// Files unlinked and zero-filled in a batch, still open: their zeros reach the disk with one
// flush per file system for every few hundred files, and only then are they emptied and closed.
struct Pending
{
    int fd;
    dev_t device;
};
constexpr size_t MaxPending = 256;
thread_local int batchDepth = 0;
thread_local std::vector<Pending> pending;

void settlePending()
{
    std::vector<dev_t> flushed;
    std::vector<dev_t> failed;
    for (const Pending &file : pending) {
        if (std::find(flushed.begin(), flushed.end(), file.device) == flushed.end()) {
            flushed.push_back(file.device);
            if (::syncfs(file.fd) != 0)
                failed.push_back(file.device);
        }
    }
    for (const Pending &file : pending) {
        const bool synced = std::find(failed.begin(), failed.end(), file.device) == failed.end();
        if (synced)
            ++overwrittenCount;
        else
            ++unlinkedOnlyCount;
        ::ftruncate(file.fd, 0);
        ::close(file.fd);
    }
    pending.clear();
}

} // namespace

// Once per process: what the user is told does not change from file to file.
void noteOverwritten(int fd, const std::function<std::string()> &where)
{
    if (unreachableSaid || overwriteReaches(fd))
        return;
    UnreachableNotice notice;
    {
        const std::lock_guard lock(noticeMutex);
        if (unreachableSaid)
            return;
        unreachableSaid = true;
        notice = unreachableNotice;
    }
    if (notice)
        notice(where());
    else
        std::fprintf(stderr, "navolis: %s (%s)\n", UnreachableText, where().c_str());
}

bool overwriteContent(int fd)
{
    // The zeros must reach the disk before truncating frees the blocks: a truncate first would
    // drop them from the cache unwritten.
    return zeroFill(fd) && ::fdatasync(fd) == 0 && ::ftruncate(fd, 0) == 0;
}

ErasureBatch::ErasureBatch()
{
    ++batchDepth;
}

ErasureBatch::~ErasureBatch()
{
    if (--batchDepth == 0)
        settlePending();
}

void ErasureBatch::settle()
{
    settlePending();
}

namespace {

// Without overwriting nothing is written, so no descriptor needs to hold the file: a look at
// the name and its removal, as rm does them.
Erasure unlinkOnly(int dirFd, const char *name)
{
    struct stat seen;
    if (::fstatat(dirFd, name, &seen, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? Erasure::Missing : Erasure::Failed;
    if (!S_ISREG(seen.st_mode) && !S_ISLNK(seen.st_mode))
        return Erasure::NotAFile;
    if (const auto &hook = lookHook())
        hook();
    if (::unlinkat(dirFd, name, 0) != 0)
        return errno == ENOENT ? Erasure::Missing : Erasure::Failed;
    if (S_ISLNK(seen.st_mode))
        return Erasure::Unlinked; // a link holds nothing of the trace
    const bool kept = seen.st_nlink > 1;
    ++(kept ? keptByOtherLinkCount : unlinkedOnlyCount);
    return kept ? Erasure::KeptByOtherLink : Erasure::Unlinked;
}

} // namespace

// The name goes first, and only then the content, through a descriptor opened before: zeros
// are written only into a file that no name leads to any more, so that nothing a user can
// still reach is ever emptied, whatever happened to the name meanwhile.
Erasure eraseAt(int dirFd, const char *name)
{
    if (!overwriting())
        return unlinkOnly(dirFd, name);
    // Held to the end, the look's descriptor keeps the inode alive: its number cannot be given
    // to a file made under the name meanwhile, so the same number means the same file.
    const int look = ::openat(dirFd, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (look < 0)
        return errno == ENOENT ? Erasure::Missing : Erasure::Failed;
    struct stat seen;
    const bool looked = ::fstat(look, &seen) == 0;
    const auto done = [look](Erasure erasure) {
        ::close(look);
        return erasure;
    };
    if (!looked)
        return done(Erasure::Failed);
    if (!S_ISREG(seen.st_mode) && !S_ISLNK(seen.st_mode))
        return done(Erasure::NotAFile);
    if (const auto &hook = lookHook())
        hook();

    int fd = -1;
    if (S_ISREG(seen.st_mode) && seen.st_nlink == 1 && overwriting()) {
        fd = ::openat(dirFd, name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat opened;
        if (fd >= 0 && (::fstat(fd, &opened) != 0 || !sameInode(opened, seen))) {
            ::close(fd);
            return done(Erasure::Failed); // another file took the name since the look
        }
        if (fd < 0 && errno == ELOOP)
            return done(Erasure::Failed); // a link took the name since the look
    }
    // Only the file looked at, under the name it had.
    struct stat now;
    Erasure failure = Erasure::Failed;
    bool unlinked = false;
    if (::fstatat(dirFd, name, &now, AT_SYMLINK_NOFOLLOW) != 0)
        failure = errno == ENOENT ? Erasure::Missing : Erasure::Failed;
    else if (sameInode(now, seen))
        unlinked = ::unlinkat(dirFd, name, 0) == 0;
    if (!unlinked) {
        if (fd >= 0)
            ::close(fd);
        return done(failure);
    }
    if (S_ISLNK(seen.st_mode))
        return done(Erasure::Unlinked); // a link holds nothing of the trace

    struct stat after;
    const bool lastName = fd >= 0 && ::fstat(fd, &after) == 0 && after.st_nlink == 0;
    if (!lastName) {
        if (fd >= 0)
            ::close(fd);
        const bool kept = seen.st_nlink > 1 || fd >= 0; // a link was made meanwhile
        ++(kept ? keptByOtherLinkCount : unlinkedOnlyCount);
        return done(kept ? Erasure::KeptByOtherLink : Erasure::Unlinked);
    }
    // Where the zeros cannot reach the old blocks, writing them would only take new space.
    if (!overwriteReaches(fd)) {
        noteOverwritten(fd, [&] { return folderOf(dirFd); });
        ::close(fd);
        ++unlinkedOnlyCount;
        return done(Erasure::Unlinked);
    }
    if (!zeroFill(fd)) {
        ::close(fd); // a full disk: the name is gone, and closing frees the space
        ++unlinkedOnlyCount;
        return done(Erasure::Unlinked);
    }
    if (batchDepth > 0) {
        pending.push_back({fd, seen.st_dev});
        if (pending.size() >= MaxPending)
            settlePending();
        return done(Erasure::Overwritten); // counted once the zeros are on the disk
    }
    const bool flushed = ::fdatasync(fd) == 0;
    ::ftruncate(fd, 0);
    ::close(fd);
    ++(flushed ? overwrittenCount : unlinkedOnlyCount);
    return done(flushed ? Erasure::Overwritten : Erasure::Unlinked);
}

Erasure erase(const std::string &path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return errno == ENOENT ? Erasure::Missing : Erasure::Failed;
    const Erasure erased = eraseAt(dirFd, name.c_str());
    ::close(dirFd);
    return erased;
}

bool overwriteReaches(int fd)
{
    // The magic numbers of statfs(2) and the kernel's magic.h.
    switch (static_cast<unsigned long>(fileSystemOf(fd)) & 0xFFFFFFFFul) {
    case 0x9123683Eul: // btrfs
    case 0xCA451A4Eul: // bcachefs
    case 0x2FC12FC1ul: // ZFS
    case 0xF2F52010ul: // F2FS
    case 0x3434ul:     // NILFS
    case 0x6969ul:     // NFS
    case 0x517Bul:     // SMB
    case 0xFF534D42ul: // CIFS
    case 0xFE534D42ul: // SMB2
    case 0x01021997ul: // 9P
    case 0x00C36400ul: // Ceph
    case 0x65735546ul: // FUSE: whatever lies behind it
    case 0x794C7630ul: // overlay: a lower layer keeps its copy
        return false;
    default:
        return true;
    }
}

bool overwriteReaches(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_PATH | O_CLOEXEC);
    if (fd < 0)
        return true;
    const bool reaches = overwriteReaches(fd);
    ::close(fd);
    return reaches;
}

void setFileSystemProbe(FileSystemProbe probe)
{
    fileSystemProbe() = std::move(probe);
}

void setUnreachableNotice(UnreachableNotice notice)
{
    const std::lock_guard lock(noticeMutex);
    unreachableNotice = std::move(notice);
    unreachableSaid = false;
}

void setEraseLookHook(std::function<void()> hook)
{
    lookHook() = std::move(hook);
}

void setOverwriting(bool on)
{
    overwritingOn = on;
}

bool overwriting()
{
    return overwritingOn;
}

ErasureCounts erasureCounts()
{
    return {overwrittenCount, unlinkedOnlyCount, keptByOtherLinkCount};
}

} // namespace common
