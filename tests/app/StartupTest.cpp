#include "FileBytes.h"
#include "PrefixBuilder.h"
#include "ProgramRun.h"
#include "TestEnvironment.h"
#include "app/CompanionFiles.h"
#include "app/Program.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "i18n/u_language.h"
#include "platform/urlcache/IndexEditor.h"
#include "platform/urlcache/IndexFile.h"
#include "platform/urlcache/PrefixUrlCacheEnvironment.h"
#include "platform/urlcache/UrlCache.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class LanguageVersionCheckTest : public ::testing::Test
{
protected:
    QTemporaryDir folder;
    CompanionFiles files{folder.filePath(QStringLiteral("navolis"))};

    void SetUp() override
    {
        files::write(files.definitionTemplate(), "language=ENGLISH\n");
        files::write(files.definitionFile(), "language=DEUTSCH\n");
    }
};

TEST_F(LanguageVersionCheckTest, CompanionNamesFollowTheProgramFile)
{
    EXPECT_EQ(files.languageChoiceFile(), folder.filePath(QStringLiteral("navolis.cho")));
    EXPECT_EQ(files.definitionTemplate(), folder.filePath(QStringLiteral("navolis.t00")));
    EXPECT_EQ(files.presenterPicture(), folder.filePath(QStringLiteral("navolis_pic.jpg")));
    EXPECT_EQ(files.clickSound(), folder.filePath(QStringLiteral("clck.wav")));
    const CompanionFiles windowsStyle(folder.filePath(QStringLiteral("Navolis.exe")));
    EXPECT_EQ(windowsStyle.helpFile(), folder.filePath(QStringLiteral("Navolis.chm")));
    EXPECT_EQ(windowsStyle.presenterPicture(), folder.filePath(QStringLiteral("Navolis_pic.jpg")));
    const CompanionFiles versioned(folder.filePath(QStringLiteral("navolis.v15")));
    EXPECT_EQ(versioned.languageChoiceFile(), folder.filePath(QStringLiteral("navolis.v15.cho")))
        << "only letters make an extension, as the translation library counts them";
}

TEST_F(LanguageVersionCheckTest, MissingChoiceFileResetsTheDefinitionFile)
{
    checkLanguageVersion(files);
    EXPECT_EQ(files::read(files.definitionFile()), "language=ENGLISH\n");
    EXPECT_FALSE(QFile::exists(files.languageChoiceFile()));
}

TEST_F(LanguageVersionCheckTest, CurrentVersionTouchesNothing)
{
    files::write(files.languageChoiceFile(), "1.5a");
    checkLanguageVersion(files);
    EXPECT_EQ(files::read(files.languageChoiceFile()), "1.5a");
    EXPECT_EQ(files::read(files.definitionFile()), "language=DEUTSCH\n");
}

TEST_F(LanguageVersionCheckTest, OtherVersionsAreTreatedAsNoChoice)
{
    for (const QByteArray &stale :
         {QByteArray("1.5"), QByteArray("1.5a "), QByteArray("1.5A"), QByteArray()}) {
        files::write(files.languageChoiceFile(), stale);
        files::write(files.definitionFile(), "language=DEUTSCH\n");
        checkLanguageVersion(files);
        EXPECT_FALSE(QFile::exists(files.languageChoiceFile())) << stale.constData();
        EXPECT_EQ(files::read(files.definitionFile()), "language=ENGLISH\n") << stale.constData();
    }
}

TEST_F(LanguageVersionCheckTest, MissingTemplateLeavesTheDefinitionFile)
{
    QFile::remove(files.definitionTemplate());
    checkLanguageVersion(files);
    EXPECT_EQ(files::read(files.definitionFile()), "language=DEUTSCH\n");
}

