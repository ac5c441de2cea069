#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <sys/types.h>

namespace common {
class TempFile;
}

// The atomic replacing of files that the program and its translation library share, for Qt
// paths and bytes. Every file written here keeps the owner and group of the file it replaces,
// and one that root makes gets those of its folder: a prefix stays its user's when root cleans
// it.
namespace AtomicFile {

// Writes a temporary file beside `path` (O_EXCL), flushes it and renames it over `path`, so
// that readers see the old file or the new one, never a part. A replaced file keeps its
// permissions; a new one gets 0666 less the umask. False when nothing was replaced.
bool replace(const QString &path, const QByteArray &bytes);

// Removes the temporary files that a replace of `target` by a process that has ended left
// beside it (killed in the middle of a save): only files of this user, named as ours, whose
// process is gone. The number removed.
int removeLeftovers(const QString &target);

// Writes all of `bytes`, resuming after partial and interrupted writes.
bool writeAll(int fd, QByteArrayView bytes);

// A new file beside `target`, created with O_EXCL under a name of its own, that takes the
// target's name only when asked to; otherwise it is removed when it goes out of scope.
class TempFile
{
public:
    // The file is created with `mode` less the umask.
    TempFile(const QString &target, mode_t mode);
    ~TempFile();
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    // Gives the file `permissions` when set, writes `bytes`, flushes and closes it. Once only.
    bool write(const QByteArray &bytes, std::optional<mode_t> permissions = std::nullopt);
    // The same with the content handed over in pieces: `produce` gives each to the sink it gets
    // and returns false when it could not produce all of them.
    using Sink = std::function<bool(QByteArrayView piece)>;
    using Producer = std::function<bool(const Sink &sink)>;
    bool write(const Producer &produce, std::optional<mode_t> permissions = std::nullopt);
    // Renames the written file over the target and flushes the folder.
    bool replaceTarget();
    // Links the written file as the target; an existing target is never replaced.
    bool linkAsTarget();

private:
    std::unique_ptr<common::TempFile> m_file;
};

} // namespace AtomicFile
