// Replacing a file so that readers see either the old or the new content, never a part. The
// program and its translation library write every file they replace this way.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

namespace common {

// Whose a written file is. Process: the writer's, as the system makes it. Inherited: a replaced
// file keeps its owner and group, and a file made by root those of its folder (root cleaning
// another user's files must not take them away); as far as the writer is permitted.
enum class Ownership
{
    Process,
    Inherited
};

// Writes a temporary file beside `path` (O_EXCL), flushes it and renames it over `path`. A
// replaced file keeps its permissions; a new one gets 0666 less the umask. False when nothing
// was replaced; a path that names no regular file is never replaced.
bool replaceFile(const std::string &path, const char *data, size_t size,
                 Ownership ownership = Ownership::Process);
inline bool replaceFile(const std::string &path, const std::string &content)
{
    return replaceFile(path, content.data(), content.size());
}

// Removes the temporary files that a replace of `target` by a process that has ended left
// beside it (killed in the middle of a save): only files of this user, named as ours, whose
// process is gone. The number removed.
int removeLeftovers(const std::string &target);

// Writes all of the bytes, resuming after partial and interrupted writes.
bool writeAll(int fd, const char *data, size_t size);

// Reads a whole file; false when it cannot be read.
bool readFile(const std::string &path, std::string &content);

// A new file beside `target`, created with O_EXCL under a name of its own
// ("<target>.navolis-<process>-<count>"), that takes the target's name only when asked to;
// otherwise it is removed when it goes out of scope.
class TempFile
{
public:
    // The file is created with `mode` less the umask.
    TempFile(std::string target, mode_t mode, Ownership ownership = Ownership::Process);
    ~TempFile();
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    // Gives the file `permissions` when set, writes what `produce` hands to the sink it gets,
    // flushes and closes it. Once only; false when any step failed.
    using Sink = std::function<bool(const char *data, size_t size)>;
    using Producer = std::function<bool(const Sink &sink)>;
    bool write(const Producer &produce, std::optional<mode_t> permissions = std::nullopt);
    // Renames the written file over the target and flushes the folder.
    bool replaceTarget();
    // Links the written file as the target; an existing target is never replaced.
    bool linkAsTarget();

private:
    std::string m_target;
    std::string m_path;
    Ownership m_ownership;
    int m_fd = -1;
    bool m_created = false;
    bool m_written = false;
    bool m_placed = false;
};

} // namespace common
