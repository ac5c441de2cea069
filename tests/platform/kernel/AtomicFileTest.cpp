#include "platform/kernel/AtomicFile.h"
#include "FileBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

mode_t modeOf(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

QStringList entries(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

struct Umask
{
    mode_t saved = ::umask(022);
    ~Umask() { ::umask(saved); }
};

} // namespace

TEST(AtomicFile, ReplaceKeepsTheModeAndANewFileFollowsTheUmask)
{
    const Umask umask;
    QTemporaryDir dir;
    const QString old = dir.filePath("old");
    files::write(old, "old");
    ::chmod(QFile::encodeName(old).constData(), 0640);
    ASSERT_TRUE(AtomicFile::replace(old, "new"));
    EXPECT_EQ(files::read(old, "<missing>"), "new");
    EXPECT_EQ(modeOf(old), 0640u);

    const QString fresh = dir.filePath("fresh");
    ASSERT_TRUE(AtomicFile::replace(fresh, "fresh"));
    EXPECT_EQ(modeOf(fresh), 0644u);
    EXPECT_EQ(entries(dir), (QStringList{"fresh", "old"}));
}

TEST(AtomicFile, ReplaceRefusesWhatIsNotAPlainFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    EXPECT_FALSE(AtomicFile::replace(dir.filePath("folder"), "x"));
    EXPECT_EQ(entries(dir), QStringList{"folder"});
}

TEST(AtomicFile, ATempFileNotPlacedLeavesNothingBehind)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("target");
    {
        AtomicFile::TempFile temp(target, 0644);
        ASSERT_TRUE(temp.write("unused"));
    }
    {
        AtomicFile::TempFile temp(target, 0644);
    }
    EXPECT_TRUE(entries(dir).isEmpty());
}

TEST(AtomicFile, LinkingNeverReplacesAnExistingTarget)
{
    const Umask umask;
    QTemporaryDir dir;
    const QString target = dir.filePath("target");
    {
        AtomicFile::TempFile temp(target, 0666);
        ASSERT_TRUE(temp.write("first"));
        EXPECT_TRUE(temp.linkAsTarget());
    }
    {
        AtomicFile::TempFile temp(target, 0666);
        ASSERT_TRUE(temp.write("second"));
        EXPECT_FALSE(temp.linkAsTarget());
    }
    EXPECT_EQ(files::read(target, "<missing>"), "first");
    EXPECT_EQ(modeOf(target), 0644u);
    EXPECT_EQ(entries(dir), QStringList{"target"});
}

// A save killed midway leaves its temporary file; the next start removes it, and only such
// files of processes that are gone.
TEST(AtomicFile, LeftoversOfEndedProcessesAreRemovedAndNothingElse)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("user.reg");
    files::write(target, "hive");
    // A process that has surely ended: a child we waited for.
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ASSERT_GT(ended, 0);
    ::waitpid(ended, nullptr, 0);
    const QString gone = target + QStringLiteral(".navolis-%1-3").arg(ended);
    const QString mine = target + QStringLiteral(".navolis-%1-1").arg(::getpid());
    const QString notANumber = target + ".navolis-abc-1";
    const QString otherFile = dir.filePath("system.reg.navolis-%1-1").arg(ended);
    for (const QString &path : {gone, mine, notANumber, otherFile})
        files::write(path, "partial");

    EXPECT_EQ(AtomicFile::removeLeftovers(target), 1);
    EXPECT_FALSE(QFile::exists(gone));
    for (const QString &path : {mine, notANumber, otherFile, target})
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
}

// Root cleaning another user's prefix must leave its files to that user: a replaced file keeps
// its owner and group, and one that is made (a shortcut, a cache container) gets its folder's.
TEST(AtomicFile, FilesOfRootKeepTheOwnerOfTheFileOrFolder)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root";
    QTemporaryDir dir;
    const auto own = [](const QString &path) {
        return ::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0;
    };
    const auto owner = [](const QString &path) {
        struct stat st;
        return ::stat(QFile::encodeName(path).constData(), &st) == 0
                   ? std::pair<uid_t, gid_t>(st.st_uid, st.st_gid)
                   : std::pair<uid_t, gid_t>(0, 0);
    };
    const std::pair<uid_t, gid_t> nobody(65534, 65534);
    const QString old = dir.filePath("user.reg");
    files::write(old, "old");
    ASSERT_TRUE(own(old));
    ::chmod(QFile::encodeName(old).constData(), 0640);
    ASSERT_TRUE(AtomicFile::replace(old, "new"));
    EXPECT_EQ(owner(old), nobody);
    EXPECT_EQ(modeOf(old), 0640u);

    ASSERT_TRUE(own(dir.path()));
    const QString link = dir.filePath("x.lnk");
    ASSERT_TRUE(AtomicFile::replace(link, "link"));
    EXPECT_EQ(owner(link), nobody);
    const QString index = dir.filePath("index.dat");
    AtomicFile::TempFile temp(index, 0644);
    ASSERT_TRUE(temp.write("container") && temp.linkAsTarget());
    EXPECT_EQ(owner(index), nobody);
}
