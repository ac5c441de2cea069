#include "panels/FavoritenPanel.h"
#include "Controls.h"
#include "ModalAnswerer.h"
#include "app/WindowSetFixture.h"
#include "browserdata/FavoritesListView.h"
#include "panels/u_URLChangeForm.h"
#include "platform/desktop/MessageBeep.h"
#include "platform/desktop/ShellOpen.h"

#include <QApplication>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>

namespace {

const QString favorites = QStringLiteral("drive_c/users/user/Favorites/");
const QString windowsFavorites = QStringLiteral("C:\\users\\user\\Favorites\\");

QString message(int number)
{
    return TShowMessage2Form::displayText(Qutrans::get(number));
}

class FavoritenPanelTest : public PrefixWindowTest
{
protected:
    void SetUp() override
    {
        PrefixWindowTest::SetUp();
        usePrefix()
            .file(favorites + "News/Sport.url",
                  "[InternetShortcut]\r\nURL=http://sport.example/\r\n")
            .file(favorites + "Example.url", browserShortcut);
        win::setMessageBeepHandler([this] { ++beeps; });
        emit control<QToolButton>(Form1, "SpeedButton4")->clicked();
        list()->Reload();
    }
    void TearDown() override
    {
        win::setMessageBeepHandler({});
        platform::setShellOpenHandler({});
        PrefixWindowTest::TearDown();
    }

    TFavoritenPanel *panel() const { return Form1->favoritenPanel(); }
    TFavoritesListView *list() const { return panel()->favoritesList(); }

