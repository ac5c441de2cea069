#include "Controls.h"
#include "FileBytes.h"
#include "ModalAnswerer.h"
#include "PrefixBuilder.h"
#include "TestEnvironment.h"
#include "app/Automations.h"
#include "app/CommandLine.h"
#include "app/WindowSetFixture.h"
#include "automation/AutostartLinks.h"
#include "automation/ShellLnk.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/prefix/DosPaths.h"
#include "platform/prefix/ReadOnlyNotice.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <QScopeGuard>
#include <memory>

namespace {

const QString StartUpFolder = QStringLiteral(
    "drive_c/users/user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp");
const QString ShellFoldersKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");

QList<QCheckBox *> boxes()
{
    return {control<QCheckBox>(Form1, "CheckBox4"), control<QCheckBox>(Form1, "CheckBox5"),
            control<QCheckBox>(Form1, "CheckBox6"), control<QCheckBox>(Form1, "CheckBox7"),
            control<QCheckBox>(Form1, "CheckBox8"), control<QCheckBox>(Form1, "CheckBox9")};
}

// "cbhmen" with the ticked boxes' letters in upper case.
QString ticks()
{
    QString shown = QStringLiteral("cbhmen");
    for (int i = 0; i < shown.size(); ++i)
        if (boxes()[i]->isChecked())
            shown[i] = shown[i].toUpper();
    return shown;
}

class AutostartLinkTest : public WindowSetTest
{
protected:
    std::unique_ptr<PrefixBuilder> prefix;

    void SetUp() override
    {
        ASSERT_FALSE(Qutrans::get(169).isEmpty());
        for (QCheckBox *box : boxes() + QList{control<QCheckBox>(Form1, "CheckBox10")}) {
            const QSignalBlocker quiet(box);
            box->setChecked(false);
        }
        Form1->ShellLink1->Reset(QString(), QString());
    }

    void TearDown() override
    {
        ReadOnlyNotice::setHandler({});
        prefix.reset();
    }

    PrefixBuilder &usePrefix(PrefixBuilder::Start start = PrefixBuilder::Start::Sample)
    {
        prefix.reset(); // restores WINEPREFIX before the next one sets it
        prefix = std::make_unique<PrefixBuilder>(start);
        return *prefix;
    }

    QString fixedLink() const { return prefix->path(StartUpFolder + "/Navolis-Auto.lnk"); }
    QString namedLink() const
    {
        return prefix->path(StartUpFolder + '/' + Qutrans::get(169) + ".lnk");
    }
    QStringList linkFiles() const
    {
        return QDir(prefix->path(StartUpFolder)).entryList(QDir::Files);
    }

    static QString argumentsOf(const QString &file)
    {
        TShellLink link;
        return link.LoadFromFile(file) ? link.arguments() : QStringLiteral("<no link>");
    }

