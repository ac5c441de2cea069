// The clean-ups without any window: what a preview counts is what the clean removes, on Wine's
// own sample prefix and on one seeded with more.

#include "cleanup/Cleaners.h"
#include "FileBytes.h"
#include "PrefixBuilder.h"
#include "automation/AutostartLinks.h"
#include "cleanup/PrefixRuns.h"
#include "common/Erase.h"
#include "platform/prefix/DosPaths.h"
#include "platform/prefix/WineServer.h"
#include "platform/registry/KeyPaths.h"
#include "platform/urlcache/PrefixUrlCacheEnvironment.h"
#include "platform/urlcache/UrlCache.h"
#include "platform/urlcache/WinInetCache.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace cleanup;

// Adds visits, cookies, typed addresses and run-dialog commands to what the sample holds.
void seed(PrefixBuilder &prefix)
{
    {
        urlcache::UrlCache cache(urlcache::prefixUrlCacheEnvironment());
        for (int n = 0; n < 40; ++n) {
            urlcache::CommitRequest visit;
            visit.url = "Visited: user@http://seeded.example/" + QByteArray::number(n);
            visit.withFile = false;
            ASSERT_TRUE(cache.commitEntry(visit));
            urlcache::CommitRequest page;
            page.url = "http://seeded.example/page" + QByteArray::number(n) + ".html";
            page.fileContent = "<html>" + QByteArray::number(n) + "</html>";
            page.extension = "html";
            ASSERT_TRUE(cache.commitEntry(page));
        }
    }
    for (int n = 0; n < 12; ++n) {
        prefix.value(KeyPaths::TypedUrls.mid(1), QStringLiteral("url%1").arg(n + 30),
                     QStringLiteral("http://typed.example/%1").arg(n));
        prefix.value(KeyPaths::RunMru.mid(1), QString(QChar(u'p' + n % 8)),
                     QStringLiteral("cmd%1\\1").arg(n));
    }
}

class CleanersTest : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(qobject_cast<QCoreApplication *>(QCoreApplication::instance())->metaObject(),
                  &QCoreApplication::staticMetaObject)
            << "no window and no GUI application";
    }
    void TearDown() override { wininet::setUrlCacheEnvironment(nullptr); }
};

TEST_P(CleanersTest, PreviewCountsExactlyWhatTheCleanRemoves)
{
    PrefixBuilder prefix;
    wininet::setUrlCacheEnvironment(nullptr);
    if (GetParam() == 1)
        seed(prefix);
    const Context context{QStringLiteral("/opt/navolis/bin/navolis"), {}};
    int cleaned = 0;
    for (const Cleaner &cleaner : cleaners()) {
        if (!cleaner.removesTraces())
            continue;
        const QString letter(cleaner.letter);
        const Outcome preview = cleaner.run(Mode::Preview, context);
        const Outcome clean = cleaner.run(Mode::Clean, context);
        EXPECT_EQ(clean.found, preview.found) << letter.toStdString();
        EXPECT_EQ(clean.removed, preview.found) << letter.toStdString();
        EXPECT_TRUE(clean.done()) << letter.toStdString() << ": " << report(clean).toStdString();
        EXPECT_EQ(cleaner.run(Mode::Preview, context).found, 0) << letter.toStdString();
        cleaned += clean.removed;
    }
    EXPECT_GT(cleaned, GetParam() == 1 ? 100 : 5);
}

// Wine's sample prefix as it is, and with more traces seeded.
INSTANTIATE_TEST_SUITE_P(Prefixes, CleanersTest, ::testing::Values(0, 1));