TEST(StartupRules, OnlyALowerCaseRFirstRemovesTheAutostartLinks)
{
    QFile choice(CompanionFiles::forRunningProgram().languageChoiceFile());
    ASSERT_TRUE(choice.open(QIODevice::WriteOnly));
    choice.write("1.5a");
    choice.close();
    createWindowSet();

    const QList<QStringList> commandLines = {{"r"}, {"r", "c"}, {"R"}, {"c", "r"}, {}, {"rc"}};
    const QList<int> expected = {1, 1, 0, 0, 0, 0};
    for (int i = 0; i < commandLines.size(); ++i) {
        int removals = 0;
        Form4->Timer1->start();
        prepareRun(commandLines[i], [&] { ++removals; });
        EXPECT_EQ(removals, expected[i]) << commandLines[i].join(' ').toStdString();
    }
    EXPECT_EQ(Form3, nullptr) << "the splash window is destroyed at the end of start-up";
}

// However big the profile, the start-up window is on the screen before any hive is read.
TEST_F(ProgramRun, TheSplashComesBeforeTheRegistryIsRead)
{
    chooseLanguage();
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    const Outcome run =
        start({QStringLiteral("e")},
              {{"QT_LOGGING_RULES", "navolis.ui.debug=true;navolis.registry.debug=true"},
               {"QT_MESSAGE_PATTERN", "%{category}: %{message}"}});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const qsizetype splash = run.err.indexOf("navolis.ui: splash shown");
    const qsizetype hive = run.err.indexOf(QRegularExpression("navolis.registry: read \\d+ bytes"));
    ASSERT_GE(splash, 0) << run.err.toStdString();
    ASSERT_GE(hive, 0) << run.err.toStdString();
    EXPECT_LT(splash, hive);
}

TEST_F(ProgramRun, OneArgumentRunsUnattendedAndEndsByItself)
{
    files::write(folder.filePath(QStringLiteral("navolis.cho")), "1.5a");
    EXPECT_EQ(run({QString()}), 0) << "no letters: no step, and the end";
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    const QDir startUp(sample.profile() +
                       "/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp");
    ASSERT_EQ(startUp.entryList(QDir::Files), QStringList{"Navolis-Auto.lnk"});
    EXPECT_EQ(run({QStringLiteral("cbhmer")}), 0);
    EXPECT_TRUE(startUp.entryList(QDir::Files).isEmpty()) << "\"r\" removed the start-up shortcut";
    EXPECT_EQ(files::read(folder.filePath(QStringLiteral("navolis.cho"))), "1.5a");
}

// "h" empties the main history container and the period containers beside it; the cache and
// the cookies stay as they were, byte for byte.
TEST_F(ProgramRun, HistoryLetterEmptiesEveryHistoryContainerAndNothingElse)
{
    files::write(folder.filePath(QStringLiteral("navolis.cho")), "1.5a");
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    const QString windows = sample.profile() + "/AppData/Local/Microsoft/Windows";
    const QString history = windows + "/History/History.IE5";
    const QString period = history + "/MSHist012024030420240305";
    {
        urlcache::UrlCache cache(urlcache::prefixUrlCacheEnvironment());
        for (int n = 0; n < 40; ++n) {
            urlcache::CommitRequest visit;
            visit.url = "Visited: user@http://site.example/" + QByteArray::number(n);
            visit.withFile = false;
            ASSERT_TRUE(cache.commitEntry(visit));
        }
        ASSERT_TRUE(urlcache::IndexFile::create(period + "/index.dat", {}));
        auto file = urlcache::IndexFile::open(period + "/index.dat");
        urlcache::IndexLock lock(*file, true);
        urlcache::NewUrlRecord daily;
        daily.url = ":2024030420240305: user@http://site.example/7";
        ASSERT_TRUE(urlcache::IndexEditor(*file).addRecord(daily));
    }
    const QByteArray content = files::read(windows + "/INetCache/Content.IE5/index.dat");
    const QByteArray cookies = files::read(windows + "/INetCookies/index.dat");

    EXPECT_EQ(run({QStringLiteral("h")}), 0);

    EXPECT_EQ(files::read(history + "/index.dat").indexOf("site.example"), -1);
    EXPECT_EQ(files::read(period + "/index.dat").indexOf("site.example"), -1);
    EXPECT_EQ(files::read(windows + "/INetCache/Content.IE5/index.dat"), content);
    EXPECT_EQ(files::read(windows + "/INetCookies/index.dat"), cookies);
}

