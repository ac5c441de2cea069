#include "FileBytes.h"
#include "ImmutableFile.h"
#include "PrefixBuilder.h"
#include "ProgramRun.h"
#include "platform/registry/KeyPaths.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Qt's own options and words that merely contain some of the letters ("help": h and e) once ran
// the clean-up. None of them changes a byte of the prefix or of the language files.
TEST_F(ProgramRun, WordsThatAreNotLettersChangeNothing)
{
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    const auto before = filesBelow(sample.root());
    const auto companions = filesBelow(folder.path());

    for (const char *word : {"help", "preview", "version", "Cbh", "c b"}) {
        const Outcome outcome = start({QString::fromLatin1(word)});
        EXPECT_EQ(outcome.status, 2) << word;
        EXPECT_TRUE(outcome.err.contains("usage:")) << word;
    }
    // Qt takes these for itself; what is left is no argument at all, which asks for the window.
    for (const char *option : {"-widgetcount", "-reverse"})
        EXPECT_EQ(run({QString::fromLatin1(option)}), 4) << option;

    EXPECT_EQ(filesBelow(sample.root()), before);
    EXPECT_EQ(filesBelow(folder.path()), companions);
}

// "-reverse" is Qt's: the program's one argument is "c", and nothing of "e" (the typed
// addresses) or "r" (the start-up shortcut) happens.
TEST_F(ProgramRun, QtOptionsBesideLettersAreNotLetters)
{
    chooseLanguage();
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    const QByteArray userReg = sample.userReg();
    const QString startUp =
        sample.profile() + "/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp";
    const auto links = filesBelow(startUp);
    const QString cookies = sample.profile() + "/AppData/Local/Microsoft/Windows/INetCookies";
    ASSERT_FALSE(QDir(cookies).entryList({"*.txt"}, QDir::Files).isEmpty());

    EXPECT_EQ(run({QStringLiteral("c"), QStringLiteral("-reverse")}), 0);

    EXPECT_TRUE(QDir(cookies).entryList({"*.txt"}, QDir::Files).isEmpty());
    EXPECT_EQ(sample.userReg(), userReg);
    EXPECT_EQ(filesBelow(startUp), links);
}

// Nobody can answer a window that no screen shows: the unattended run writes its message out
// and never waits for a language, the interactive run says there is no screen and ends with 4
// (on the offscreen platform, and with a display that is gone), and nothing aborts.
TEST_F(ProgramRun, WithoutAScreenNothingWaitsAndNothingAborts)
{
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    const auto before = filesBelow(sample.root());

    QElapsedTimer clock;
    clock.start();
    const Outcome unattended = start({QStringLiteral("n")}, {}, 20000);
    EXPECT_EQ(unattended.status, 0) << "no language was chosen: the definition's is used";
    EXPECT_FALSE(unattended.out.isEmpty()) << "the closing message goes to the standard output";
    EXPECT_LT(clock.elapsed(), 15000);

    for (const QStringList &arguments : {QStringList{}, QStringList{"r", "c"}}) {
        const Outcome window = start(arguments, {}, 20000);
        EXPECT_EQ(window.status, 4) << arguments.join(' ').toStdString();
        EXPECT_TRUE(window.err.contains("no screen")) << window.err.toStdString();
    }
    const Outcome staleDisplay =
        start({}, {{"QT_QPA_PLATFORM", ""}, {"WAYLAND_DISPLAY", ""}, {"DISPLAY", ":97"}}, 20000);
    EXPECT_EQ(staleDisplay.status, 4) << staleDisplay.err.toStdString();

    EXPECT_EQ(filesBelow(sample.root()), before) << "\"r\" first removes nothing without a window";
}

// A prefix that WINEPREFIX names but that does not exist: every step asked for is not done, the
// preview says so too, and the folder is not made.
TEST_F(ProgramRun, MissingPrefixFailsEveryStepAskedFor)
{
    chooseLanguage();
    const Outcome run = start({QStringLiteral("ce")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("c, the cookies: not done")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("e, the typed addresses: not done")) << run.err.toStdString();

    const Outcome preview = start({QStringLiteral("--preview"), QStringLiteral("ce")});
    EXPECT_EQ(preview.status, 1);
    EXPECT_TRUE(preview.err.contains("does not exist")) << preview.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(prefixRoot));
}

