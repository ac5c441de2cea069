#include "controls/aniicon.h"
#include "AniBuilder.h"

#include <QElapsedTimer>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QRgb kRed = qRgb(255, 0, 0);

QByteArray redAnimation()
{
    const QByteArray red = anibuild::iconFile(anibuild::solidImage(kRed));
    return anibuild::build({.icons = {red, red}});
}

void enter(TAniIcon &icon)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&icon, &event);
}

void leave(TAniIcon &icon)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&icon, &event);
}

TEST(AniIcon, layoutPropertiesLoadAndStartTheStoredAnimation)
{
    TAniIcon icon;
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_FALSE(icon.isRunning());
    // The names the Designer layouts use.
    ASSERT_TRUE(icon.setProperty("aniFile", QStringLiteral(":/ani/logo.ani")));
    ASSERT_TRUE(icon.setProperty("Animated", true));
    for (const char *name : {"AnimateOnEnter", "Transparent", "Center", "ButtonStyle"})
        EXPECT_TRUE(icon.setProperty(name, false)) << name;
    EXPECT_TRUE(icon.animation().hasFrame(14));
    EXPECT_TRUE(icon.isRunning());
    ASSERT_TRUE(icon.setProperty("Frame", 70));
    EXPECT_EQ(icon.property("Frame").toInt(), 0);

    // The real timer moves the frames on.
    QElapsedTimer clock;
    clock.start();
    while (icon.frame() < 2 && clock.elapsed() < 5000)
        QTest::qWait(10);
    EXPECT_GE(icon.frame(), 2);
    EXPECT_GE(clock.elapsed(), 200);

    icon.setAnimated(false);
    EXPECT_FALSE(icon.isRunning());
    icon.setAnimated(false);
    EXPECT_FALSE(icon.isRunning());
}

TEST(AniIcon, animateOnEnterRunsOnlyWhileTheMouseIsOver)
{
    TAniIcon icon;
    icon.setAnimateOnEnter(true);
    enter(icon);
    EXPECT_FALSE(icon.isRunning()) << "no animation loaded yet";
    leave(icon);
    icon.setAniData(redAnimation());
    enter(icon);
    EXPECT_TRUE(icon.isRunning());
    leave(icon);
    EXPECT_FALSE(icon.isRunning());
    icon.setEnabled(false);
    enter(icon);
    EXPECT_FALSE(icon.isRunning());
}

TEST(AniIcon, paintsTheFrameCentredWithButtonFrame)
{
    QWidget parent;
    parent.setStyleSheet("background: rgb(0, 0, 255)");
    TAniIcon icon(&parent);
    icon.setAniData(redAnimation());
    icon.resize(40, 40);
    icon.setCenter(true);
    QImage image = icon.grab().toImage();
    EXPECT_EQ(image.pixel(3, 3), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(4, 4), kRed);
    EXPECT_EQ(image.pixel(35, 35), kRed);
    EXPECT_EQ(image.pixel(36, 36), qRgb(0, 0, 255));

    icon.setButtonStyle(true);
    enter(icon);
    image = icon.grab().toImage();
    EXPECT_EQ(image.pixel(0, 5), qRgb(255, 255, 255)) << "raised while hovered";
    EXPECT_EQ(image.pixel(39, 5), qRgb(128, 128, 128));
    QTest::mousePress(&icon, Qt::LeftButton, {}, QPoint(5, 5));
    image = icon.grab().toImage();
    EXPECT_EQ(image.pixel(5, 0), qRgb(128, 128, 128)) << "sunken while pressed";
    EXPECT_EQ(image.pixel(5, 39), qRgb(255, 255, 255));
    QTest::mouseRelease(&icon, Qt::RightButton, {}, QPoint(5, 5));
    leave(icon);
    image = icon.grab().toImage();
    EXPECT_EQ(image.pixel(5, 0), qRgb(0, 0, 255)) << "no frame once released and left";
}

TEST(AniIcon, clicksAndDoubleClicks)
{
    TAniIcon icon;
    QSignalSpy clicks(&icon, &TAniIcon::clicked);
    QSignalSpy doubleClicks(&icon, &TAniIcon::doubleClicked);
    QTest::mouseClick(&icon, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mousePress(&icon, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&icon, Qt::LeftButton, {}, QPoint(50, 5));
    EXPECT_EQ(clicks.count(), 1) << "released outside";
    QTest::mouseClick(&icon, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
    // press, release, double-click, release: one click and one double-click
    QTest::mouseClick(&icon, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5),
                            Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&icon, &doubleClick);
    QTest::mouseRelease(&icon, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(clicks.count(), 2);
}

} // namespace