// A period folder that is a link to the cookies once had "h" delete every cookie with the
// visits; so would a real one holding a second name of their index. The preview counts the
// visits only, as before.
TEST_F(ProgramRun, HistoryLetterLeavesContainersPosingAsPeriods)
{
    files::write(folder.filePath(QStringLiteral("navolis.cho")), "1.5a");
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    const QString windows = sample.profile() + "/AppData/Local/Microsoft/Windows";
    const QString history = windows + "/History/History.IE5";
    {
        urlcache::UrlCache cache(urlcache::prefixUrlCacheEnvironment());
        urlcache::CommitRequest visit;
        visit.url = "Visited: user@http://site.example/";
        visit.withFile = false;
        ASSERT_TRUE(cache.commitEntry(visit));
    }
    const QStringList preview{QStringLiteral("--preview"), QStringLiteral("h")};
    const QString counted = start(preview).out;
    ASSERT_TRUE(counted.contains("h  ")) << counted.toStdString();
    ASSERT_TRUE(QFile::link(QStringLiteral("../../INetCookies"),
                            history + QStringLiteral("/MSHist012024010120240108")));
    const QString twin = history + QStringLiteral("/MSHist012024010820240115");
    ASSERT_TRUE(QDir().mkpath(twin));
    ASSERT_EQ(::link(QFile::encodeName(windows + "/INetCookies/index.dat").constData(),
                     QFile::encodeName(twin + "/index.dat").constData()),
              0);
    const auto cookies = filesBelow(windows + "/INetCookies");
    ASSERT_TRUE(cookies.contains(QStringLiteral("index.dat")));

    const Outcome linked = start(preview);
    EXPECT_EQ(linked.status, 0) << linked.err.toStdString();
    EXPECT_EQ(linked.out, counted);
    EXPECT_EQ(run({QStringLiteral("h")}), 0);

    EXPECT_EQ(files::read(history + "/index.dat").indexOf("site.example"), -1);
    EXPECT_EQ(filesBelow(windows + "/INetCookies"), cookies);
}

