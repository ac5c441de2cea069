// After a clean-up, nothing of what it removed is left in the raw blocks of the disk: a small
// ext4 file system on a loop device holds a prefix, and its image is searched afterwards.

#include "FileBytes.h"
#include "PrefixBuilder.h"
#include "ProgramRun.h"

#include <QRegularExpression>
#include <QScopeGuard>

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QString Windows = QStringLiteral("/drive_c/users/user/AppData/Local/Microsoft/Windows");

bool succeeds(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// One write: an earlier version in freed blocks would be a trace left by the test itself.
void replaceIn(const QString &path, const QList<std::pair<QByteArray, QByteArray>> &changes)
{
    QByteArray text = files::read(path);
    for (const auto &[from, to] : changes) {
        ASSERT_TRUE(text.contains(from)) << from.constData();
        text.replace(from, to);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

TEST_F(ProgramRun, NothingRemovedIsLeftInTheBlocksOfTheDisk)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a file system needs root";
    const QString image = folder.filePath("disk.img");
    const QString mount = folder.filePath("mnt");
    {
        QFile disk(image);
        ASSERT_TRUE(disk.open(QIODevice::WriteOnly));
        ASSERT_TRUE(disk.resize(48 << 20));
    }
    QDir().mkpath(mount);
    if (!succeeds("mkfs.ext4", {"-q", "-F", image}) ||
        !succeeds("mount", {"-o", "loop", image, mount}))
        GTEST_SKIP() << "no ext4 file system on a loop device here";
    bool mounted = true;
    const auto unmount = [&] {
        if (mounted)
            mounted = !succeeds("umount", {mount});
        return !mounted;
    };
    const auto cleanUp = qScopeGuard([&] { unmount(); });

    // The Wine sample, with a trace of each kind that is easy to find, and a favourite to keep.
    prefixRoot = mount + "/prefix";
    PrefixBuilder::copySampleTo(prefixRoot);
    files::append(prefixRoot + Windows + "/INetCookies/9SBTEVO0.txt",
                  "marker\nCOOKIE-VALUE-7f3a91\nwww.example.com/\n0\n869662720\n32181680\n"
                  "4174087432\n31295280\n*\n");
    files::append(prefixRoot + Windows + "/INetCache/Content.IE5/KHHU8BSF/index[0].html",
                  "<p>CACHED-PAGE-TEXT-5b2c</p>");
    replaceIn(prefixRoot + "/user.reg",
              {{"\"url2\"=\"news.example.org\"\n",
                "\"url2\"=\"news.example.org\"\n\"url3\"=\"http://TYPED-ADDRESS-91d4.example/\"\n"},
               {"\"a\"=\"notepad\\\\1\"\n\"MRUList\"=\"a\"",
                "\"a\"=\"notepad\\\\1\"\n\"b\"=\"RUN-COMMAND-3e8f\\\\1\"\n\"MRUList\"=\"ba\""}});
    QDir().mkpath(prefixRoot + "/drive_c/users/user/Favorites");
    files::append(prefixRoot + "/drive_c/users/user/Favorites/Kept.url",
                  "[InternetShortcut]\r\nURL=http://KEPT-FAVOURITE-a4c2.example/\r\n");
    QList<QByteArray> removed{"COOKIE-VALUE-7f3a91", "CACHED-PAGE-TEXT-5b2c", "TYPED-ADDRESS-91d4",
                              "RUN-COMMAND-3e8f"};
    {
        QProcess seed;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("WINEPREFIX", prefixRoot);
        seed.setProcessEnvironment(env);
        seed.start(QStringLiteral(NAVOLIS_PROGRAM_DIR "/navolis-seed"), {"history", "3"});
        ASSERT_TRUE(seed.waitForFinished(60000) && seed.exitCode() == 0);
    }
    const QByteArray history = files::read(prefixRoot + Windows + "/History/History.IE5/index.dat");
    const QRegularExpression visited(QStringLiteral("Visited: [\\x21-\\x7e]{8,}"));
    for (auto it = visited.globalMatch(QString::fromLatin1(history)); it.hasNext();)
        removed << it.next().captured().toLatin1();
    ASSERT_GT(removed.size(), 4) << "the sample's history holds addresses";

    ASSERT_TRUE(unmount());
    QByteArray raw = files::read(image);
    for (const QByteArray &trace : removed)
        ASSERT_TRUE(raw.contains(trace)) << "before: " << trace.constData();
    ASSERT_TRUE(succeeds("mount", {"-o", "loop", image, mount}));
    mounted = true;

    chooseLanguage();
    const Outcome run = start({"cbhme"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    ASSERT_TRUE(unmount());

    raw = files::read(image);
    for (const QByteArray &trace : removed)
        EXPECT_FALSE(raw.contains(trace)) << "left on the disk: " << trace.constData();
    EXPECT_TRUE(raw.contains("KEPT-FAVOURITE-a4c2")) << "what was not removed is still there";
}

} // namespace
