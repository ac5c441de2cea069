#include "platform/kernel/PrefixFileRead.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace PrefixFile {

namespace {

int openChecked(const QString &path, int flags, Links links, Error &error, struct stat &st)
{
    const QByteArray local = QFile::encodeName(path);
    const bool follow = links == Links::Follow;
    if ((follow ? ::stat(local.constData(), &st) : ::lstat(local.constData(), &st)) == 0 &&
        !S_ISREG(st.st_mode)) {
        error = Error::NotRegular;
        return -1;
    }
    const int fd = ::open(local.constData(),
                          flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        error = errno == ELOOP && !follow ? Error::NotRegular : Error::CannotOpen;
        return -1;
    }
    // Checked again on what was opened: the path may have been swapped meanwhile.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = Error::NotRegular;
        return -1;
    }
    error = Error::None;
    return fd;
}

// Up to `most` bytes, fewer at the end of the file; false on a read error. A file of known
// size is read into one allocation: a big hive is not copied while its buffer grows.
bool readUpTo(int fd, qint64 most, qint64 expected, QByteArray &bytes)
{
    // Not resize(): that rounds a big buffer up to the next power of two.
    bytes = QByteArray(qsizetype(qMin(most, qMax<qint64>(expected + 1, 65536))), Qt::Uninitialized);
    qsizetype done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done >= most)
                break;
            bytes.resize(qsizetype(qMin(most, qint64(done) * 2)));
        }
        const ssize_t n = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        done += n;
    }
    bytes.truncate(done);
    return true;
}

Read readChecked(const QString &path, qint64 limit, Links links, bool whole)
{
    Read result;
    struct stat st;
    const int fd = openChecked(path, O_RDONLY, links, result.error, st);
    if (fd < 0)
        return result;
    // One byte more than the limit tells a file that grew beyond it while it was read.
    if (whole && st.st_size > limit)
        result.error = Error::TooLarge;
    else if (!readUpTo(fd, whole ? limit + 1 : limit, st.st_size, result.bytes) ||
             ::fstat(fd, &result.status) != 0)
        result.error = Error::CannotRead;
    else if (whole && result.bytes.size() > limit)
        result.error = Error::TooLarge;
    ::close(fd);
    if (!result.ok())
        result.bytes.clear();
    return result;
}

} // namespace

const char *describe(Error error)
{
    switch (error) {
    case Error::None:
        break;
    case Error::CannotOpen:
        return "cannot be opened";
    case Error::NotRegular:
        return "is no regular file";
    case Error::TooLarge:
        return "is too large";
    case Error::CannotRead:
        return "cannot be read";
    }
    return "was read";
}

int openRegular(const QString &path, int flags, Links links, Error *error)
{
    Error reason = Error::None;
    struct stat st;
    const int fd = openChecked(path, flags, links, reason, st);
    if (error)
        *error = reason;
    return fd;
}

Read readRegularFile(const QString &path, qint64 limit, Links links)
{
    return readChecked(path, limit, links, true);
}

Read readHead(const QString &path, qint64 count, Links links)
{
    return readChecked(path, count, links, false);
}

} // namespace PrefixFile
