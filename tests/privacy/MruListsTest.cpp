#include "Controls.h"
#include "app/WindowSetFixture.h"

#include "Controls.h"
#include "ImmutableFile.h"
#include "ModalAnswerer.h"
#include "PrefixBuilder.h"
#include "app/Automations.h"
#include "controls/ClickLabel.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "privacy/u_MruForm.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString runMru =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU");
const QString recent =
    QStringLiteral("drive_c/users/user/AppData/Roaming/Microsoft/Windows/Recent");
constexpr quint32 regDword = 4;

QString message(int number)
{
    return TShowMessage2Form::displayText(Qutrans::get(number));
}

// Waits on the open MRU window until its timer has ticked, keeps what it lists, then does
// `then`, posted so that windows it opens are answered too.
ModalAnswerer::Step readList(QStringList &listed, std::function<void()> then)
{
    return [&listed, then](QWidget *) {
        if (MruForm->leerTimer->isActive())
            return false;
        const QListWidget *list = control<QListWidget>(MruForm, "ListBox2");
        for (int i = 0; i < list->count(); ++i)
            listed << list->item(i)->text();
        QMetaObject::invokeMethod(MruForm, then, Qt::QueuedConnection);
        return true;
    };
}

void emptyTheLists()
{
    emit control<ClickLabel>(MruForm, "Label6")->clicked();
}

class MruListsTest : public WindowSetTest
{
protected:
    void SetUp() override
    {
        Form1->show();
        ReadOnlyNotice::setHandler([](const QString &) { ShowMessage2(Qutrans::get(196)); });
    }

    void TearDown() override { ReadOnlyNotice::setHandler({}); }
};

TEST_F(MruListsTest, ListsCommandsInRegistryOrderThenDocumentsAndCloses)
{
    PrefixBuilder prefix;
    prefix.value(runMru, "b", "cmd /k dir\\1");
    prefix.value(runMru, "c", "x");
    prefix.rawValue(runMru, "d", regDword, QByteArray("\1\0\0\0", 4));
    prefix.value(runMru, "e", "hidden by d\\1");
    prefix.file(recent + "/letter.doc.lnk", "L");
    prefix.file(recent + "/.hidden.lnk", "L");
    prefix.file(recent + "/Desktop.INI", "[.ShellClassInfo]");
    prefix.folder(recent + "/sub");
    ModalAnswerer answerer;
    QStringList listed;
    answerer.on(MruForm,
                readList(listed, [] { control<QPushButton>(MruForm, "BitBtn1")->click(); }));

    emit control<ClickLabel>(Form1, "Label38")->clicked();

    const QString command = Qutrans::get(102);
    const QString document = Qutrans::get(103);
    ASSERT_EQ(listed.size(), 5) << listed.join(" | ").toStdString();
    EXPECT_EQ(listed.mid(0, 3),
              (QStringList{"notepad" + command, "cmd /k dir" + command, command}));
    QStringList documents = listed.mid(3);
    documents.sort();
    EXPECT_EQ(documents, (QStringList{".hidden.lnk" + document, "letter.doc.lnk" + document}));
    const QLabel *count = control<QLabel>(MruForm, "Label2");
    EXPECT_EQ(count->text(), Qutrans::get(100) + " 5");
    EXPECT_EQ(count->width(), count->sizeHint().width()) << "the count line fits its text";
    EXPECT_TRUE(answerer.answered().isEmpty());
    EXPECT_FALSE(MruForm->isVisible());
    EXPECT_TRUE(Form1->isVisible());
}

TEST_F(MruListsTest, NothingFoundIsReportedOnceTheWindowIsShown)
{
    PrefixBuilder prefix(PrefixBuilder::Start::Minimal);
    prefix.file(recent + "/DESKTOP.ini", "");
    ModalAnswerer answerer;
    QString count;
    qint64 shownFor = -1;
    QElapsedTimer clock;
    answerer.on(MruForm, [&](QWidget *) {
        if (shownFor < 0) {
            clock.start();
            shownFor = 0;
            count = control<QLabel>(MruForm, "Label2")->text();
        }
        shownFor = clock.elapsed();
        return false;
    });

    emit control<ClickLabel>(Form1, "Label38")->clicked();

    EXPECT_EQ(count, Qutrans::get(100) + " 0");
    EXPECT_EQ(answerer.answered(), QStringList{message(101)});
    EXPECT_GE(shownFor, 60) << "the message came before the window was up";
    EXPECT_FALSE(MruForm->isVisible());
    EXPECT_TRUE(Form1->isVisible());
}

