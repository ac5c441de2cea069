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

namespace {

std::string folderOf(int dirFd, const char *name)
{
    const std::string path = name;
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos)
        return slash == 0 ? "/" : path.substr(0, slash);
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", dirFd);
    char folder[4096];
    const ssize_t n = dirFd == AT_FDCWD ? -1 : ::readlink(link, folder, sizeof folder - 1);
    return n > 0 ? std::string(folder, size_t(n)) : std::string(".");
}

// The same file, unchanged since it was looked at: an inode number freed and given to a new
// file at once would match alone, its change time does not.
// Whether the folder lets the name go: a file emptied that then keeps its name would be the
// user's data lost and still reported as there.
bool mayUnlink(int dirFd, const struct stat &file)
{
    struct stat folder;
    if (::faccessat(dirFd, ".", W_OK | X_OK, AT_EACCESS) != 0 || ::fstat(dirFd, &folder) != 0)
        return false;
    const uid_t me = ::geteuid();
    // In a sticky folder (/tmp) only the owner of the file or of the folder may unlink it.
    return !(folder.st_mode & S_ISVTX) || me == 0 || file.st_uid == me || folder.st_uid == me;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

void count(Erasure erasure)
{
    switch (erasure) {
    case Erasure::Overwritten:
        ++overwrittenCount;
        break;
    case Erasure::Unlinked:
        ++unlinkedOnlyCount;
        break;
    case Erasure::KeptByOtherLink:
        ++keptByOtherLinkCount;
        break;
    default:
        break;
    }
}

} // namespace

namespace {

// Zeros over the whole length of an open regular file, in the cache so far.
bool zeroFill(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    static const char zeros[64 * 1024] = {};
    off_t done = 0;
    while (done < st.st_size) {
        const size_t chunk = size_t(std::min<off_t>(off_t(sizeof zeros), st.st_size - done));
        const ssize_t n = ::pwrite(fd, zeros, chunk, done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Files zero-filled and unlinked in a batch, still open: their zeros reach the disk with one
// flush per file system, and only then are they emptied and closed.
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
    for (const Pending &file : pending) {
        if (std::find(flushed.begin(), flushed.end(), file.device) == flushed.end()) {
            ::syncfs(file.fd);
            flushed.push_back(file.device);
        }
    }
    for (const Pending &file : pending) {
        ::ftruncate(file.fd, 0);
        ::close(file.fd);
    }
    pending.clear();
}

} // namespace

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

Erasure eraseAt(int dirFd, const char *name)
{
    struct stat seen;
    if (::fstatat(dirFd, name, &seen, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? Erasure::Missing : Erasure::Failed;
    if (!S_ISREG(seen.st_mode) && !S_ISLNK(seen.st_mode))
        return Erasure::NotAFile;

    Erasure how =
        S_ISREG(seen.st_mode) && seen.st_nlink > 1 ? Erasure::KeptByOtherLink : Erasure::Unlinked;
    if (const auto &hook = lookHook())
        hook();
    int zeroed = -1; // the open file, filled with zeros
    if (S_ISREG(seen.st_mode) && seen.st_nlink == 1 && overwriting() && mayUnlink(dirFd, seen)) {
        const int fd =
            ::openat(dirFd, name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0 && errno == ELOOP)
            return Erasure::Failed; // swapped for a link since the look
        if (fd >= 0) {
            struct stat opened;
            if (::fstat(fd, &opened) != 0 || !sameFile(opened, seen)) {
                ::close(fd);
                return Erasure::Failed;
            }
            if (opened.st_nlink == 1 && zeroFill(fd)) {
                zeroed = fd;
                ::fstat(fd, &seen); // filled by us: that change is no sign of another file
            } else {
                ::close(fd);
            }
        }
    }
    if (zeroed >= 0 && batchDepth == 0) {
        const bool flushed = ::fdatasync(zeroed) == 0 && ::ftruncate(zeroed, 0) == 0;
        if (flushed)
            noteOverwritten(zeroed, [&] { return folderOf(dirFd, name); });
        ::fstat(zeroed, &seen);
        ::close(zeroed);
        zeroed = -1;
        how = flushed ? Erasure::Overwritten : how;
    }
    // Only the file looked at, under the name it had.
    struct stat now;
    Erasure failure = Erasure::Failed;
    bool unlinked = false;
    if (::fstatat(dirFd, name, &now, AT_SYMLINK_NOFOLLOW) != 0) {
        failure = errno == ENOENT ? Erasure::Missing : Erasure::Failed;
    } else if (sameFile(now, seen)) {
        unlinked = ::unlinkat(dirFd, name, 0) == 0;
        failure = !unlinked && errno == ENOENT ? Erasure::Missing : Erasure::Failed;
    }
    if (zeroed >= 0) {
        noteOverwritten(zeroed, [&] { return folderOf(dirFd, name); });
        pending.push_back({zeroed, seen.st_dev});
        how = Erasure::Overwritten;
        if (pending.size() >= MaxPending)
            settlePending();
    }
    if (!unlinked)
        return failure;
    count(how);
    return how;
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
