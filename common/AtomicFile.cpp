#include "AtomicFile.h"

#include "Erase.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace common {
namespace {

constexpr const char *temporaryMark = ".navolis-";

std::string temporaryPathFor(const std::string &target)
{
    static std::atomic<int> counter{0};
    return target + temporaryMark + std::to_string(::getpid()) + '-' + std::to_string(++counter);
}

std::string folderOf(const std::string &path)
{
    return fs::absolute(fs::path(path)).parent_path().string();
}

void syncFolderOf(const std::string &path)
{
    if (const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Gives the open file the owner and group of the file it replaces, or when root makes a new one,
// those of its folder. False when that was not permitted.
bool inheritOwner(int fd, const std::string &target)
{
    struct stat wanted;
    if (::stat(target.c_str(), &wanted) != 0 &&
        (::geteuid() != 0 || ::stat(folderOf(target).c_str(), &wanted) != 0))
        return true;
    struct stat own;
    if (::fstat(fd, &own) == 0 && own.st_uid == wanted.st_uid && own.st_gid == wanted.st_gid)
        return true;
    // Only root gives a file away; anyone may still pass it to a group of their own.
    return ::fchown(fd, wanted.st_uid, wanted.st_gid) == 0 ||
           ::fchown(fd, uid_t(-1), wanted.st_gid) == 0;
}

// A decimal number of digits only, as our own names write them.
bool parseNumber(const std::string &text, long long &number)
{
    if (text.empty() || text.size() > 18)
        return false;
    number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    return true;
}

} // namespace

int removeLeftovers(const std::string &target)
{
    const fs::path targetPath = fs::absolute(fs::path(target));
    const std::string stem = targetPath.filename().string() + temporaryMark;
    const std::string folder = targetPath.parent_path().string();
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    int leftovers = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, stem.size(), stem) != 0)
            continue;
        const std::string rest = name.substr(stem.size());
        const size_t dash = rest.find('-');
        long long pid = 0;
        long long count = 0;
        if (dash == std::string::npos || !parseNumber(rest.substr(0, dash), pid) ||
            !parseNumber(rest.substr(dash + 1), count) || pid <= 0 || pid == ::getpid())
            continue;
        // A process that exists, or one we may not ask about, may still be writing it.
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        const std::string path = folder + '/' + name;
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid())
            continue;
        if (removed(erase(path)))
            ++leftovers;
    }
    ::closedir(dir);
    return leftovers;
}

bool writeAll(int fd, const char *data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

TempFile::TempFile(std::string target, mode_t mode, Ownership ownership)
    : m_target(std::move(target)), m_path(temporaryPathFor(m_target)), m_ownership(ownership),
      m_fd(::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode)),
      m_created(m_fd >= 0)
{
}

TempFile::~TempFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    // A failed O_EXCL open names someone else's file, which must stay.
    if (m_created && !m_placed)
        erase(m_path);
}

bool TempFile::write(const Producer &produce, std::optional<mode_t> permissions)
{
    if (m_fd < 0)
        return false;
    const int fd = m_fd;
    // Before the mode: a change of owner may clear the set-user-ID and set-group-ID bits. Where
    // it is not permitted, the file stays the writer's, as it would be without the option.
    if (m_ownership == Ownership::Inherited)
        inheritOwner(m_fd, m_target);
    bool ok = (!permissions || ::fchmod(m_fd, *permissions) == 0) &&
              produce([fd](const char *data, size_t size) { return writeAll(fd, data, size); }) &&
              ::fsync(m_fd) == 0;
    ok = ::close(m_fd) == 0 && ok;
    m_fd = -1;
    m_written = ok;
    return ok;
}

bool TempFile::replaceTarget()
{
    if (!m_written)
        return false;
    // The previous version stays open across the rename, so that its content can be overwritten
    // once the new one has the name: the old lines must not be left in the freed blocks.
    // A regular file only: opening a device or a pipe may have effects of its own.
    struct stat st;
    int previous =
        overwriting() && ::lstat(m_target.c_str(), &st) == 0 && S_ISREG(st.st_mode)
            ? ::open(m_target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)
            : -1;
    if (previous >= 0 &&
        (::fstat(previous, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1)) {
        ::close(previous);
        previous = -1;
    }
    const bool renamed = ::rename(m_path.c_str(), m_target.c_str()) == 0;
    if (renamed) {
        m_placed = true;
        syncFolderOf(m_target);
    }
    if (previous >= 0) {
        // Only a file that no name leads to any more: one replaced meanwhile by someone else
        // is not ours to empty.
        // Where the zeros cannot reach the old blocks, writing them would only take new space.
        if (renamed && ::fstat(previous, &st) == 0 && st.st_nlink == 0) {
            if (overwriteReaches(previous))
                overwriteContent(previous);
            else
                noteOverwritten(previous, [this] { return folderOf(m_target); });
        }
        ::close(previous);
    }
    return renamed;
}

bool TempFile::linkAsTarget()
{
    return m_written && ::link(m_path.c_str(), m_target.c_str()) == 0;
}

bool replaceFile(const std::string &path, const char *data, size_t size, Ownership ownership)
{
    struct stat old;
    const bool replacing = ::stat(path.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode))
        return false;
    TempFile temp(path, replacing ? 0600 : 0666, ownership);
    return temp.write([&](const TempFile::Sink &sink) { return sink(data, size); },
                      replacing ? std::optional<mode_t>(old.st_mode & 07777) : std::nullopt) &&
           temp.replaceTarget();
}

bool readFile(const std::string &path, std::string &content)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream out;
    out << in.rdbuf();
    content = out.str();
    return !in.bad();
}

} // namespace common
