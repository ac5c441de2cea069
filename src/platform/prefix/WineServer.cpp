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

// A folder below `parent` as Wine makes it, made when missing: the owner's, mode 0700, reached
// without following a link. Root works in folders that the user controls here, so every change
// goes through descriptors. -1 when it is not such a folder: Wine refuses those too.
int openWineFolder(int parent, const QByteArray &name, uid_t uid, gid_t gid)
{
    const bool made = ::mkdirat(parent, name.constData(), 0700) == 0;
    if (!made && errno != EEXIST)
        return -1;
    const int fd =
        ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st;
    if ((made && ::geteuid() == 0 && ::fchown(fd, uid, gid) != 0) || ::fstat(fd, &st) != 0 ||
        st.st_uid != uid || (st.st_mode & 077) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The lock file as Wine makes it, or the one there when it is a plain file of the owner.
bool ensureLockFile(int folder, uid_t uid, gid_t gid)
{
    int fd = ::openat(folder, "lock", O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
        const bool own = ::geteuid() != 0 || ::fchown(fd, uid, gid) == 0;
        ::close(fd);
        return own;
    }
    if (errno != EEXIST)
        return false;
    fd = ::openat(folder, "lock", O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    const bool plain = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                       st.st_nlink == 1 && st.st_uid == uid;
    if (fd >= 0)
        ::close(fd);
    return plain;
}

// Debian's Wine without /run/user names a temporary folder of its own in the prefix, made
// with mkdtemp, the first time a server starts: it is made here the same way. Its name, or
// empty.
QByteArray makeDebianTempBase(const QString &root, int tempFolder, uid_t uid, gid_t gid)
{
    QByteArray temp = QFile::encodeName(QDir::tempPath() + QStringLiteral("/wine-XXXXXX"));
    if (!::mkdtemp(temp.data()))
        return {};
    const QByteArray name = temp.mid(temp.lastIndexOf('/') + 1);
    const int made =
        ::openat(tempFolder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    bool ok = made >= 0 && (::geteuid() != 0 || ::fchown(made, uid, gid) == 0);
    if (made >= 0)
        ::close(made);
    // As Wine writes it: the name alone, without a line end, which Wine would take for part
    // of the name.
    const QByteArray pointer = QFile::encodeName(root + "/wineserver");
    const int fd =
        ok ? ::open(pointer.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0400)
           : -1;
    ok = fd >= 0 && ::write(fd, name.constData(), size_t(name.size())) == ssize_t(name.size()) &&
         (::geteuid() != 0 || ::fchown(fd, uid, gid) == 0);
    if (fd >= 0)
        ::close(fd);
    if (!ok) {
        if (fd >= 0)
            ::unlink(pointer.constData());
        ::rmdir(temp.constData());
        return {};
    }
    return name;
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
    const QByteArray user = QByteArray::number(uid);
    // Each base as the folder that holds it and its name there.
    std::vector<std::pair<QByteArray, QByteArray>> bases{{"/tmp", ".wine-" + user}};
    const QByteArray run = "/run/user/" + user;
    const QByteArray temp = QFile::encodeName(QDir::tempPath());
    if (QFileInfo(QFile::decodeName(run)).isDir()) {
        bases.emplace_back(run, "wine");
    } else if (const QString known = debianTempBase(m_root); !known.isEmpty()) {
        bases.emplace_back(temp, QFile::encodeName(QFileInfo(known).fileName()));
    } else if (const int tempFolder = ::open(temp.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
               tempFolder >= 0) {
        const QByteArray made = makeDebianTempBase(m_root, tempFolder, uid, gid);
        ::close(tempFolder);
        if (!made.isEmpty())
            bases.emplace_back(temp, made);
    }
    QStringList folders;
    for (const auto &[parentPath, baseName] : bases) {
        const int parent = ::open(parentPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (parent < 0)
            continue;
        const int base = openWineFolder(parent, baseName, uid, gid);
        ::close(parent);
        if (base < 0)
            continue;
        const int server = openWineFolder(base, QFile::encodeName(name), uid, gid);
        ::close(base);
        if (server < 0)
            continue;
        if (ensureLockFile(server, uid, gid))
            folders << QFile::decodeName(parentPath + '/' + baseName) + '/' + name;
        ::close(server);
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