// A damaged container was left byte for byte while "b" ended with 0, said nothing, and its
// preview counted 0 files: the run and the preview name the file and end with 1.
TEST_F(ProgramRun, DamagedContainerIsNamedAndItsStepIsNotDone)
{
    files::write(folder.filePath(QStringLiteral("navolis.cho")), "1.5a");
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    const QString content =
        sample.profile() + "/AppData/Local/Microsoft/Windows/INetCache/Content.IE5";
    ASSERT_TRUE(QFile::resize(content + "/index.dat", 0x4000));
    const auto before = filesBelow(content);
    ASSERT_GT(before.size(), 1);

    const Outcome preview = start({QStringLiteral("--preview"), QStringLiteral("b")});
    EXPECT_EQ(preview.status, 1);
    EXPECT_TRUE(preview.out.contains("Content.IE5/index.dat is damaged") &&
                preview.out.contains("\"b\" would not be done"))
        << preview.out.toStdString();

    const Outcome run = start({QStringLiteral("b")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("Content.IE5/index.dat is damaged")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("b, the cache of temporary files: not done"))
        << run.err.toStdString();
    EXPECT_EQ(filesBelow(content), before);
}

// "b" empties the content container with its files; cookies and visits stay, byte for byte.
TEST_F(ProgramRun, CacheLetterEmptiesTheContentContainerAndNothingElse)
{
    files::write(folder.filePath(QStringLiteral("navolis.cho")), "1.5a");
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    const QString windows = sample.profile() + "/AppData/Local/Microsoft/Windows";
    {
        urlcache::UrlCache cache(urlcache::prefixUrlCacheEnvironment());
        urlcache::CommitRequest visit;
        visit.url = "Visited: user@http://www.example.com/";
        visit.withFile = false;
        ASSERT_TRUE(cache.commitEntry(visit));
    }
    const QByteArray cookies = files::read(windows + "/INetCookies/index.dat");
    const QByteArray history = files::read(windows + "/History/History.IE5/index.dat");

    EXPECT_EQ(run({QStringLiteral("b")}), 0);

    const QString content = windows + "/INetCache/Content.IE5";
    EXPECT_EQ(files::read(content + "/index.dat").indexOf("example"), -1);
    EXPECT_TRUE(QDir(content + "/KHHU8BSF").entryList(QDir::Files).isEmpty());
    EXPECT_EQ(files::read(windows + "/INetCookies/index.dat"), cookies);
    EXPECT_EQ(files::read(windows + "/History/History.IE5/index.dat"), history);
}

// An argument that begins with "-" is never letters: "--help" once deleted the typed addresses
// ("e") and "--version" removed the start-up shortcut ("r").
TEST_F(ProgramRun, OptionsChangeNothing)
{
    files::write(folder.filePath(QStringLiteral("navolis.cho")), "1.5a");
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    const QByteArray userReg = sample.userReg();
    const QString link = sample.profile() +
                         "/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp/"
                         "Navolis-Auto.lnk";
    const QByteArray linkBytes = files::read(link);
    ASSERT_FALSE(linkBytes.isEmpty());
    // Without a choice file a start resets the definition file: an option must not.
    QFile::remove(folder.filePath(QStringLiteral("navolis.cho")));
    const QString definition = folder.filePath(QStringLiteral("navolis.def"));
    files::write(definition, "language=DEUTSCH\n");

    const QString cookieIndex =
        sample.profile() + "/AppData/Local/Microsoft/Windows/INetCookies/index.dat";
    const QByteArray cookies = files::read(cookieIndex);

    EXPECT_EQ(run({QStringLiteral("--help")}), 0);
    EXPECT_EQ(run({QStringLiteral("--version")}), 0);
    EXPECT_EQ(run({QStringLiteral("--preview"), QStringLiteral("cbhmenr")}), 0);
    EXPECT_EQ(run({QStringLiteral("--preview")}), 2);
    EXPECT_EQ(run({QStringLiteral("--verbose")}), 2);
    EXPECT_EQ(run({QStringLiteral("-e")}), 2);

    EXPECT_EQ(files::read(cookieIndex), cookies);
    EXPECT_EQ(sample.userReg(), userReg);
    EXPECT_EQ(files::read(link), linkBytes);
    EXPECT_EQ(files::read(definition), "language=DEUTSCH\n");
}

TEST_F(ProgramRun, PreviewCountsWhatTheLettersWouldRemove)
{
    const PrefixBuilder sample;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("NAVOLIS_PROGRAM_PATH"));
    env.insert(QStringLiteral("WINEPREFIX"), sample.root());
    process.setProcessEnvironment(env);
    process.start(folder.filePath(QStringLiteral("navolis")),
                  {QStringLiteral("--preview"), QStringLiteral("ce")});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[1], "  c  2 cookies, 0 kb");
    EXPECT_TRUE(lines[2].startsWith("  e  ")) << lines[2].toStdString();
}

// Without a language file the language window could never be confirmed: the program says what
// is missing and ends, also when nobody watches.
TEST_F(ProgramRun, NoLanguageFileEndsWithStatusThree)
{
    QDir(folder.filePath(QStringLiteral("qutrans"))).removeRecursively();
    const PrefixBuilder sample;
    QProcess process;
    startWithoutDisplay(process, sample.root(), QStringLiteral("c"));
    ASSERT_TRUE(process.waitForFinished(30000)) << "nothing may wait for a language";
    EXPECT_EQ(process.exitCode(), 3);
    EXPECT_TRUE(process.readAllStandardError().contains("no language file"));
}