// Only shortcut files inside the folder go; links are removed themselves, never followed.
TEST_F(MruListsTest, EmptyingRemovesEveryCommandAndOnlyTheShortcutFiles)
{
    PrefixBuilder prefix;
    prefix.value(runMru, "b", "regedit\\1");
    const QString recentDocs = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
    prefix.value(recentDocs, "MRUListEx", "x").value(recentDocs + "\\.txt", "0", "notes.txt");
    prefix.file(recent + "/a.lnk", "L").file(recent + "/B.LNK", "L");
    prefix.file(recent + "/notes.txt", "keep").file(recent + "/desktop.ini", "keep");
    prefix.file(recent + "/folder.lnk/inside.lnk", "keep");
    QTemporaryDir outside;
    QFile(outside.filePath("target.lnk")).open(QIODevice::WriteOnly);
    QDir().mkpath(outside.filePath("dir"));
    QFile(outside.filePath("dir/deep.lnk")).open(QIODevice::WriteOnly);
    QFile::link(outside.filePath("target.lnk"), prefix.path(recent + "/out.lnk"));
    QFile::link(outside.filePath("dir"), prefix.path(recent + "/outdir.lnk"));
    ModalAnswerer answerer;
    QStringList listed;
    answerer.on(MruForm, readList(listed, emptyTheLists));

    QElapsedTimer clock;
    clock.start();
    emit control<ClickLabel>(Form1, "Label38")->clicked();

    EXPECT_EQ(listed.size(), 2 + 4) << listed.join(" | ").toStdString();
    EXPECT_EQ(answerer.answered(),
              (QStringList{message(99),
                           TShowMessage2Form::displayText(Qutrans::get(199) + "\rnotes.txt")}))
        << "the files that are no shortcuts stayed, and the window says so";
    EXPECT_GE(clock.elapsed(), 100 + 99 * 5) << "no busy display";
    EXPECT_TRUE(prefix.valueNames(runMru).isEmpty());
    EXPECT_TRUE(prefix.valueNames(recentDocs).isEmpty()) << "the shell's own list goes too";
    EXPECT_TRUE(prefix.valueNames(recentDocs + "\\.txt").isEmpty());
    QStringList left =
        QDir(prefix.path(recent))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    left.sort();
    EXPECT_EQ(left, (QStringList{"desktop.ini", "folder.lnk", "notes.txt", "outdir.lnk"}));
    EXPECT_TRUE(QFileInfo::exists(prefix.path(recent + "/folder.lnk/inside.lnk")));
    EXPECT_TRUE(QFileInfo::exists(outside.filePath("target.lnk")));
    EXPECT_TRUE(QFileInfo::exists(outside.filePath("dir/deep.lnk")));
    EXPECT_FALSE(MruForm->isVisible());
    EXPECT_TRUE(Form1->isVisible());
}

// "Shell Folders" names a stale folder, "User Shell Folders" the shell's own: the window lists
// the folder that the emptying empties.
TEST_F(MruListsTest, ListingAndEmptyingAgreeOnTheRecentFolder)
{
    PrefixBuilder prefix;
    QByteArray text = prefix.userReg();
    const QByteArray stored =
        "\"Recent\"=\"C:"
        "\\\\users\\\\user\\\\AppData\\\\Roaming\\\\Microsoft\\\\Windows\\\\Recent\"";
    ASSERT_TRUE(text.contains(stored));
    prefix.writeUserReg(text.replace(stored, "\"Recent\"=\"C:\\\\users\\\\user\\\\Stale\""));
    prefix.file(recent + "/shell.lnk", "L").file("drive_c/users/user/Stale/stale.lnk", "L");
    ModalAnswerer answerer;
    QStringList listed;
    answerer.on(MruForm, readList(listed, emptyTheLists));

    emit control<ClickLabel>(Form1, "Label38")->clicked();

    EXPECT_EQ(listed.filter("shell.lnk").size(), 1) << listed.join(" | ").toStdString();
    EXPECT_TRUE(listed.filter("stale.lnk").isEmpty()) << listed.join(" | ").toStdString();
    EXPECT_FALSE(QFileInfo::exists(prefix.path(recent + "/shell.lnk")));
    EXPECT_TRUE(QFileInfo::exists(prefix.path("drive_c/users/user/Stale/stale.lnk")));
}

TEST_F(MruListsTest, UnattendedEmptyingLeavesARecentFolderThatIsALink)
{
    PrefixBuilder prefix;
    QTemporaryDir outside;
    QFile(outside.filePath("elsewhere.lnk")).open(QIODevice::WriteOnly);
    QDir().mkpath(QFileInfo(prefix.path(recent)).path());
    QFile::link(outside.path(), prefix.path(recent));
    ModalAnswerer answerer;

    ClearMruLists();

    EXPECT_TRUE(prefix.valueNames(runMru).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(outside.filePath("elsewhere.lnk")));
    EXPECT_TRUE(answerer.answered().isEmpty());
}

// Wine holds the prefix: nothing goes, and nothing is reported as emptied.
TEST_F(MruListsTest, RefusedEmptyingKeepsEverythingAndGivesTheNoticeEveryTime)
{
    PrefixBuilder prefix;
    prefix.file(recent + "/a.lnk", "L");
    prefix.holdServerLock();
    const QByteArray before = prefix.userReg();
    ModalAnswerer answerer;
    QStringList listed;
    answerer.on(MruForm, readList(listed, emptyTheLists));

    emit control<ClickLabel>(Form1, "Label38")->clicked();
    EXPECT_EQ(answerer.answered(), QStringList{message(196)});
    QTest::qWait(20); // the answerer sees the window closed before it opens again
    emit control<ClickLabel>(Form1, "Label38")->clicked();

    EXPECT_EQ(answerer.answered(), (QStringList{message(196), message(196)}));
    EXPECT_EQ(prefix.userReg(), before);
    EXPECT_TRUE(QFileInfo::exists(prefix.path(recent + "/a.lnk")));
    EXPECT_TRUE(Form1->isVisible());
}

// The run dialog's list and the shell's list are emptied in memory first: a save that fails is
// no emptying, in the window and in the unattended run.
TEST_F(MruListsTest, EmptyingThatCannotBeSavedIsNoEmptying)
{
    PrefixBuilder prefix;
    ASSERT_FALSE(prefix.valueNames(runMru).isEmpty());
    const QByteArray before = prefix.userReg();
    const ImmutableFile fixed(prefix.userRegPath());
    if (!fixed.held())
        GTEST_SKIP() << "needs root and a file system that keeps files immutable";
    ModalAnswerer answerer;
    QStringList listed;
    answerer.on(MruForm, readList(listed, emptyTheLists));

    emit control<ClickLabel>(Form1, "Label38")->clicked();
    EXPECT_FALSE(ClearMruLists());

    EXPECT_EQ(answerer.answered(), QStringList{message(197)});
    EXPECT_EQ(prefix.userReg(), before);
}

} // namespace