    void writeLink(const QString &file, const QString &arguments)
    {
        TShellLink link;
        link.Reset("C:\\Program Files\\Navolis\\navolis.exe", arguments);
        link.setHotKey(0x0641);
        ASSERT_TRUE(link.SaveToFile(file));
    }
};

TEST_F(AutostartLinkTest, ClosingMessageAloneIsNoAutomationAndRemovesTheLink)
{
    usePrefix();
    writeLink(namedLink(), "cn");
    ASSERT_EQ(linkFiles().size(), 2);

    control<QCheckBox>(Form1, "CheckBox9")->click();

    EXPECT_EQ(ticks(), "cbhmeN");
    EXPECT_TRUE(linkFiles().isEmpty()) << linkFiles().join(", ").toStdString();
}

TEST_F(AutostartLinkTest, LettersFollowThePanelNotTheClicks)
{
    usePrefix();
    control<QCheckBox>(Form1, "CheckBox6")->click();
    EXPECT_EQ(argumentsOf(namedLink()), "h");
    control<QCheckBox>(Form1, "CheckBox4")->click();
    control<QCheckBox>(Form1, "CheckBox9")->click();

    EXPECT_EQ(linkFiles(), QStringList{Qutrans::get(169) + ".lnk"}) << "the fixed name is gone";
    TShellLink written;
    ASSERT_TRUE(written.LoadFromFile(namedLink()));
    EXPECT_EQ(written.arguments(), "chn");
    const QString program =
        DosPaths::toWindowsPath(Prefix::target(), CompanionFiles::runningProgramPath());
    EXPECT_EQ(written.path(), program);
    EXPECT_EQ(written.iconLocation(), program);
    EXPECT_EQ(written.showCmd(), 1);

    control<QCheckBox>(Form1, "CheckBox4")->click();
    control<QCheckBox>(Form1, "CheckBox6")->click();
    EXPECT_TRUE(linkFiles().isEmpty());
}

// Showing the stored choice changes no entry; the first tick moves it to the translated name and
// keeps what the stored shortcut held.
TEST_F(AutostartLinkTest, StoredChoiceTicksTheBoxesAndMovesToTheTranslatedNameAtTheFirstTick)
{
    struct Case
    {
        QString arguments, ticked, rewritten;
    };
    // Other characters and upper case letters carry nothing.
    for (const Case &c : {Case{"cbh", "CBHmen", "cbh"}, Case{"mCb", "cBhMen", "bm"},
                          Case{"n-e-c", "CbhmEN", "cen"}}) {
        SetUp();
        usePrefix();
        if (c.arguments != "cbh")
            writeLink(fixedLink(), c.arguments);
        ASSERT_EQ(argumentsOf(fixedLink()), c.arguments);
        TShellLink before;
        ASSERT_TRUE(before.LoadFromFile(fixedLink()));
        const QByteArray stored = files::read(fixedLink());

        LoadAutomationChoices();

        EXPECT_EQ(ticks(), c.ticked) << c.arguments.toStdString();
        EXPECT_EQ(linkFiles(), QStringList{"Navolis-Auto.lnk"});
        EXPECT_EQ(files::read(fixedLink()), stored);
        EXPECT_FALSE(QFileInfo::exists(AutostartLinks::desktopEntryPath()));

        control<QCheckBox>(Form1, "CheckBox9")->click();
        control<QCheckBox>(Form1, "CheckBox9")->click();
        EXPECT_EQ(linkFiles(), QStringList{Qutrans::get(169) + ".lnk"});
        TShellLink after;
        ASSERT_TRUE(after.LoadFromFile(namedLink()));
        EXPECT_EQ(after.arguments(), c.rewritten);
        EXPECT_EQ(after.description(), before.description()) << "kept from the stored link";
        EXPECT_EQ(after.workingDirectory(), before.workingDirectory());
        EXPECT_EQ(after.hotKey(), before.hotKey());
    }
}

TEST_F(AutostartLinkTest, LinkUnderTheTranslatedNameAloneIsRead)
{
    usePrefix();
    QFile::remove(fixedLink());
    writeLink(namedLink(), "em");

    LoadAutomationChoices();

    EXPECT_EQ(ticks(), "cbhMEn");
    EXPECT_EQ(argumentsOf(namedLink()), "em");
    EXPECT_EQ(Form1->ShellLink1->hotKey(), 0x0641);
}

TEST_F(AutostartLinkTest, NoStartUpFolderMeansNothingReadOrWritten)
{
    // A drive root is not taken for a start-up folder, even with a link in it.
    PrefixBuilder &root = usePrefix();
    root.value(ShellFoldersKey, "StartUp", "C:\\");
    writeLink(root.path("drive_c/Navolis-Auto.lnk"), "cb");
    LoadAutomationChoices();
    control<QCheckBox>(Form1, "CheckBox8")->click();
    control<QCheckBox>(Form1, "CheckBox8")->click();
    EXPECT_EQ(ticks(), "cbhmen");
    EXPECT_EQ(argumentsOf(root.path("drive_c/Navolis-Auto.lnk")), "cb");
    EXPECT_EQ(QDir(root.path("drive_c")).entryList(QDir::Files), QStringList{"Navolis-Auto.lnk"});

    // Without the value, the folder the other key names is not used either.
    PrefixBuilder &missing = usePrefix();
    QByteArray text = missing.userReg();
    static const QRegularExpression shellFolderValue(
        "(\\[Software\\\\\\\\Microsoft\\\\\\\\Windows\\\\\\\\CurrentVersion\\\\\\\\Explorer\\\\"
        "\\\\Shell Folders\\][^\\[]*)\"StartUp\"=[^\\n]*\\n");
    QString edited = QString::fromUtf8(text).replace(shellFolderValue, "\\1");
    ASSERT_NE(edited.toUtf8(), text);
    missing.writeUserReg(edited.toUtf8());
    const QByteArray sampleLink = files::read(fixedLink());
    LoadAutomationChoices();
    control<QCheckBox>(Form1, "CheckBox5")->click();
    control<QCheckBox>(Form1, "CheckBox9")->click();
    control<QCheckBox>(Form1, "CheckBox5")->click();
    EXPECT_EQ(ticks(), "cbhmeN");
    EXPECT_EQ(linkFiles(), QStringList{"Navolis-Auto.lnk"});
    EXPECT_EQ(files::read(fixedLink()), sampleLink);
}

// The login clean-up once stopped silently: loading the choice under Wine removed the desktop
// entry before the refused rewrite of the shortcut. Now every entry stays, the boxes show what
// is stored, and a refused click says so.
TEST_F(AutostartLinkTest, UnderARunningWineserverNothingIsWrittenOrRemoved)
{
    usePrefix();
    control<QCheckBox>(Form1, "CheckBox5")->click();
    control<QCheckBox>(Form1, "CheckBox9")->click();
    const QString entry = AutostartLinks::desktopEntryPath();
    const QByteArray entryBytes = files::read(entry);
    ASSERT_FALSE(entryBytes.isEmpty());
    const QStringList links = linkFiles();
    const QByteArray link = files::read(namedLink());
    SetUp();

    prefix->holdServerLock();
    int notices = 0;
    ReadOnlyNotice::setHandler([&](const QString &) { ++notices; });
    const auto resetHandler = qScopeGuard([] { ReadOnlyNotice::setHandler({}); });
    ModalAnswerer answerer;

    LoadAutomationChoices();
    EXPECT_EQ(ticks(), "cBhmeN");
    control<QCheckBox>(Form1, "CheckBox4")->click();
    EXPECT_EQ(ticks(), "cBhmeN") << "the refused tick is undone";
    control<QCheckBox>(Form1, "CheckBox5")->click();
    EXPECT_EQ(ticks(), "cBhmeN");
    EXPECT_FALSE(RemoveAutostartLinks());

    EXPECT_EQ(linkFiles(), links);
    EXPECT_EQ(files::read(namedLink()), link);
    EXPECT_EQ(files::read(entry), entryBytes) << "the login clean-up stays";
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(answerer.answered(), QStringList{TShowMessage2Form::displayText(Qutrans::get(210))})
        << "after the notice, a further refusal is said in the window";
}

// A translation must not lead the shortcut out of the start-up folder.
TEST_F(AutostartLinkTest, NameThatLeavesTheFolderIsNeverUsed)
{
    usePrefix();
    const QString programs = prefix->path(StartUpFolder + "/..");
    writeLink(programs + "/Navolis.lnk", "x");
    // A language of its own beside the test program, found by a fresh start of the library.
    const QString languages =
        QFileInfo(CompanionFiles::runningProgramPath()).absolutePath() + "/qutrans";
    QDir().mkpath(languages);
    QFile language(languages + "/ESCAPE.lng");
    ASSERT_TRUE(language.open(QIODevice::WriteOnly));
    language.write("0=ESCAPE\n169=..\\\\Navolis\n");
    language.close();
    const QString previous = Qutrans::GetLanguage();
    Qutrans::start();
    Qutrans::SetLanguage("ESCAPE");
    const QString escaping = Qutrans::get(169);

    LoadAutomationChoices();
    control<QCheckBox>(Form1, "CheckBox8")->click();
    const QStringList afterClicks = linkFiles();
    const QString storedLetters = argumentsOf(fixedLink());
    RemoveAutostartLinks();
    QDir(languages).removeRecursively();
    Qutrans::start();
    Qutrans::SetLanguage(previous);

    ASSERT_EQ(escaping, "..\\Navolis");
    EXPECT_EQ(ticks(), "CBHmEn");
    EXPECT_EQ(afterClicks, QStringList{"Navolis-Auto.lnk"}) << "kept, as nothing can replace it";
    EXPECT_EQ(storedLetters, "cbh");
    EXPECT_TRUE(linkFiles().isEmpty());
    EXPECT_EQ(argumentsOf(programs + "/Navolis.lnk"), "x");
}

// Last: the unattended run closes the main window for the rest of the process.
TEST_F(AutostartLinkTest, UnattendedRunWithRRemovesTheLinkAfterTheCleanUp)
{
    usePrefix();
    writeLink(namedLink(), "cr");
    const QString cookies = prefix->profile() + "/AppData/Local/Microsoft/Windows/INetCookies";
    ASSERT_FALSE(QDir(cookies).entryList({"*.txt"}, QDir::Files).isEmpty());
    ModalAnswerer answerer;
    CommandLine::setArguments({"cr"});

    RunAutomaticCleanup();
    CommandLine::setArguments({});

    EXPECT_TRUE(linkFiles().isEmpty()) << linkFiles().join(", ").toStdString();
    EXPECT_TRUE(QDir(cookies).entryList({"*.txt"}, QDir::Files).isEmpty());
    EXPECT_TRUE(answerer.answered().isEmpty());
    EXPECT_TRUE(Form1->closeRequested());
}

} // namespace