// A damaged user.reg is said at start and leaves the whole prefix as it is.
TEST_F(ProgramRun, DamagedHiveIsReportedAndNothingInThePrefixChanges)
{
    files::write(folder.filePath(QStringLiteral("navolis.cho")), "1.5a");
    PrefixBuilder sample;
    sample.writeUserReg("WINE REGISTRY Version 2\n[Software\\Broken\n\"x\"=dword:zz\n");
    const QString cookies = sample.profile() + "/AppData/Local/Microsoft/Windows/INetCookies";
    const QByteArray index = files::read(cookies + "/index.dat");
    QProcess process;
    startWithoutDisplay(process, sample.root(), QStringLiteral("c"));
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 1);
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(errors.contains("user.reg")) << errors.toStdString();
    EXPECT_TRUE(errors.contains("c, the cookies: not done")) << errors.toStdString();
    EXPECT_EQ(files::read(cookies + "/index.dat"), index);
}

// From cron or ssh: no display at all. The clean-up runs, and the closing message goes to the
// standard output instead of waiting for a click nobody can give.
TEST_F(ProgramRun, UnattendedRunNeedsNoDisplay)
{
    files::write(folder.filePath(QStringLiteral("navolis.cho")), "1.5a");
    const PrefixBuilder sample;
    QProcess process;
    startWithoutDisplay(process, sample.root(), QStringLiteral("cn"));
    ASSERT_TRUE(process.waitForFinished(30000)) << "the closing message must not wait";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardOutput())
                    .startsWith(TShowMessage2Form::displayText(Qutrans::get(167))));
    const QString cookies = sample.profile() + "/AppData/Local/Microsoft/Windows/INetCookies";
    EXPECT_TRUE(QDir(cookies).entryList({"*.txt"}, QDir::Files).isEmpty());
}

// Wine serves the prefix: the cookies stay, the run says so per step on the standard error, ends
// with 1, and its closing message claims nothing.
TEST_F(ProgramRun, RefusedStepsAreReportedAndEndWithStatusOne)
{
    files::write(folder.filePath(QStringLiteral("navolis.cho")), "1.5a");
    PrefixBuilder sample;
    sample.holdServerLock();
    const QString cookies = sample.profile() + "/AppData/Local/Microsoft/Windows/INetCookies";
    const QStringList before = QDir(cookies).entryList({"*.txt"}, QDir::Files);
    QProcess process;
    startWithoutDisplay(process, sample.root(), QStringLiteral("cen"));
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 1);
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(errors.contains("c, the cookies: 2 of 2 stayed: Wine is using this prefix"))
        << errors.toStdString();
    EXPECT_TRUE(errors.contains("e, the typed addresses: 2 of 2 stayed: Wine is using"))
        << errors.toStdString();
    const QString shown = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_FALSE(shown.contains(TShowMessage2Form::displayText(Qutrans::get(167))));
    EXPECT_EQ(QDir(cookies).entryList({"*.txt"}, QDir::Files), before);
    EXPECT_FALSE(before.isEmpty());
}

// The README's recipe: the demo into a prefix that does not exist yet makes it; a folder that is
// no prefix is left alone, and nothing claims the demo was written.
TEST(SeedTool, DemoMakesAMissingPrefixAndLeavesOtherFoldersAlone)
{
    QTemporaryDir home;
    const auto seed = [&](const QString &prefix, QString *errors = nullptr) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("WINEPREFIX"), prefix);
        env.insert(QStringLiteral("HOME"), home.path());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(NAVOLIS_PROGRAM_DIR) + QStringLiteral("/navolis-seed"),
                      {QStringLiteral("demo")});
        process.waitForFinished(60000);
        if (errors)
            *errors = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
    };
    const QString fresh = home.filePath(QStringLiteral("demo"));
    EXPECT_EQ(seed(fresh), 0);
    EXPECT_TRUE(QFile::exists(fresh + "/user.reg"));
    EXPECT_FALSE(QDir(fresh + "/drive_c").entryList().isEmpty());

    const QString other = home.filePath(QStringLiteral("documents"));
    QDir().mkpath(other);
    files::write(other + "/letter.txt", "keep");
    QString errors;
    EXPECT_EQ(seed(other, &errors), 1);
    EXPECT_TRUE(errors.contains("not a Wine prefix")) << errors.toStdString();
    EXPECT_EQ(QDir(other).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"letter.txt"});
}

} // namespace
