#include "platform/prefix/Prefix.h"
#include "PrefixBuilder.h"
#include "TestEnvironment.h"
#include "platform/context/PrefixContext.h"
#include "platform/prefix/DosPaths.h"
#include "platform/prefix/WineServer.h"
#include "platform/registry/RegHive.h"
#include "platform/shell/ShellFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs the body with HOME and XDG_DATA_HOME in a fresh folder and WINEPREFIX unset.
class FreshHome : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedHome = qgetenv("HOME");
        m_savedData = qgetenv("XDG_DATA_HOME");
        setenv("HOME", QFile::encodeName(m_home.path()).constData(), 1);
        setenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + "/data").constData(), 1);
        unsetenv("WINEPREFIX");
    }
    void TearDown() override
    {
        setenv("HOME", m_savedHome.constData(), 1);
        setenv("XDG_DATA_HOME", m_savedData.constData(), 1);
    }
    QString home() const { return m_home.path(); }

private:
    QTemporaryDir m_home;
    QByteArray m_savedHome;
    QByteArray m_savedData;
};

} // namespace

TEST_F(FreshHome, ResolvesWinePrefixThenDotWineThenTheEmbeddedDefault)
{
    const QString embedded = home() + "/data/navolis/prefix";
    QDir().mkpath(home() + "/.wine"); // without user.reg it does not count
    EXPECT_EQ(Prefix::resolveRoot(), embedded);
    EXPECT_FALSE(QFileInfo::exists(embedded));

    QFile(home() + "/.wine/user.reg").open(QIODevice::WriteOnly);
    EXPECT_EQ(Prefix::target().root(), home() + "/.wine");

    setenv("WINEPREFIX", "/some/prefix//", 1);
    EXPECT_EQ(Prefix::target().root(), "/some/prefix");
    unsetenv("WINEPREFIX");
}

TEST_F(FreshHome, EmbeddedDefaultIsCreatedOnFirstUse)
{
    const Prefix prefix = PrefixContext::chooseAtStart().prefix();
    ASSERT_EQ(prefix.root(), home() + "/data/navolis/prefix");
    EXPECT_EQ(QFileInfo(prefix.root() + "/dosdevices/c:").symLinkTarget(),
              prefix.root() + "/drive_c");
    QFile file(prefix.userRegPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto hive = RegHive::parse(file.readAll());
    ASSERT_FALSE(hive->isDamaged());
    const QStringList explorer{"Software", "Microsoft", "Windows", "CurrentVersion", "Explorer"};
    const RegHive::Key *shell = hive->findKey(explorer + QStringList{"Shell Folders"});
    const RegHive::Key *user = hive->findKey(explorer + QStringList{"User Shell Folders"});
    ASSERT_TRUE(shell && user);
    for (const char *name : {"Favorites", "Recent", "StartUp", "Cache", "Cookies", "History"}) {
        ASSERT_TRUE(shell->value(QString::fromLatin1(name))) << name;
        EXPECT_EQ(user->value(QString::fromLatin1(name))->type, 2u) << name;
        const QString host = ShellFolders::hostPath(QString::fromLatin1(name).toUpper());
        EXPECT_TRUE(QFileInfo(host).isDir()) << name << " " << host.toStdString();
        EXPECT_TRUE(host.startsWith(prefix.root() + "/drive_c/users/")) << host.toStdString();
    }
}

TEST(DosPaths, MapsWindowsPathsToHostPathsAsWineDoes)
{
    PrefixBuilder prefix;
    const Prefix p(prefix.root());
    const QString drive = QFileInfo(prefix.path("drive_c")).canonicalFilePath();
    EXPECT_EQ(
        DosPaths::toHostPath(p, u"c:\\USERS\\user\\appdata\\Local\\Microsoft\\Windows\\History"),
        drive + "/users/user/AppData/Local/Microsoft/Windows/History");
    EXPECT_EQ(DosPaths::toHostPath(p, u"C:\\users\\user\\NoSuch\\Sub"),
              drive + "/users/user/NoSuch/Sub");
    EXPECT_EQ(DosPaths::toHostPath(p, u"C:/users/../../../etc"), drive + "/etc");
    EXPECT_EQ(DosPaths::toHostPath(p, u"C:"), drive);
    EXPECT_EQ(DosPaths::toHostPath(p, u"D:\\data"), QString()); // no such drive
    EXPECT_EQ(DosPaths::toHostPath(p, u"users\\user"), QString());
    EXPECT_EQ(DosPaths::toHostPath(p, u"\\\\?\\unix\\home\\alice\\x"), "/home/alice/x");
}

TEST(DosPaths, MapsHostPathsBackThroughTheDrives)
{
    PrefixBuilder prefix;
    const Prefix p(prefix.root());
    EXPECT_EQ(DosPaths::toWindowsPath(p, prefix.profile() + "/AppData/Local"),
              "C:\\users\\user\\AppData\\Local");
    EXPECT_EQ(DosPaths::toWindowsPath(p, prefix.profile() + "/Favorites/not yet.url"),
              "C:\\users\\user\\Favorites\\not yet.url");
    EXPECT_EQ(DosPaths::toWindowsPath(p, prefix.path("drive_c")), "C:\\");
    EXPECT_EQ(DosPaths::toWindowsPath(p, "/etc/passwd"), "\\\\?\\unix\\etc\\passwd");
    QFile::link("/", prefix.path("dosdevices/z:"));
    EXPECT_EQ(DosPaths::toWindowsPath(p, "/etc/passwd"), "Z:\\etc\\passwd");
    // C: is checked before Z:, which also covers the prefix.
    EXPECT_EQ(DosPaths::toWindowsPath(p, prefix.profile()), "C:\\users\\user");
}

TEST(WineServer, FindsTheServerFolderAndItsLock)
{
    PrefixBuilder prefix;
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(prefix.root()).constData(), &st), 0);
    const WineServer server(prefix.root());
    EXPECT_EQ(server.serverFolderName(),
              QStringLiteral("server-%1-%2")
                  .arg(QString::number(st.st_dev, 16), QString::number(st.st_ino, 16)));
    EXPECT_FALSE(server.isRunning());
    prefix.holdServerLock();
    EXPECT_TRUE(server.isRunning());
    EXPECT_FALSE(PrefixWriteLock(prefix.root()).isHeld());
    prefix.releaseServerLock(); // the lock file stays behind, as after a server's exit
    EXPECT_FALSE(server.isRunning());
    ASSERT_EQ(server.serverFolders().size(), 1);
    EXPECT_TRUE(QFileInfo::exists(server.serverFolders().front() + "/lock"));
    EXPECT_TRUE(PrefixWriteLock(prefix.root()).isHeld());
}

