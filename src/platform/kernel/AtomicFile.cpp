#include "platform/kernel/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

QByteArray tempPathFor(const QString &target)
{
    static std::atomic<int> counter{0};
    return QFile::encodeName(target) + ".navolis-" + QByteArray::number(::getpid()) + '-' +
           QByteArray::number(++counter);
}

void syncFolder(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

int removeLeftovers(const QString &target)
{
    const QFileInfo info(target);
    const QString stem = info.fileName() + QStringLiteral(".navolis-");
    const QDir folder(info.absolutePath());
    int removed = 0;
    for (const QString &name :
         folder.entryList({stem + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System)) {
        const QStringList parts = name.mid(stem.size()).split(QLatin1Char('-'));
        bool pidOk = false;
        bool counterOk = false;
        const qint64 pid = parts.size() == 2 ? parts[0].toLongLong(&pidOk) : 0;
        if (parts.size() == 2)
            parts[1].toUInt(&counterOk);
        if (!pidOk || !counterOk || pid <= 0 || pid == ::getpid())
            continue;
        // A process that exists, or one we may not ask about, may still be writing it.
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        struct stat st;
        if (::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid())
            continue;
        if (::unlink(path.constData()) == 0)
            ++removed;
    }
    return removed;
}

bool writeAll(int fd, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

TempFile::TempFile(const QString &target, mode_t mode)
    : m_target(target), m_path(tempPathFor(target)),
      m_fd(::open(m_path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode)),
      m_created(m_fd >= 0)
{
}

TempFile::~TempFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    // A failed O_EXCL open names someone else's file, which must stay.
    if (m_created && !m_placed)
        ::unlink(m_path.constData());
}

bool TempFile::write(const QByteArray &bytes, std::optional<mode_t> permissions)
{
    return write([&bytes](const Sink &sink) { return sink(bytes); }, permissions);
}

bool TempFile::write(const Producer &produce, std::optional<mode_t> permissions)
{
    if (m_fd < 0)
        return false;
    const int fd = m_fd;
    bool ok = (!permissions || ::fchmod(m_fd, *permissions) == 0) &&
              produce([fd](QByteArrayView piece) { return writeAll(fd, piece); }) &&
              ::fsync(m_fd) == 0;
    ok = ::close(m_fd) == 0 && ok;
    m_fd = -1;
    m_written = ok;
    return ok;
}

bool TempFile::replaceTarget()
{
    if (!m_written || ::rename(m_path.constData(), QFile::encodeName(m_target).constData()) != 0)
        return false;
    m_placed = true;
    syncFolder(m_target);
    return true;
}

bool TempFile::linkAsTarget()
{
    return m_written && ::link(m_path.constData(), QFile::encodeName(m_target).constData()) == 0;
}

bool replace(const QString &path, const QByteArray &bytes)
{
    struct stat old;
    const bool replacing = ::stat(QFile::encodeName(path).constData(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode))
        return false;
    TempFile temp(path, replacing ? 0600 : 0666);
    return temp.write(bytes,
                      replacing ? std::optional<mode_t>(old.st_mode & 07777) : std::nullopt) &&
           temp.replaceTarget();
}

} // namespace AtomicFile
