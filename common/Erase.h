// Removing a file so that its content cannot be read back from the disk: its blocks are
// overwritten with zeros and flushed before they are freed. The program removes every trace
// this way, and overwrites the previous version of every file it replaces.
#pragma once

#include <functional>
#include <string>

namespace common {

enum class Erasure
{
    // Unlinked, then overwritten, flushed and emptied (in a batch: flushed when it settles).
    Overwritten,
    // Unlinked without overwriting: a symbolic link (which holds no content of the trace), a
    // file that could not be opened for writing, or overwriting is off.
    Unlinked,
    // Unlinked; the file has another name (a hard link), which keeps its content.
    KeptByOtherLink,
    // There was nothing of that name.
    Missing,
    // A folder, a device, a pipe: left as it is.
    NotAFile,
    // Not removed: it could not be unlinked, or the name was given to another file meanwhile.
    Failed
};

// Removes `name` in the folder `dirFd`, never following a link: a regular file of one link is
// unlinked, then overwritten with zeros over its data, flushed to the disk and truncated through
// a descriptor opened before; a symbolic link or a file with another link is only unlinked. A
// file swapped in between the look and the removal is left alone.
Erasure eraseAt(int dirFd, const char *name);
Erasure erase(const std::string &path);

// Called between the look at a file and its opening (tests: a file swapped in meanwhile).
void setEraseLookHook(std::function<void()> hook);

// Whether the erasure took the name away.
inline bool removed(Erasure erasure)
{
    return erasure == Erasure::Overwritten || erasure == Erasure::Unlinked ||
           erasure == Erasure::KeptByOtherLink;
}

// Overwrites the whole content of an open regular file with zeros, flushes it and truncates it.
bool overwriteContent(int fd);

// While one lives on the thread, the files erased are filled with zeros and unlinked at once,
// but flushed together (one flush per file system for every few hundred files) and emptied
// after: a clean-up of many files pays one flush, not one each. Batches nest.
class ErasureBatch
{
public:
    ErasureBatch();
    ~ErasureBatch();
    // Puts the zeros of the files erased so far on the disk now, so that the counts are final.
    static void settle();
    ErasureBatch(const ErasureBatch &) = delete;
    ErasureBatch &operator=(const ErasureBatch &) = delete;
};

// On by default; a run may turn it off (a disk where writes are costly).
void setOverwriting(bool on);
bool overwriting();

// Whether overwriting a file in place reaches the blocks it occupies: not on copy-on-write and
// log-structured file systems (btrfs, bcachefs, ZFS, F2FS, NILFS), nor on network and layered
// ones, which write elsewhere or keep copies of their own.
bool overwriteReaches(int fd);
bool overwriteReaches(const std::string &path);

// The file system type (statfs' magic number) of an open file; replaceable for tests.
using FileSystemProbe = std::function<long(int fd)>;
void setFileSystemProbe(FileSystemProbe probe);

// Said once per process, at the first file removed or replaced where overwriting cannot reach:
// the handler gets the file's folder. Without one it is a line on the standard error.
inline const char *const UnreachableText =
    "on this file system, removed data may stay readable until the space is reused";
using UnreachableNotice = std::function<void(const std::string &where)>;
void setUnreachableNotice(UnreachableNotice notice);
// After overwriting the open file `fd` in the folder `where` names: gives that notice when the
// zeros cannot have reached its blocks.
void noteOverwritten(int fd, const std::function<std::string()> &where);

// What the erasures of this process did, to tell what a clean-up could not make unreadable.
struct ErasureCounts
{
    long overwritten = 0;
    long unlinkedOnly = 0;
    long keptByOtherLink = 0;
};
ErasureCounts erasureCounts();

} // namespace common