// Wine runs the start-up folder only when it simulates a start of Windows: the desktop entry
// beside the shortcut runs the same clean-up at login, and goes with it.
TEST_F(AutostartLinkTest, DesktopAutostartEntryComesAndGoesWithTheShortcut)
{
    usePrefix();
    const QString entry = AutostartLinks::desktopEntryPath();
    EXPECT_TRUE(entry.startsWith(testenv::home() + "/.config/autostart/navolis-"));
    control<QCheckBox>(Form1, "CheckBox4")->click();
    control<QCheckBox>(Form1, "CheckBox8")->click();
    const QString text = QString::fromUtf8(files::read(entry));
    EXPECT_TRUE(text.contains("\nExec=env WINEPREFIX=" + prefix->root() + ' ' +
                              CompanionFiles::runningProgramPath() + " ce\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("\nName=" + Qutrans::get(169) + '\n'));

    control<QCheckBox>(Form1, "CheckBox4")->click();
    control<QCheckBox>(Form1, "CheckBox8")->click();
    EXPECT_FALSE(QFileInfo::exists(entry));
}

// The choice to clean every prefix at login is one entry of its own, which takes the place of
// the shown prefix's shortcut and entry, and which the panel shows again.
TEST_F(AutostartLinkTest, EveryPrefixAtLoginIsOneEntryInsteadOfThePrefixsOwn)
{
    usePrefix();
    control<QCheckBox>(Form1, "CheckBox4")->click();
    control<QCheckBox>(Form1, "CheckBox5")->click();
    ASSERT_TRUE(QFileInfo::exists(AutostartLinks::desktopEntryPath()));

    // Another prefix's entry would clean that prefix a second time at login.
    const QString otherPrefixEntry =
        testenv::home() + "/.config/autostart/navolis-0123456789ab.desktop";
    {
        QFile other(otherPrefixEntry);
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    }
    control<QCheckBox>(Form1, "CheckBox10")->click();
    EXPECT_FALSE(QFileInfo::exists(otherPrefixEntry));
    const QString all = AutostartLinks::allPrefixesEntryPath();
    const QString text = QString::fromUtf8(files::read(all));
    EXPECT_TRUE(
        text.contains("\nExec=" + CompanionFiles::runningProgramPath() + " --all-prefixes cb\n"))
        << text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(AutostartLinks::desktopEntryPath()));
    EXPECT_TRUE(linkFiles().filter(".lnk").isEmpty());

    SetUp(); // every box unticked, nothing stored
    LoadAutomationChoices();
    EXPECT_EQ(ticks(), "CBhmen");
    EXPECT_TRUE(control<QCheckBox>(Form1, "CheckBox10")->isChecked());

    // Back to the shown prefix alone.
    control<QCheckBox>(Form1, "CheckBox10")->click();
    EXPECT_FALSE(QFileInfo::exists(all));
    EXPECT_TRUE(QFileInfo::exists(AutostartLinks::desktopEntryPath()));
    EXPECT_EQ(argumentsOf(namedLink()), "cb");
}

// A language chosen earlier named the shortcut: it is still read, and replaced, not doubled.
TEST_F(AutostartLinkTest, ShortcutNamedInAnotherLanguageIsReadAndReplaced)
{
    usePrefix();
    const QString earlier = prefix->path(StartUpFolder + "/Automatische Reinigung.lnk");
    TShellLink link;
    link.Reset(DosPaths::toWindowsPath(Prefix::target(), CompanionFiles::runningProgramPath()),
               "hm");
    ASSERT_TRUE(link.SaveToFile(earlier));
    QFile::remove(fixedLink());
    writeLink(prefix->path(StartUpFolder + "/Other program.lnk"), "hm");

    LoadAutomationChoices();
    EXPECT_EQ(ticks(), "cbHMen");
    EXPECT_EQ(linkFiles(), (QStringList{"Automatische Reinigung.lnk", "Other program.lnk"}));
    control<QCheckBox>(Form1, "CheckBox4")->click();
    EXPECT_EQ(linkFiles(), (QStringList{Qutrans::get(169) + ".lnk", "Other program.lnk"}))
        << "a shortcut to another program stays";
    EXPECT_EQ(argumentsOf(namedLink()), "chm");
}