// A clean-up works on the prefix handed to it, whichever the environment names.
TEST(Cleaners, WorkOnThePrefixHandedToThemAlone)
{
    PrefixBuilder handed;
    PrefixBuilder named; // WINEPREFIX names this one now
    wininet::setUrlCacheEnvironment(nullptr);
    const auto filesOf = [](const PrefixBuilder &prefix) {
        QStringList files;
        QDirIterator it(prefix.root(), QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next().mid(prefix.root().size());
        files.sort();
        return files;
    };
    const QStringList namedFiles = filesOf(named);
    const QByteArray namedHive = named.userReg();
    const QStringList handedFiles = filesOf(handed);

    Context context{QStringLiteral("/opt/navolis/bin/navolis"), {}};
    context.prefix = PrefixContext(Prefix(handed.root()));
    int removed = 0;
    for (const Cleaner &cleaner : cleaners()) {
        if (!cleaner.removesTraces())
            continue;
        const Outcome clean = cleaner.run(Mode::Clean, context);
        EXPECT_TRUE(clean.done()) << report(clean).toStdString();
        removed += clean.removed;
        EXPECT_EQ(cleaner.run(Mode::Preview, context).found, 0);
    }
    EXPECT_GT(removed, 5);
    EXPECT_NE(filesOf(handed), handedFiles);
    EXPECT_EQ(filesOf(named), namedFiles);
    EXPECT_EQ(named.userReg(), namedHive);
    EXPECT_GT(cleanerFor(QLatin1Char('c'))->run(Mode::Preview, {}).found, 0);
    wininet::setUrlCacheEnvironment(nullptr);
}

// A cookie file with another name elsewhere: the cookie goes, the other name keeps its content,
// and the outcome says so.
TEST(Cleaners, ACookieFileWithAnotherLinkKeepsItsContentThere)
{
    PrefixBuilder prefix;
    wininet::setUrlCacheEnvironment(nullptr);
    const QString cookies = prefix.profile() + "/AppData/Local/Microsoft/Windows/INetCookies/";
    const QString cookie = cookies + QDir(cookies).entryList({"*.txt"}, QDir::Files).first();
    const QString other = prefix.path("kept-cookie.txt");
    QFile original(cookie);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray content = original.readAll();
    ASSERT_EQ(::link(QFile::encodeName(cookie).constData(), QFile::encodeName(other).constData()),
              0);

    const Outcome clean = cleanerFor(QLatin1Char('c'))->run(Mode::Clean, {});
    EXPECT_TRUE(clean.done());
    EXPECT_EQ(clean.contentKept, 1);
    EXPECT_EQ(report(clean), QStringLiteral("%1 of %1 removed (1 removed, content kept by another "
                                            "link)")
                                 .arg(clean.found));
    EXPECT_FALSE(QFile::exists(cookie));
    QFile kept(other);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), content);
    wininet::setUrlCacheEnvironment(nullptr);
}

// On a copy-on-write file system the preview says that removed data may stay readable.
TEST(Cleaners, PreviewOnACopyOnWriteFileSystemSaysRemovedDataMayStay)
{
    PrefixBuilder prefix;
    wininet::setUrlCacheEnvironment(nullptr);
    const prefixes::FoundPrefix found{prefixes::Kind::Named, "sample", prefix.root()};
    const auto note = QStringLiteral(
        "  note: on this file system, removed data may stay readable until the space is reused");
    EXPECT_FALSE(
        reportLines(runOnPrefix(found, "c", Mode::Preview, {}), Mode::Preview).contains(note));
    common::setFileSystemProbe([](int) { return long(0x9123683E); }); // btrfs
    const QStringList lines =
        reportLines(runOnPrefix(found, "c", Mode::Preview, {}), Mode::Preview);
    common::setFileSystemProbe({});
    EXPECT_EQ(lines.value(1), note);
    EXPECT_TRUE(lines.value(2).startsWith("  c  2 cookies"));
    wininet::setUrlCacheEnvironment(nullptr);
}

// Under Wine nothing goes, and the outcome says what stayed and why.
TEST(Cleaners, UnderWineWhatStayedIsSaid)
{
    PrefixBuilder prefix;
    wininet::setUrlCacheEnvironment(nullptr);
    prefix.holdServerLock();
    const Outcome cookies = cleanerFor(QLatin1Char('c'))->run(Mode::Clean, {});
    EXPECT_FALSE(cookies.done());
    EXPECT_GT(cookies.found, 0);
    EXPECT_EQ(cookies.stayed, cookies.found);
    EXPECT_EQ(report(cookies),
              QStringLiteral("%1 of %1 stayed: Wine is using this prefix").arg(cookies.found));
    wininet::setUrlCacheEnvironment(nullptr);
}

// The start-up shortcut lies in the prefix and stays; the desktop entry lies outside it and goes.
TEST(Cleaners, InAPrefixThatMayNotChangeTheDesktopEntryStillGoes)
{
    QTemporaryDir config;
    const QByteArray configBefore = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    PrefixBuilder prefix;
    const QString shortcut = AutostartLinks::startupFolder() + FixedLinkName;
    ASSERT_GT(shortcut.size(), FixedLinkName.size());
    const QString shortcutFile = DosPaths::toHostPath(Prefix::target(), shortcut);
    const QString entry = AutostartLinks::desktopEntryPath();
    for (const QString &file : {shortcutFile, entry})
        files::write(file, "start-up");
    refuseWritesTo(Prefix::target().root());

    const Outcome removed = cleanerFor(QLatin1Char('r'))->run(Mode::Clean, {});
    qputenv("XDG_CONFIG_HOME", configBefore);

    EXPECT_TRUE(QFileInfo::exists(shortcutFile));
    EXPECT_FALSE(QFileInfo::exists(entry));
    EXPECT_EQ(report(removed),
              "1 of 2 stayed: " + shortcut + " stays: nothing may be changed in this prefix");
}

TEST(Cleaners, LettersAreTheTablesInTheRunsOrder)
{
    EXPECT_EQ(letters(), QStringLiteral("cbhmenr"));
    EXPECT_TRUE(isLetters(u"rnc"));
    EXPECT_FALSE(isLetters(u"help"));
}

} // namespace