// While we hold the lock, a wineserver starting elsewhere must find it taken.
TEST(WineServer, WriteLockStaysHeldUntilReleased)
{
    PrefixBuilder prefix;
    prefix.holdServerLock();
    prefix.releaseServerLock();
    const QString lockFile = WineServer(prefix.root()).serverFolders().front() + "/lock";
    const auto takenByOthers = [&] {
        const int fd = ::open(QFile::encodeName(lockFile).constData(), O_RDWR | O_CLOEXEC);
        struct flock probe = {};
        probe.l_type = F_WRLCK;
        probe.l_whence = SEEK_SET;
        probe.l_len = 1;
        const bool taken = ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
        ::close(fd);
        return taken;
    };
    {
        const PrefixWriteLock lock(prefix.root());
        ASSERT_TRUE(lock.isHeld());
        EXPECT_TRUE(takenByOthers());
        // Another look at the lock file from this process must not give the lock away.
        ::close(::open(QFile::encodeName(lockFile).constData(), O_RDONLY | O_CLOEXEC));
        EXPECT_TRUE(takenByOthers());
    }
    EXPECT_FALSE(takenByOthers());
}

// After a reboot no server folder exists: a server starting during a write found nothing taken
// and wrote its registry back over the change. Now the folders are made where Wine makes them,
// as the prefix's owner's, and a starting server finds every lock taken.
TEST(WineServer, WriteLockOnAFreshPrefixIsTakenWhereAStartingServerLooks)
{
    PrefixBuilder prefix;
    ASSERT_TRUE(WineServer(prefix.root()).serverFolders().isEmpty());
    // As a starting server tries it: a process-wide lock from another process.
    const auto serverCouldStart = [](const QString &folder) {
        const pid_t child = ::fork();
        if (child == 0) {
            const int fd = ::open(QFile::encodeName(folder + "/lock").constData(), O_WRONLY);
            struct flock lock = {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            lock.l_len = 1;
            ::_exit(fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0 ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    QStringList folders;
    {
        const PrefixWriteLock lock(prefix.root());
        ASSERT_TRUE(lock.isHeld());
        folders = WineServer(prefix.root()).serverFolders();
        ASSERT_FALSE(folders.isEmpty());
        // Debian's Wine names its temporary folder in the prefix, the name alone: a line end
        // would be part of the name it uses.
        QFile pointer(prefix.path("wineserver"));
        if (pointer.open(QIODevice::ReadOnly)) {
            const QByteArray name = pointer.readAll();
            EXPECT_TRUE(QFileInfo(QDir::tempPath() + '/' + QString::fromLocal8Bit(name)).isDir())
                << name.toStdString();
        }
        for (const QString &folder : folders) {
            EXPECT_FALSE(serverCouldStart(folder)) << folder.toStdString();
            struct stat st;
            ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0700u) << "Wine refuses a folder others may enter";
            EXPECT_EQ(st.st_uid, ::getuid());
        }
    }
    for (const QString &folder : folders)
        EXPECT_TRUE(serverCouldStart(folder)) << folder.toStdString();
}

TEST(ShellFolders, PrefersUserShellFoldersAndFallsBack)
{
    PrefixBuilder prefix;
    const QString key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
    prefix.rawValue(key + "\\User Shell Folders", "Favorites", 2,
                    QByteArray("%\0U\0S\0E\0R\0P\0R\0O\0F\0I\0L\0E\0%\0\\\0F\0a\0v\0\0\0", 36));
    prefix.value(key + "\\Shell Folders", "Only Here", "C:\\users\\user\\Here");
    EXPECT_EQ(ShellFolders::windowsPath("favorites"), "C:\\users\\user\\Fav");
    EXPECT_EQ(ShellFolders::windowsPath("ONLY HERE"), "C:\\users\\user\\Here");
    EXPECT_EQ(ShellFolders::windowsPath("Missing"), QString());
    EXPECT_EQ(ShellFolders::hostPath("Cookies"),
              QFileInfo(prefix.path("drive_c")).canonicalFilePath() +
                  "/users/user/AppData/Local/Microsoft/Windows/INetCookies");
}