    void clickRow(int row)
    {
        const QRect rect = list()->visualRect(list()->model()->index(row, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void selectRow(int row) { list()->setCurrentIndex(list()->model()->index(row, 0)); }

    QByteArray linkFile() const
    {
        QFile file(prefix->path(favorites + "Example.url"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    int rowOf(const QString &caption) const
    {
        for (int row = 0; row < list()->count(); ++row)
            if (list()->caption(row) == caption)
                return row;
        return -1;
    }

    // Edits the link in `row` in the link window: types `address` and saves; discards when the
    // save was refused and the window stayed open.
    QStringList editLink(int row, const QString &address)
    {
        ModalAnswerer answerer;
        bool typed = false;
        answerer.on(URLChangeForm, [&](QWidget *window) {
            if (typed) {
                if (answerer.answered().isEmpty())
                    return false;
                URLChangeForm->close();
                return true;
            }
            window->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(address);
            QMetaObject::invokeMethod(URLChangeForm, &TURLChangeForm::Label5Click,
                                      Qt::QueuedConnection);
            typed = true;
            return false;
        });
        selectRow(row);
        panel()->Label5Click();
        return answerer.answered();
    }
    QStringList editExample(const QString &address) { return editLink(1, address); }

    // What a browser writes: more than the address, all of which a changed address replaces.
    const QByteArray browserShortcut = "[DEFAULT]\r\nBASEURL=http://www.example.com/\r\n"
                                       "[InternetShortcut]\r\nURL=http://www.example.com/\r\n"
                                       "IconIndex=0\r\nModified=20F06BA06D07BD014D\r\n";
    int beeps = 0;
};

} // namespace

TEST_F(FavoritenPanelTest, AClickOnALinkFillsTheLinkWindowAndOnAFolderOpensIt)
{
    clickRow(1);
    EXPECT_EQ(URLChangeForm->linkCaption(), "Example");
    EXPECT_EQ(URLChangeForm->address(), "http://www.example.com/");
    EXPECT_FALSE(URLChangeForm->isVisible());

    clickRow(0);
    EXPECT_EQ(list()->Depth(), 1);
    EXPECT_EQ(list()->caption(0), "Sport");
    panel()->Label47Click();
    EXPECT_EQ(list()->Depth(), 0);
    panel()->Label47Click();
    EXPECT_EQ(beeps, 1) << "one level up at the top beeps";
}

TEST_F(FavoritenPanelTest, SavingRewritesTheFileOnlyForAChangedAddress)
{
    EXPECT_EQ(editExample("HTTP://WWW.EXAMPLE.COM/"), QStringList{message(138)});
    EXPECT_EQ(linkFile(), browserShortcut) << "a change of letter case alone writes nothing";

    EXPECT_EQ(editExample("http://www.example.org/neu"), QStringList{message(138)});
    EXPECT_EQ(linkFile(), "[InternetShortcut]\r\nURL=http://www.example.org/neu\r\n");
    EXPECT_EQ(list()->Depth(), 0);
    EXPECT_EQ(list()->currentIndex().row(), 0) << "the list is back at the top";
}

TEST_F(FavoritenPanelTest, AnEmptyAddressIsRefusedAndTheFileKept)
{
    for (const QString &address : {QString(), QStringLiteral("  ")}) {
        EXPECT_EQ(editExample(address), QStringList{message(203)});
        EXPECT_EQ(linkFile(), browserShortcut);
    }
}

TEST_F(FavoritenPanelTest, OnlyInternetShortcutsAreOfferedForEditing)
{
    const QByteArray shellLink("L\0\0\0\x01\x14\x02\0\0\0\0\0\xC0\0\0\0", 16);
    prefix->file(favorites + "Notiz.lnk", shellLink);
    list()->Reload();
    EXPECT_EQ(editLink(rowOf("Notiz"), "http://www.example.org/"), QStringList{message(202)});
    QFile link(prefix->path(favorites + "Notiz.lnk"));
    ASSERT_TRUE(link.open(QIODevice::ReadOnly));
    EXPECT_EQ(link.readAll(), shellLink);
}

// A link clicked earlier must not be what "the link" means once a folder is selected.
TEST_F(FavoritenPanelTest, AFolderSelectedIsOpenedAndTheEarlierLinkLeftAlone)
{
    QStringList opened;
    platform::setShellOpenHandler([&](const QString &target) {
        opened << target;
        return true;
    });
    clickRow(1);
    QTest::keyClick(list(), Qt::Key_Home);
    ModalAnswerer answerer;
    for (void (TFavoritenPanel::*action)() :
         {&TFavoritenPanel::Label48Click, &TFavoritenPanel::Label5Click,
          &TFavoritenPanel::Label49Click}) {
        ASSERT_EQ(list()->caption(list()->currentIndex().row()), "News");
        (panel()->*action)();
        EXPECT_EQ(list()->Depth(), 1) << "the folder is opened";
        EXPECT_EQ(list()->caption(0), "Sport");
        panel()->Label47Click();
    }
    EXPECT_EQ(answerer.answered(), QStringList{}) << "no deletion, no link window";
    EXPECT_EQ(opened, QStringList{});
    EXPECT_EQ(linkFile(), browserShortcut);
}

TEST_F(FavoritenPanelTest, ViewingHandsTheLinkFileToTheShell)
{
    QStringList opened;
    platform::setShellOpenHandler([&](const QString &target) {
        opened << target;
        return true;
    });
    selectRow(1);
    panel()->Label49Click();
    EXPECT_EQ(opened, QStringList{windowsFavorites + "Example.url"});
}

TEST_F(FavoritenPanelTest, DeletingMovesTheLinkToTheTrashOrSaysThatItFailed)
{
    prefix->holdServerLock();
    {
        ModalAnswerer answerer;
        selectRow(1);
        panel()->Label48Click();
        EXPECT_EQ(answerer.answered(), (QStringList{message(196), message(198)}));
    }
    EXPECT_EQ(linkFile(), browserShortcut);
    prefix->releaseServerLock();

    ModalAnswerer answerer;
    selectRow(1);
    panel()->Label48Click();
    EXPECT_EQ(answerer.answered(), QStringList{message(133)});
    EXPECT_EQ(linkFile(), "(missing)");
    QFile trashed(testenv::home() + "/.local/share/Trash/files/Example.url");
    ASSERT_TRUE(trashed.open(QIODevice::ReadOnly)) << "the deletion can be undone";
    EXPECT_EQ(trashed.readAll(), browserShortcut);
    EXPECT_EQ(list()->count(), 1);
}

// The same by keys: the arrow keys pick the link, Tab reaches the links beside the list, Enter
// views and Space deletes.
TEST_F(FavoritenPanelTest, KeysPickALinkThenViewAndDeleteIt)
{
    QStringList opened;
    platform::setShellOpenHandler([&](const QString &target) {
        opened << target;
        return true;
    });
    const auto focused = [] {
        const QWidget *focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    };
    const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
    const auto tabTo = [&](const char *name) {
        for (int i = 0; i < 20 && focused() != name; ++i)
            press(Qt::Key_Tab);
        return focused() == name;
    };
    QApplication::setActiveWindow(Form1);
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
    ASSERT_TRUE(tabTo("FavoritesListView1"));
    press(Qt::Key_Home);
    for (int i = 0; i < rowOf("Example"); ++i)
        press(Qt::Key_Down);

    ASSERT_TRUE(tabTo("Label49"));
    press(Qt::Key_Return);
    EXPECT_EQ(opened, QStringList{windowsFavorites + "Example.url"});
    ModalAnswerer answerer;
    ASSERT_TRUE(tabTo("Label48"));
    press(Qt::Key_Space);
    EXPECT_EQ(answerer.answered(), QStringList{message(133)});
    EXPECT_EQ(linkFile(), "(missing)");
}

TEST_F(FavoritenPanelTest, ALinkNoTrashTakesIsSaidToBeGoneForGood)
{
    // A data home inside a plain file: no trash can be made there.
    const QString blocker = testenv::home() + "/no-data-home";
    ASSERT_TRUE(QFile(blocker).open(QIODevice::WriteOnly));
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", (blocker + "/share").toLocal8Bit());
    const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_HOME", dataHome); });

    ModalAnswerer answerer;
    selectRow(1);
    panel()->Label48Click();
    EXPECT_EQ(answerer.answered(), QStringList{message(204)});
    EXPECT_EQ(linkFile(), "(missing)");
}
