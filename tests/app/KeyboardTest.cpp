#include "Controls.h"
#include "WindowSetFixture.h"

#include "dialogs/u_info.h"
#include "i18n/ApplyTranslations.h"
#include "panels/u_URLChangeForm.h"
#include "platform/desktop/ShellOpen.h"
#include "platform/multimedia/Multimedia.h"
#include "privacy/u_MruForm.h"
#include "privacy/u_TypedURLs.h"
#include "privacy/u_history.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings/u_autocomplete.h"

#include <QApplication>
#include <QScopeGuard>
#include <QTest>

namespace {

// The main window driven from the keyboard alone: keys go to whichever control has the focus.
class KeyboardTest : public WindowSetTest
{
protected:
    void SetUp() override
    {
        QFile sound(CompanionFiles::forRunningProgram().clickSound());
        ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
        sound.write("RIFF");
        platform::setSoundPlayer([](const QString &) {});
        platform::setMciObserver([this](const QString &) { ++clicks; });
        Form1->show();
        QApplication::setActiveWindow(Form1);
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
        Form1->sideButtons().first()->click();
        Form1->sideButtons().first()->setFocus(Qt::TabFocusReason);
    }

    void TearDown() override
    {
        QFile::remove(CompanionFiles::forRunningProgram().clickSound());
        platform::setMciObserver({});
        platform::setSoundPlayer({});
    }

    static void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    static QString focused()
    {
        const QWidget *focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    }

    static QFrame *visiblePanel()
    {
        for (QFrame *panel : Form1->panels()) {
            if (panel->isVisibleTo(Form1))
                return panel;
        }
        return nullptr;
    }

    int clicks = 0;
};

TEST_F(KeyboardTest, ArrowsMoveAlongTheColumnAndEnterOrSpaceSwitchesPanels)
{
    clicks = 0;
    const QList<QFrame *> panels = Form1->panels();

    const auto frameDots = [](QWidget *button) {
        const QImage image = button->grab().toImage();
        int dots = 0;
        for (int x = 0; x < image.width(); ++x)
            dots += image.pixelColor(x, 0) == button->palette().color(QPalette::ButtonText);
        return dots;
    };
    press(Qt::Key_Down);
    EXPECT_EQ(focused(), "SpeedButton2");
    EXPECT_GT(frameDots(Form1->sideButtons()[1]), 20) << "the focused button shows its frame";
    EXPECT_EQ(frameDots(Form1->sideButtons()[0]), 0);
    EXPECT_EQ(visiblePanel(), panels[0]) << "moving the focus switches nothing";
    press(Qt::Key_Return);
    EXPECT_EQ(visiblePanel(), panels[1]);
    EXPECT_TRUE(Form1->sideButtons()[1]->isChecked());
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Space);
    EXPECT_EQ(visiblePanel(), panels[3]);
    press(Qt::Key_Down);
    press(Qt::Key_Enter);
    EXPECT_EQ(visiblePanel(), panels[4]);
    EXPECT_EQ(clicks, 3) << "each switch clicks as a mouse click does";

    for (int i = 0; i < 4; ++i)
        press(Qt::Key_Down);
    EXPECT_EQ(focused(), "SpeedButton9") << "the quit button ends the column";
    press(Qt::Key_Down);
    EXPECT_EQ(focused(), "SpeedButton9");
    for (int i = 0; i < 8; ++i)
        press(Qt::Key_Up);
    EXPECT_EQ(focused(), "SpeedButton1");
    press(Qt::Key_Return);
    EXPECT_EQ(visiblePanel(), panels[0]);
    EXPECT_FALSE(Form1->closeRequested());
}

// Tab runs from the column through the shown panel's links, pictures, lists and boxes in
// reading order, past the texts, to the prefix strip and round to the column again.
TEST_F(KeyboardTest, TabReachesEveryControlOfEachPanelInReadingOrder)
{
    const QStringList expected[] = {
        {"Label1", "Label2", "Label3", "AniIcon1", "BitBtn1"},
        {"Image13", "Label16", "Label21", "Label22", "Image17", "Label25", "Label23", "Label38",
         "AniIcon2", "BitBtn2"},
        {"ListBox2", "Image20", "Label41", "AniIcon3", "BitBtn3"},
        {"Image23", "Label47", "FavoritesListView1", "Image25", "Label49", "Image22", "Label5",
         "Image24", "Label48", "AniIcon4", "BitBtn4"},
        {"Label50", "Label46", "Image37", "Label61", "Label60", "CheckBox1", "Image36", "Label53",
         "CheckBox3", "Image40", "AniIcon5", "BitBtn5"},
        {"CheckBox4", "CheckBox5", "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9", "CheckBox10",
         "AniIcon6", "BitBtn6"},
        {"ComboBox1", "Label9", "Label12", "AniIcon7", "BitBtn7"},
    };
    for (int panel = 0; panel < 7; ++panel) {
        if (panel > 0)
            press(Qt::Key_Down);
        press(Qt::Key_Space);
        const QString column = focused();
        QStringList chain;
        for (press(Qt::Key_Tab); focused() != column && chain.size() < 40; press(Qt::Key_Tab))
            chain << focused();
        EXPECT_EQ(chain, QStringList{"SpeedButton9"} + expected[panel] + QStringList{"PrefixBox"})
            << "panel " << panel + 1;
    }
}

