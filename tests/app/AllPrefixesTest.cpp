// The user's prefixes from the command line: listed, previewed and cleaned in one run, in a
// home folder laid out as the launchers lay theirs out.

#include "FileBytes.h"
#include "PrefixBuilder.h"
#include "ProgramRun.h"
#include "platform/prefix/WineServer.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

namespace {

const QString Profile = QStringLiteral("/drive_c/users/user/AppData/Local/Microsoft/Windows");

QStringList cookiesOf(const QString &prefix)
{
    return QDir(prefix + Profile + "/INetCookies").entryList({"*.txt"}, QDir::Files);
}

QStringList cachedFilesOf(const QString &prefix)
{
    QStringList files;
    QDirIterator it(prefix + Profile + "/INetCache/Content.IE5", QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        if (!it.next().endsWith("index.dat"))
            files << it.filePath();
    return files;
}

class AllPrefixesTest : public ProgramRun
{
protected:
    QString home = folder.filePath(QStringLiteral("home"));
    QString steamGame = home + "/.local/share/Steam/steamapps/compatdata/220/pfx";
    QString bottle = home + "/.local/share/bottles/bottles/gaming";
    QString dotWine = home + "/.wine";

    void SetUp() override
    {
        ProgramRun::SetUp();
        chooseLanguage();
        PrefixBuilder::copySampleTo(dotWine);
        PrefixBuilder::copySampleTo(steamGame);
        PrefixBuilder::copySampleTo(bottle);
        files::write(home + "/.local/share/Steam/steamapps/appmanifest_220.acf",
                     "\"AppState\"\n{\n\t\"appid\"\t\t\"220\"\n\t\"name\"\t\t\"Test Game\"\n}\n");
        files::write(bottle + "/bottle.yml", "Arch: win64\nName: Gaming\nRunner: wine\n");
        QDir().mkpath(home + "/.steam");
        QFile::link(home + "/.local/share/Steam", home + "/.steam/steam");
        // Not prefixes: no registry, a damaged library list.
        QDir().mkpath(home + "/.local/share/wineprefixes/empty/drive_c");
        files::write(home + "/.steam/root/steamapps/libraryfolders.vdf",
                     "\"libraryfolders\" { \"0\" {");
    }

    Outcome inHome(const QStringList &arguments, const QString &winePrefix = {})
    {
        return start(arguments, {{"HOME", home},
                                 {"XDG_DATA_HOME", home + "/.local/share"},
                                 {"XDG_CONFIG_HOME", home + "/.config"},
                                 {"WINEPREFIX", winePrefix}});
    }
};

TEST_F(AllPrefixesTest, ListingAndPreviewChangeNothingAndTheRunCleansEveryPrefix)
{
    const auto before = filesBelow(home);

    const Outcome list = inHome({"--list-prefixes"});
    EXPECT_EQ(list.status, 0) << list.err.toStdString();
    const QStringList lines = list.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << list.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("wine") && lines[0].endsWith(dotWine));
    // Found first through the link ~/.steam/steam, and listed once.
    EXPECT_TRUE(lines[1].contains("Test Game") &&
                lines[1].endsWith("/.steam/steam/steamapps/compatdata/220/pfx"));
    EXPECT_TRUE(lines[2].contains("Gaming") && lines[2].endsWith(bottle));

    const QJsonArray json =
        QJsonDocument::fromJson(inHome({"--list-prefixes", "--json"}).out.toUtf8()).array();
    ASSERT_EQ(json.size(), 3);
    EXPECT_EQ(json[1].toObject()["kind"].toString(), "steam");
    EXPECT_EQ(json[1].toObject()["name"].toString(), "Test Game");
    EXPECT_FALSE(json[1].toObject()["wineRunning"].toBool());

    const Outcome preview = inHome({"--all-prefixes", "--preview", "c"});
    EXPECT_EQ(preview.status, 0) << preview.err.toStdString();
    EXPECT_EQ(preview.out.count("  c  2 cookies"), 3) << preview.out.toStdString();
    EXPECT_EQ(filesBelow(home), before) << "looking changes nothing";
    EXPECT_FALSE(QFileInfo::exists(home + "/.local/share/navolis")) << "nor makes a prefix";

    const QStringList cached = cachedFilesOf(steamGame);
    ASSERT_FALSE(cached.isEmpty());
    const Outcome run = inHome({"--all-prefixes", "c"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    for (const QString &prefix : {dotWine, steamGame, bottle})
        EXPECT_TRUE(cookiesOf(prefix).isEmpty()) << prefix.toStdString();
    for (const char *name : {"wine (", "Test Game (", "Gaming ("})
        EXPECT_TRUE(run.out.contains(QString::fromUtf8(name))) << name;
    EXPECT_EQ(run.out.count(")\n  c  2 cookies, 0 kb: 2 of 2 removed\n"), 3)
        << run.out.toStdString();
    EXPECT_EQ(cachedFilesOf(steamGame), cached);
}

// Wine's server in one prefix: that one is skipped and named, the others are still cleaned, and
// the status says the run was not complete.
TEST_F(AllPrefixesTest, APrefixWineIsUsingIsSkippedAndNamed)
{
    PrefixBuilder busy;
    busy.holdServerLock();
    const QStringList busyCookies = cookiesOf(busy.root());
    ASSERT_FALSE(busyCookies.isEmpty());

    const Outcome run = inHome({"--all-prefixes", "cn"}, busy.root());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(busy.root() + "): skipped: Wine is using this prefix"))
        << run.err.toStdString();
    EXPECT_EQ(cookiesOf(busy.root()), busyCookies);
    for (const QString &prefix : {dotWine, steamGame, bottle})
        EXPECT_TRUE(cookiesOf(prefix).isEmpty()) << prefix.toStdString();
    // One closing message for the whole run, saying that Wine kept a prefix.
    EXPECT_EQ(run.out.count("Wine is using this prefix\n(a wineserver is running)."), 1)
        << run.out.toStdString();
}

// The same with Wine's own server running in the Steam game's prefix, where Wine is installed.
TEST_F(AllPrefixesTest, APrefixWithARealWineServerIsSkipped)
{
    const QString wineserver = QStandardPaths::findExecutable("wineserver");
    if (wineserver.isEmpty())
        GTEST_SKIP() << "Wine is not installed";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("WINEPREFIX", steamGame);
    env.insert("HOME", home);
    QProcess persistent;
    persistent.setProcessEnvironment(env);
    persistent.start(wineserver, {"-p"});
    ASSERT_TRUE(persistent.waitForStarted());
    const auto stop = qScopeGuard([&] {
        QProcess kill;
        kill.setProcessEnvironment(env);
        kill.start(wineserver, {"-k"});
        kill.waitForFinished();
        persistent.waitForFinished();
        // The server runs on by itself for a moment: gone before its prefix folder is, or a
        // folder made next under the same inode number would look served by it.
        QDeadlineTimer gone(10000);
        while (WineServer(steamGame).isRunning() && !gone.hasExpired())
            QThread::msleep(20);
    });
    QDeadlineTimer deadline(10000);
    while (!WineServer(steamGame).isRunning() && !deadline.hasExpired())
        QThread::msleep(20);
    ASSERT_TRUE(WineServer(steamGame).isRunning());

    const Outcome run = inHome({"--all-prefixes", "c"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("Test Game (") && run.err.contains("skipped: Wine is using"))
        << run.err.toStdString();
    EXPECT_EQ(cookiesOf(steamGame).size(), 2);
    EXPECT_TRUE(cookiesOf(dotWine).isEmpty());
    EXPECT_TRUE(cookiesOf(bottle).isEmpty());
}

// "--prefix PATH LETTERS" is the run of one prefix that WINEPREFIX would name.
TEST_F(AllPrefixesTest, PrefixOptionNamesTheOnePrefixToClean)
{
    const Outcome run = inHome({"--prefix", bottle, "c"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(cookiesOf(bottle).isEmpty());
    EXPECT_FALSE(cookiesOf(dotWine).isEmpty());
    EXPECT_FALSE(cookiesOf(steamGame).isEmpty());
    EXPECT_EQ(inHome({"--prefix", bottle, "--all-prefixes", "c"}).status, 2);
    EXPECT_EQ(inHome({"--prefix"}).status, 2);
    EXPECT_EQ(inHome({"--prefix", "--no-overwrite", "c"}).status, 2);
    EXPECT_EQ(inHome({"--all-prefixes", ""}).status, 2);
    EXPECT_FALSE(cookiesOf(dotWine).isEmpty());
}

} // namespace