// Looking creates no key and writes no file, and tells what the run would meet: Wine serving
// the prefix, or a damaged registry file, refuses the run, and the preview ends with 1 like it.
TEST_F(ProgramRun, PreviewWritesNothingAndTellsOfARefusal)
{
    PrefixBuilder sample;
    prefixRoot = sample.root();
    QByteArray userReg = sample.userReg();
    for (const QString &key : {KeyPaths::RunMru, KeyPaths::TypedUrls}) {
        const QByteArray section = '[' + key.mid(1).toUtf8().replace("\\", "\\\\") + ']';
        const qsizetype at = userReg.indexOf(section);
        if (at >= 0)
            userReg.remove(at, userReg.indexOf("\n\n", at) + 1 - at);
    }
    sample.writeUserReg(userReg);
    ASSERT_TRUE(sample.valueNames(KeyPaths::TypedUrls.mid(1)).isEmpty());
    const auto before = filesBelow(sample.root());

    const Outcome preview = start({QStringLiteral("--preview"), QStringLiteral("mer")});
    EXPECT_EQ(preview.status, 0) << preview.err.toStdString();
    EXPECT_TRUE(preview.out.contains("0 typed addresses")) << preview.out.toStdString();
    EXPECT_EQ(filesBelow(sample.root()), before);

    sample.holdServerLock();
    const Outcome underWine = start({QStringLiteral("--preview"), QStringLiteral("ce")});
    EXPECT_EQ(underWine.status, 1);
    EXPECT_TRUE(underWine.out.contains("would be refused")) << underWine.out.toStdString();
    sample.releaseServerLock();

    sample.writeUserReg("WINE REGISTRY Version 2\n[Software\\Broken\n\"x\"=dword:zz\n");
    const Outcome damaged = start({QStringLiteral("--preview"), QStringLiteral("e")});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_TRUE(damaged.out.contains("user.reg")) << damaged.out.toStdString();
}

// The typed addresses were reported deleted while only memory had lost them: the save decides,
// the step says it was not done, and the closing message claims nothing.
TEST_F(ProgramRun, StepWhoseSaveFailsIsNotDone)
{
    chooseLanguage();
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    const QByteArray before = sample.userReg();
    const ImmutableFile fixed(sample.userRegPath());
    if (!fixed.held())
        GTEST_SKIP() << "needs root and a file system that keeps files immutable";

    const Outcome run = start({QStringLiteral("en")});

    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("e, the typed addresses: 2 of 2 stayed: the registry file"))
        << run.err.toStdString();
    EXPECT_FALSE(run.out.contains("finished")) << run.out.toStdString();
    EXPECT_EQ(sample.userReg(), before);
}

// A registry file that is a link is not the prefix's own: the start says why nothing is saved.
TEST_F(ProgramRun, LinkedRegistryFileIsNamedAsTheReason)
{
    chooseLanguage();
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    const QString elsewhere = folder.filePath(QStringLiteral("shared.reg"));
    ASSERT_TRUE(QFile::rename(sample.userRegPath(), elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, sample.userRegPath()));
    const QByteArray before = files::read(elsewhere);

    const Outcome run = start({QStringLiteral("e")});

    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("user.reg") && run.err.contains("link", Qt::CaseInsensitive))
        << run.err.toStdString();
    EXPECT_EQ(files::read(elsewhere), before);
}

// Root cleaning another user's prefix once left user.reg to root with mode 0600: its user could
// no longer read their own registry. The replaced file keeps its owner, group and mode.
TEST_F(ProgramRun, RootLeavesTheRegistryFileToItsOwner)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root";
    chooseLanguage();
    const PrefixBuilder sample;
    prefixRoot = sample.root();
    const QByteArray userReg = QFile::encodeName(sample.userRegPath());
    ASSERT_EQ(::chmod(userReg.constData(), 0640), 0);
    QDirIterator it(sample.root(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    ASSERT_EQ(::lchown(QFile::encodeName(sample.root()).constData(), 65534, 65534), 0);
    while (it.hasNext())
        ASSERT_EQ(::lchown(QFile::encodeName(it.next()).constData(), 65534, 65534), 0);
    const QByteArray before = sample.userReg();

    const Outcome run = start({QStringLiteral("e")});

    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_NE(sample.userReg(), before) << "the typed addresses are gone";
    struct stat st;
    ASSERT_EQ(::stat(userReg.constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

} // namespace
