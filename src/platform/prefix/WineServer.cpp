#include "platform/prefix/WineServer.h"

#include "platform/prefix/ReadOnlyNotice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString hex(quint64 v)
{
    return QString::number(v, 16);
}

struct flock firstByte(short type)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    return lock;
}

} // namespace

WineServer::WineServer(QString prefixRoot) : m_root(std::move(prefixRoot)) {}

QString WineServer::serverFolderName() const
{
    struct stat st;
    if (::stat(QFile::encodeName(m_root).constData(), &st) != 0)
        return {};
    return QStringLiteral("server-%1-%2").arg(hex(st.st_dev), hex(st.st_ino));
}

QStringList WineServer::serverFolders() const
{
    const QString name = serverFolderName();
    if (name.isEmpty())
        return {};
    const QString uid = QString::number(::getuid());
    QStringList bases{QStringLiteral("/tmp/.wine-") + uid, // upstream builds
                      QStringLiteral("/run/user/%1/wine").arg(uid), m_root + "/.wineserver"};
    // Debian builds without /run/user keep the name of their temporary folder in the prefix.
    QFile pointer(m_root + "/wineserver");
    if (pointer.open(QIODevice::ReadOnly)) {
        const QString tmpName = QString::fromLocal8Bit(pointer.readLine(4096)).trimmed();
        if (!tmpName.isEmpty() && !tmpName.contains('/'))
            bases << QDir::tempPath() + '/' + tmpName;
    }
    QStringList folders;
    for (const QString &base : bases) {
        const QString folder = base + '/' + name;
        if (QFileInfo(folder).isDir() && !folders.contains(folder))
            folders << folder;
    }
    return folders;
}

bool WineServer::lockIsHeld(const QString &lockFile) const
{
    const int fd = ::open(QFile::encodeName(lockFile).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock lock = firstByte(F_WRLCK);
    const bool held = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

// Catches a server whose folder lies where we did not look (another TMPDIR, say): its working
// folder is its server folder.
bool WineServer::serverProcessExists() const
{
    const QString name = serverFolderName();
    if (name.isEmpty())
        return false;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : pids) {
        if (pid.isEmpty() || !pid.at(0).isDigit())
            continue;
        QFile comm("/proc/" + pid + "/comm");
        if (!comm.open(QIODevice::ReadOnly))
            continue;
        const QByteArray command = comm.readAll().trimmed();
        if (command != "wineserver" && command != "wineserver64")
            continue;
        const QString cwd = QFileInfo("/proc/" + pid + "/cwd").symLinkTarget();
        if (cwd.endsWith('/' + name))
            return true;
    }
    return false;
}

bool WineServer::isRunning() const
{
    for (const QString &folder : serverFolders()) {
        if (lockIsHeld(folder + "/lock"))
            return true;
    }
    return serverProcessExists();
}

namespace {
QStringList &refusedPrefixes()
{
    static QStringList refused;
    return refused;
}
} // namespace

void refuseWritesTo(const QString &prefixRoot)
{
    if (!refusedPrefixes().contains(prefixRoot))
        refusedPrefixes() << prefixRoot;
}

bool writesRefusedTo(const QString &prefixRoot)
{
    return refusedPrefixes().contains(prefixRoot);
}

PrefixWriteLock::PrefixWriteLock(const QString &prefixRoot)
{
    if (refusedPrefixes().contains(prefixRoot))
        return;
    const WineServer server(prefixRoot);
    bool serverRuns = false;
    for (const QString &folder : server.serverFolders()) {
        const QByteArray lockFile = QFile::encodeName(folder + "/lock");
        const int fd = ::open(lockFile.constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue; // no lock file: no server of this layout has run
        // Tied to this descriptor: a process-wide record lock would go with the close of any
        // other descriptor of the file, such as the check below.
        struct flock lock = firstByte(F_WRLCK);
        if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
            ::close(fd);
            serverRuns = true;
            break;
        }
        m_fds.push_back(fd);
    }
    if (!serverRuns)
        serverRuns = server.serverProcessExists();
    if (serverRuns) {
        release();
        ReadOnlyNotice::report(prefixRoot);
        return;
    }
    m_held = true;
}

PrefixWriteLock::~PrefixWriteLock()
{
    release();
}

void PrefixWriteLock::release()
{
    for (const int fd : m_fds)
        ::close(fd); // closing drops the lock
    m_fds.clear();
    m_held = false;
}
