#include "Controls.h"
#include "ModalAnswerer.h"
#include "WindowSetFixture.h"

#include "dialogs/MyTricks.h"
#include "i18n/ApplyTranslations.h"
#include "panels/BrowsercachePanel.h"
#include "platform/desktop/ShellOpen.h"
#include "platform/multimedia/Multimedia.h"

#include <QScopeGuard>
#include <QTest>

namespace {

QFrame *visiblePanel()
{
    QFrame *shown = nullptr;
    for (QFrame *panel : Form1->panels()) {
        if (panel->isVisibleTo(Form1)) {
            EXPECT_EQ(shown, nullptr) << "more than one panel is visible";
            shown = panel;
        }
    }
    return shown;
}

QPushButton *nextButtonOf(QFrame *panel)
{
    const QList<QPushButton *> buttons = panel->findChildren<QPushButton *>(
        QRegularExpression(QStringLiteral("^BitBtn[1-7]$")), Qt::FindDirectChildrenOnly);
    return buttons.size() == 1 ? buttons.first() : nullptr;
}

class NavigationTest : public WindowSetTest
{
protected:
    void SetUp() override
    {
        Form1->show();
        QTest::mouseClick(control<QToolButton>(Form1, "SpeedButton1"), Qt::LeftButton);
    }
};

TEST_F(NavigationTest, WeiterCyclesThroughEveryPanelAndBack)
{
    ASSERT_EQ(visiblePanel(), Form1->willkommenPanel());
    const QList<QFrame *> order = Form1->panels();
    const QList<QToolButton *> sideButtons = Form1->sideButtons();
    for (int step = 1; step <= 7; ++step) {
        QPushButton *next = nextButtonOf(visiblePanel());
        ASSERT_NE(next, nullptr);
        QTest::mouseClick(next, Qt::LeftButton);
        const int expected = step % 7;
        EXPECT_EQ(visiblePanel(), order[expected]) << "after press " << step;
        for (int i = 0; i < sideButtons.size(); ++i)
            EXPECT_EQ(sideButtons[i]->isChecked(), i == expected)
                << "button " << i + 1 << " after press " << step;
    }
}

TEST_F(NavigationTest, SideButtonShowsItsPanelAlone)
{
    const QList<QFrame *> order = Form1->panels();
    const QList<QToolButton *> sideButtons = Form1->sideButtons();
    for (int i = sideButtons.size() - 1; i >= 0; --i) {
        QTest::mouseClick(sideButtons[i], Qt::LeftButton);
        EXPECT_EQ(visiblePanel(), order[i]);
        EXPECT_TRUE(sideButtons[i]->isChecked());
    }
}

TEST_F(NavigationTest, SecurityWeiterFillsTheCachePanelLikeItsSideButton)
{
    QStringList sounds;
    platform::setMciObserver([&](const QString &command) { sounds << command; });
    const auto resetObserver = qScopeGuard([] { platform::setMciObserver({}); });

    QListWidget *list =
        Form1->browsercachePanel()->findChild<QListWidget *>(QStringLiteral("ListBox2"));
    ASSERT_TRUE(list);
    QTest::mouseClick(control<QToolButton>(Form1, "SpeedButton2"), Qt::LeftButton);
    list->addItem(QStringLiteral("stale entry"));
    const qsizetype soundsBefore = sounds.size();
    QTest::mouseClick(control<QPushButton>(Form1, "BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(visiblePanel(), Form1->browsercachePanel());
    EXPECT_TRUE(control<QToolButton>(Form1, "SpeedButton3")->isChecked());
    EXPECT_EQ(list->count(), 0);
    const qsizetype soundsByWeiter = sounds.size() - soundsBefore;

    list->addItem(QStringLiteral("stale entry"));
    QTest::mouseClick(control<QToolButton>(Form1, "SpeedButton3"), Qt::LeftButton);
    EXPECT_EQ(visiblePanel(), Form1->browsercachePanel());
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(sounds.size() - soundsBefore - soundsByWeiter, soundsByWeiter)
        << "the weiter button plays the click exactly as the side button does";
}

TEST_F(NavigationTest, LinksGoToTheShell)
{
    QStringList opened;
    platform::setShellOpenHandler([&](const QString &target) {
        opened << target;
        return true;
    });
    const auto resetHandler = qScopeGuard([] { platform::setShellOpenHandler({}); });
    WebSiteAddress = QStringLiteral("https://www.navolis.example/");
    MailAddress = QStringLiteral("mailto:support@navolis.example");

    QTest::mouseClick(control<ClickLabel>(Form1, "Label3"), Qt::LeftButton);
    QTest::mouseClick(control<QToolButton>(Form1, "SpeedButton7"), Qt::LeftButton);
    QTest::mouseClick(control<ClickLabel>(Form1, "Label9"), Qt::LeftButton);
    QTest::mouseClick(control<ClickLabel>(Form1, "Label12"), Qt::LeftButton);
    emit control<TAniIcon>(Form1, "AniIcon5")->clicked();
    // Neither companion file exists beside the test program, so these open nothing.
    QTest::mouseClick(control<QToolButton>(Form1, "SpeedButton1"), Qt::LeftButton);
    QTest::mouseClick(control<ClickLabel>(Form1, "Label1"), Qt::LeftButton);
    QTest::mouseClick(control<ClickLabel>(Form1, "Label2"), Qt::LeftButton);

    EXPECT_EQ(opened, QStringList({WebSiteAddress, WebSiteAddress, MailAddress, WebSiteAddress}));
}

// A desktop with no program for a link's target: the message window names the target in the
// current language, where nothing at all happened before. A target that is not there is named
// as well.
TEST_F(NavigationTest, LinksThatNothingCanOpenSaySo)
{
    const QString help = CompanionFiles::forRunningProgram().helpFile();
    platform::setShellOpenHandler([](const QString &) { return false; });
    const auto reset = qScopeGuard([help] {
        platform::setShellOpenHandler({});
        QFile::remove(help);
    });
    QFile helpFile(help);
    ASSERT_TRUE(helpFile.open(QIODevice::WriteOnly));
    helpFile.close();
    WebSiteAddress = QStringLiteral("https://www.navolis.example/");
    MailAddress = QStringLiteral("mailto:support@navolis.example");
    const auto named = [](int text, const QString &target) {
        return TShowMessage2Form::displayText(Qutrans::get(text) + QLatin1Char('\r') + target);
    };
    ModalAnswerer answerer;

    QTest::mouseClick(control<ClickLabel>(Form1, "Label3"), Qt::LeftButton);
    QTest::mouseClick(control<ClickLabel>(Form1, "Label2"), Qt::LeftButton);
    QTest::mouseClick(control<QToolButton>(Form1, "SpeedButton7"), Qt::LeftButton);
    QTest::mouseClick(control<ClickLabel>(Form1, "Label12"), Qt::LeftButton);
    EXPECT_EQ(answerer.answered(),
              (QStringList{named(207, WebSiteAddress), named(207, help), named(207, MailAddress)}));

    platform::setShellOpenHandler({});
    const QString gone = QStringLiteral("/nonexistent-navolis/gone.doc");
    OpenInShell(gone);
    EXPECT_EQ(answerer.answered().last(), named(208, gone));
}

TEST_F(NavigationTest, ShowingTheWindowRevealsTheQuitButton)
{
    EXPECT_TRUE(control<QToolButton>(Form1, "SpeedButton9")->isVisible());
}

// Runs last in this process: the quit button ends the program.
TEST_F(NavigationTest, ZQuitButtonClosesWithoutClickSound)
{
    QStringList sounds;
    platform::setMciObserver([&](const QString &command) { sounds << command; });
    const auto resetObserver = qScopeGuard([] { platform::setMciObserver({}); });
    QTest::mouseClick(control<QToolButton>(Form1, "SpeedButton9"), Qt::LeftButton);
    EXPECT_TRUE(Form1->closeRequested());
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(sounds.isEmpty());
}

} // namespace