// The links and logos of the panels as the mouse tests press them, here by Enter and Space.
TEST_F(KeyboardTest, LinksAndLogosOpenByEnterOrSpaceAsByClick)
{
    QStringList opened;
    platform::setShellOpenHandler([&](const QString &target) {
        opened << target;
        return true;
    });
    clicks = 0;
    const auto reset = qScopeGuard([] { platform::setShellOpenHandler({}); });
    WebSiteAddress = QStringLiteral("https://www.navolis.example/");
    MailAddress = QStringLiteral("mailto:support@navolis.example");
    const auto tabTo = [&](const QString &name) {
        for (int i = 0; i < 40 && focused() != name; ++i)
            press(Qt::Key_Tab);
        return focused() == name;
    };

    ASSERT_TRUE(tabTo("Label3"));
    press(Qt::Key_Return);
    ASSERT_TRUE(tabTo("AniIcon1"));
    press(Qt::Key_Space);
    ASSERT_TRUE(tabTo("BitBtn1"));
    press(Qt::Key_Return);
    EXPECT_EQ(visiblePanel(), Form1->sicherheitsPanel()) << "weiter by Enter";
    EXPECT_EQ(focused(), "BitBtn2") << "the focus stays on weiter";
    ASSERT_TRUE(tabTo("SpeedButton2"));
    for (int i = 0; i < 5; ++i)
        press(Qt::Key_Down);
    press(Qt::Key_Space);
    ASSERT_TRUE(tabTo("Label9"));
    press(Qt::Key_Space);
    press(Qt::Key_Tab);
    press(Qt::Key_Enter);

    EXPECT_EQ(opened, QStringList({WebSiteAddress, WebSiteAddress, WebSiteAddress, MailAddress}));
    EXPECT_EQ(clicks, 5) << "three links, weiter and the side button click; the logo never did";
}

// Each window as a user reaches it by Tab alone: its links, boxes, lists and buttons in reading
// order, and the way out pressed by Enter. The list windows' timers, which close an empty list,
// are held back.
TEST_F(KeyboardTest, EveryWindowIsWalkedByTabAndLeftByEnter)
{
    struct Walk
    {
        QDialog *window;
        QStringList chain;
        QTimer *fillTimer;
    };
    const Walk walks[] = {
        {Form5, {"BitBtn2"}, nullptr},
        {URLChangeForm, {"Edit1", "Label5", "Label4"}, nullptr},
        {ChangeStartPageForm, {"Edit1", "Label5", "Label4"}, nullptr},
        {Form6, {"CheckBox2", "Image38", "CheckBox1", "CheckBox3", "Image4", "BitBtn5"}, nullptr},
        {HistoryForm, {"StringGrid1", "Label6", "BitBtn1"}, HistoryForm->CloseTimer},
        {TypedURLsForm, {"ListBox2", "Label6", "BitBtn1"}, TypedURLsForm->Timer1},
        {MruForm, {"ListBox2", "Label6", "BitBtn1"}, MruForm->leerTimer},
    };
    for (const Walk &walk : walks) {
        const std::string name = walk.window->objectName().toStdString();
        walk.window->show();
        if (walk.fillTimer)
            walk.fillTimer->stop();
        QApplication::setActiveWindow(walk.window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(walk.window)) << name;
        QStringList chain{focused()};
        for (press(Qt::Key_Tab); focused() != chain.first() && chain.size() < 20;
             press(Qt::Key_Tab))
            chain << focused();
        while (chain.first() != walk.chain.first() && chain.size() > 1)
            chain.move(0, chain.size() - 1);
        EXPECT_EQ(chain, walk.chain) << name;

        for (int i = 0; i < 20 && focused() != walk.chain.last(); ++i)
            press(Qt::Key_Tab);
        press(Qt::Key_Return);
        EXPECT_FALSE(walk.window->isVisible()) << name << " is left by Enter";
        walk.window->hide();
    }
}

} // namespace
