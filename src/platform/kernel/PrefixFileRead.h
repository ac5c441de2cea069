#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// Reading the files of a prefix. Whoever may write there can put a FIFO, a device or a link to
// one where a file is expected: only regular files are read, opened without blocking, and never
// beyond a limit.
namespace PrefixFile {

// A registry hive; the registry could not hold 4 GiB anyway.
constexpr qint64 HiveLimit = qint64(1) << 30;
// Shortcuts, internet shortcuts, desktop.ini and cookie files: a few hundred bytes each.
constexpr qint64 SmallFileLimit = qint64(4) << 20;

// Whether a symbolic link as the last part of the path is followed (to a regular file only).
enum class Links
{
    Follow,
    Refuse
};

enum class Error
{
    None,
    CannotOpen, // missing or not permitted: errno says which
    NotRegular, // a folder, FIFO, socket, device, or a link that is not followed
    TooLarge,
    CannotRead
};
const char *describe(Error error);

// A descriptor of the regular file at `path`, opened with `flags` and O_NONBLOCK, O_NOCTTY,
// O_CLOEXEC (O_NOFOLLOW unless links are followed), or -1 with the reason in `error`. Nothing
// else is opened at all where it can be seen before: opening a device may act on it.
int openRegular(const QString &path, int flags, Links links, Error *error = nullptr);

struct Read
{
    QByteArray bytes; // empty unless ok()
    Error error = Error::None;
    struct stat status = {}; // the file as its reading ended
    bool ok() const { return error == Error::None; }
};

// The whole file; TooLarge when it holds more than `limit` bytes.
Read readRegularFile(const QString &path, qint64 limit, Links links);
// At most its first `count` bytes, whatever its size.
Read readHead(const QString &path, qint64 count, Links links);

} // namespace PrefixFile
