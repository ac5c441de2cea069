#include "platform/prefix/WineServer.h"

#include "platform/prefix/ReadOnlyNotice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
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

namespace {

// Wine runs as the prefix's owner (it refuses a prefix of someone else), so its server folders
// are that user's.
uid_t ownerOf(const QString &root)
{
    struct stat st;
    return ::stat(QFile::encodeName(root).constData(), &st) == 0 ? st.st_uid : ::getuid();
}

QString debianTempBase(const QString &root)
{
    QFile pointer(root + "/wineserver");
    if (!pointer.open(QIODevice::ReadOnly))
        return {};
    const QString tmpName = QString::fromLocal8Bit(pointer.readLine(4096)).trimmed();
    return tmpName.isEmpty() || tmpName.contains('/') ? QString()
                                                      : QDir::tempPath() + '/' + tmpName;
}

} // namespace

QStringList WineServer::serverFolders() const
{
    const QString name = serverFolderName();
    if (name.isEmpty())
        return {};
    const QString uid = QString::number(ownerOf(m_root));
    QStringList bases{QStringLiteral("/tmp/.wine-") + uid, // upstream builds
                      QStringLiteral("/run/user/%1/wine").arg(uid), m_root + "/.wineserver"};
    // Debian builds without /run/user keep the name of their temporary folder in the prefix.
    if (const QString temp = debianTempBase(m_root); !temp.isEmpty())
        bases << temp;
    QStringList folders;
    for (const QString &base : bases) {
        const QString folder = base + '/' + name;
        if (QFileInfo(folder).isDir() && !folders.contains(folder))
            folders << folder;
    }
    return folders;
}

namespace {

// A folder as Wine makes it: the owner's, mode 0700; one that is not (someone else's, open to
// others) Wine refuses too, and it is not used.
bool ensureWineFolder(const QByteArray &path, uid_t uid, gid_t gid)
{
    if (::mkdir(path.constData(), 0700) == 0) {
        if (::geteuid() == 0 && ::chown(path.constData(), uid, gid) != 0)
            return false;
    } else if (errno != EEXIST) {
        return false;
    }
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid &&
           (st.st_mode & 077) == 0;
}

// Debian's Wine without /run/user names a temporary folder of its own in the prefix, made
// with mkdtemp, the first time a server starts: it is made here the same way.
QString makeDebianTempBase(const QString &root, uid_t uid, gid_t gid)
{
    QByteArray temp = QFile::encodeName(QDir::tempPath() + QStringLiteral("/wine-XXXXXX"));
    if (!::mkdtemp(temp.data()))
        return {};
    const QByteArray pointer = QFile::encodeName(root + "/wineserver");
    const int fd = ::open(pointer.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0400);
    // As Wine writes it: the name alone, without a line end, which Wine would take for part
    // of the name.
    const QByteArray name = QFileInfo(QFile::decodeName(temp)).fileName().toLocal8Bit();
    const bool written =
        fd >= 0 && ::write(fd, name.constData(), size_t(name.size())) == ssize_t(name.size());
    const bool own = fd >= 0 && (::geteuid() != 0 || ::fchown(fd, uid, gid) == 0);
    if (fd >= 0)
        ::close(fd);
    if (!written || !own || (::geteuid() == 0 && ::chown(temp.constData(), uid, gid) != 0)) {
        ::rmdir(temp.constData());
        return {};
    }
    return QFile::decodeName(temp);
}

} // namespace

QStringList WineServer::createServerFolders() const
{
    const QString name = serverFolderName();
    struct stat st;
    if (name.isEmpty() || ::stat(QFile::encodeName(m_root).constData(), &st) != 0)
        return {};
    const uid_t uid = st.st_uid;
    const gid_t gid = st.st_gid;
    const QString user = QString::number(uid);
    QStringList bases{QStringLiteral("/tmp/.wine-") + user};
    if (const QString run = QStringLiteral("/run/user/") + user; QFileInfo(run).isDir())
        bases << run + QStringLiteral("/wine");
    else if (QString temp = debianTempBase(m_root);
             !temp.isEmpty() || !(temp = makeDebianTempBase(m_root, uid, gid)).isEmpty())
        bases << temp;
    QStringList made;
    for (const QString &base : bases) {
        const QByteArray folder = QFile::encodeName(base + '/' + name);
        if (!ensureWineFolder(QFile::encodeName(base), uid, gid) ||
            !ensureWineFolder(folder, uid, gid))
            continue;
        const QByteArray lockFile = folder + "/lock";
        const int fd = ::open(lockFile.constData(),
                              O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
        if (fd < 0)
            continue;
        const bool own = ::geteuid() != 0 || ::fchown(fd, uid, gid) == 0;
        ::close(fd);
        if (own)
            made << QFile::decodeName(folder);
    }
    return made;
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
    QStringList lockedFolders;
    // Tied to the descriptor: a process-wide record lock would go with the close of any other
    // descriptor of the file, such as the check below. False when a server holds it.
    const auto takeLock = [&](const QString &folder) {
        const QByteArray lockFile = QFile::encodeName(folder + "/lock");
        const int fd = ::open(lockFile.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            return true; // no lock file: no server of this layout has run
        struct flock lock = firstByte(F_WRLCK);
        if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
            ::close(fd);
            return false;
        }
        m_fds.push_back(fd);
        lockedFolders << folder;
        return true;
    };
    for (const QString &folder : server.serverFolders()) {
        if (!takeLock(folder)) {
            serverRuns = true;
            break;
        }
    }
    if (!serverRuns)
        serverRuns = server.serverProcessExists();
    // After a reboot no server folder exists, and a server starting now would find no lock
    // taken: the folders are made where Wine makes them, and their locks held too.
    for (const QString &folder : serverRuns ? QStringList() : server.createServerFolders()) {
        if (lockedFolders.contains(folder))
            continue;
        if (!takeLock(folder)) {
            serverRuns = true;
            break;
        }
    }
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
