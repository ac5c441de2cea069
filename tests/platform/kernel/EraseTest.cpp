// Removing a trace leaves nothing of it in the blocks it had, and touches nothing but the trace.

#include "common/Erase.h"
#include "FileBytes.h"
#include "ImmutableFile.h"
#include "platform/kernel/AtomicFile.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

std::string local(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// What an open descriptor of the removed file still sees: the blocks were emptied, not merely
// unnamed.
QByteArray readThrough(int fd)
{
    QByteArray bytes(4096, '\0');
    const ssize_t n = ::pread(fd, bytes.data(), size_t(bytes.size()), 0);
    bytes.resize(n < 0 ? 0 : qsizetype(n));
    return bytes;
}

TEST(Erase, AFileOfOneNameIsEmptiedBeforeItGoes)
{
    QTemporaryDir dir;
    const QString cookie = dir.filePath("cookie.txt");
    files::write(cookie, "sid\nsecret-value\nexample.com/\n");
    const int watcher = ::open(QFile::encodeName(cookie).constData(), O_RDONLY);
    ASSERT_GE(watcher, 0);
    const auto close = qScopeGuard([&] { ::close(watcher); });
    // Another descriptor keeps the inode, not a name: the file is still one of one link. In a
    // batch the zeros are there before the file is emptied.
    {
        const common::ErasureBatch batch;
        EXPECT_EQ(common::erase(local(cookie)), common::Erasure::Overwritten);
        EXPECT_FALSE(QFile::exists(cookie));
        EXPECT_EQ(readThrough(watcher), QByteArray(30, '\0'));
    }
    EXPECT_EQ(readThrough(watcher), QByteArray());

    common::setOverwriting(false);
    files::write(cookie, "again");
    EXPECT_EQ(common::erase(local(cookie)), common::Erasure::Unlinked);
    common::setOverwriting(true);
    EXPECT_EQ(common::erase(local(cookie)), common::Erasure::Missing);
}

// Another name of the same file is not a trace Navolis knows of: its content stays.
TEST(Erase, AHardLinkedFileKeepsItsContentForTheOtherName)
{
    QTemporaryDir dir;
    const QString cookie = dir.filePath("cookie.txt");
    const QString other = dir.filePath("kept.txt");
    files::write(cookie, "sid\nsecret-value\n");
    ASSERT_EQ(::link(QFile::encodeName(cookie).constData(), QFile::encodeName(other).constData()),
              0);
    const long before = common::erasureCounts().keptByOtherLink;
    EXPECT_EQ(common::erase(local(cookie)), common::Erasure::KeptByOtherLink);
    EXPECT_FALSE(QFile::exists(cookie));
    EXPECT_EQ(files::read(other, "<missing>"), "sid\nsecret-value\n");
    EXPECT_EQ(common::erasureCounts().keptByOtherLink, before + 1);
}

// A link is removed itself; what it leads to, and a file put in the trace's place between the
// look and the opening, are never overwritten.
TEST(Erase, LinksAndFilesSwappedInAreNotOverwritten)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("elsewhere.txt");
    const QString trace = dir.filePath("trace.txt");
    files::write(target, "not a trace");
    ASSERT_TRUE(QFile::link(target, trace));
    EXPECT_EQ(common::erase(local(trace)), common::Erasure::Unlinked);
    EXPECT_EQ(files::read(target, "<missing>"), "not a trace");

    const auto swap = [&](bool toLink) {
        files::write(trace, "the trace");
        common::setEraseLookHook([&] {
            QFile::remove(trace);
            if (toLink)
                QFile::link(target, trace);
            else
                files::write(trace, "someone else's");
        });
        const common::Erasure erased = common::erase(local(trace));
        common::setEraseLookHook({});
        return erased;
    };
    EXPECT_EQ(swap(true), common::Erasure::Failed);
    EXPECT_EQ(files::read(target, "<missing>"), "not a trace");
    EXPECT_TRUE(QFileInfo(trace).isSymLink());
    QFile::remove(trace);
    EXPECT_EQ(swap(false), common::Erasure::Failed);
    EXPECT_EQ(files::read(trace, "<missing>"), "someone else's");
}

// A folder that keeps its names keeps the files' content too: nothing is emptied that could
// not then be unlinked.
TEST(Erase, AFileThatCannotBeUnlinkedIsNotEmptied)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("locked"));
    const QString cookie = dir.filePath("locked/cookie.txt");
    files::write(cookie, "sid\nsecret-value\n");
    const ImmutableFile folder(dir.filePath("locked"));
    if (!folder.held())
        GTEST_SKIP() << "needs root and a file system with the immutable flag";
    EXPECT_EQ(common::erase(local(cookie)), common::Erasure::Failed);
    EXPECT_EQ(files::read(cookie, "<missing>"), "sid\nsecret-value\n");
    {
        const common::ErasureBatch batch;
        EXPECT_EQ(common::erase(local(cookie)), common::Erasure::Failed);
    }
    EXPECT_EQ(files::read(cookie, "<missing>"), "sid\nsecret-value\n");
}

// The previous version of a replaced file is emptied once the new one has its name, unless
// another name keeps it.
TEST(Erase, AReplacedFilesPreviousVersionIsEmptied)
{
    QTemporaryDir dir;
    const QString hive = dir.filePath("user.reg");
    files::write(hive, "\"url1\"=\"http://typed.example/\"\n");
    int watcher = ::open(QFile::encodeName(hive).constData(), O_RDONLY);
    ASSERT_GE(watcher, 0);
    ASSERT_TRUE(AtomicFile::replace(hive, "new\n"));
    EXPECT_EQ(readThrough(watcher), QByteArray());
    EXPECT_EQ(files::read(hive, "<missing>"), "new\n");
    ::close(watcher);

    const QString backup = dir.filePath("user.reg.bak");
    ASSERT_EQ(::link(QFile::encodeName(hive).constData(), QFile::encodeName(backup).constData()),
              0);
    ASSERT_TRUE(AtomicFile::replace(hive, "newer\n"));
    EXPECT_EQ(files::read(backup, "<missing>"), "new\n");
}

// Where the zeros cannot reach the blocks, that is said once, with the folder.
TEST(Erase, ACopyOnWriteFileSystemIsNamedOnce)
{
    QTemporaryDir dir;
    common::setFileSystemProbe([](int) { return long(0x9123683E); }); // btrfs
    QStringList said;
    common::setUnreachableNotice(
        [&](const std::string &where) { said << QString::fromStdString(where); });
    const auto restore = qScopeGuard([] {
        common::setFileSystemProbe({});
        common::setUnreachableNotice({});
    });
    EXPECT_FALSE(common::overwriteReaches(local(dir.path())));
    // The zeros would only take new space: the files are unlinked, and counted as such.
    const long before = common::erasureCounts().unlinkedOnly;
    for (const char *name : {"a.txt", "b.txt"}) {
        files::write(dir.filePath(name), "trace");
        EXPECT_EQ(common::erase(local(dir.filePath(name))), common::Erasure::Unlinked);
    }
    EXPECT_EQ(common::erasureCounts().unlinkedOnly, before + 2);
    EXPECT_EQ(said, QStringList{dir.path()});
}

} // namespace
