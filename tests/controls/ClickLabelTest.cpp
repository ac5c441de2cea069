#include "controls/ClickLabel.h"
#include "controls/aniicon.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// An edit box, a link word, a picture and a logo, in the order the panels have them.
class ClickLabelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(200, 140);
        edit->setGeometry(0, 0, 100, 20);
        link->setGeometry(10, 30, 80, 30);
        link->setText(QStringLiteral("hier"));
        QPalette blue = link->palette();
        blue.setColor(QPalette::WindowText, Qt::blue);
        link->setPalette(blue);
        QPixmap red(16, 16);
        red.fill(Qt::red);
        picture->setPixmap(red);
        picture->setGeometry(10, 70, 16, 16);
        logo->move(10, 100);
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
    }

    static void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    // Pixels of the label's edge in its text colour; the text keeps clear of the edge.
    int framePixels() const
    {
        const QImage image = link->grab().toImage();
        int count = 0;
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, 0) == Qt::blue;
            count += image.pixelColor(x, image.height() - 1) == Qt::blue;
        }
        return count;
    }

    QWidget window;
    QLineEdit *edit = new QLineEdit(&window);
    ClickLabel *link = new ClickLabel(&window);
    ClickLabel *picture = new ClickLabel(&window);
    TAniIcon *logo = new TAniIcon(&window);
};

TEST_F(ClickLabelTest, TabReachesTheLinkAndEnterOrSpacePressItOnceEach)
{
    QSignalSpy linkClicks(link, &ClickLabel::clicked);
    QSignalSpy pictureClicks(picture, &ClickLabel::clicked);
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), link);
    press(Qt::Key_Return);
    QTest::keyClick(link, Qt::Key_Enter, Qt::KeypadModifier);
    press(Qt::Key_Space);
    press(Qt::Key_A);
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(link, &held);
    EXPECT_EQ(linkClicks.count(), 3) << "a held key presses once";

    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), picture);
    press(Qt::Key_Space);
    EXPECT_EQ(pictureClicks.count(), 1);
    EXPECT_EQ(linkClicks.count(), 3);
}

TEST_F(ClickLabelTest, TheFocusedLinkShowsADottedFrameInItsTextColour)
{
    EXPECT_EQ(framePixels(), 0);
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), link);
    const int dots = framePixels();
    EXPECT_GT(dots, link->width() / 2);
    EXPECT_LT(dots, 2 * link->width()) << "dotted, not solid";
    press(Qt::Key_Tab);
    EXPECT_EQ(framePixels(), 0);
}

TEST_F(ClickLabelTest, AssistiveTechnologyFindsALinkAndAButtonThatPress)
{
    QSignalSpy linkClicks(link, &ClickLabel::clicked);
    QAccessibleInterface *linkItem = QAccessible::queryAccessibleInterface(link);
    ASSERT_TRUE(linkItem);
    EXPECT_EQ(linkItem->role(), QAccessible::Link);
    EXPECT_EQ(linkItem->text(QAccessible::Name), QStringLiteral("hier"));
    ASSERT_TRUE(linkItem->actionInterface());
    EXPECT_TRUE(linkItem->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));
    linkItem->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(linkClicks.count(), 1);

    picture->setAccessibleName(QStringLiteral("Information"));
    QAccessibleInterface *pictureItem = QAccessible::queryAccessibleInterface(picture);
    EXPECT_EQ(pictureItem->role(), QAccessible::Button);
    EXPECT_EQ(pictureItem->text(QAccessible::Name), QStringLiteral("Information"));
}

// The busy window's hourglass is a picture; a logo whose clicks someone hears is a control.
TEST_F(ClickLabelTest, ALogoIsAControlOnceItsClicksAreHeard)
{
    EXPECT_EQ(logo->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(logo)->role(), QAccessible::Animation);
    int clicks = 0;
    QObject::connect(logo, &TAniIcon::clicked, [&] { ++clicks; });
    EXPECT_EQ(logo->focusPolicy(), Qt::TabFocus);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), logo);
    press(Qt::Key_Return);
    press(Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(logo)->role(), QAccessible::Button);
}

} // namespace
