#include "Controls.h"
#include "ModalAnswerer.h"
#include "app/WindowSetFixture.h"
#include "controls/aniicon.h"
#include "dialogs/u_ShowMessage2.h"
#include "dialogs/u_beschaeftigt.h"
#include "dialogs/u_info.h"
#include "platform/multimedia/Multimedia.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScopeGuard>
#include <QTest>
#include <QTextBlock>

namespace {

class MessageWindowTest : public WindowSetTest
{
};

TEST_F(MessageWindowTest, BreaksLinesAtCarriageReturnsAndCentresThem)
{
    ModalAnswerer answerer;
    ShowMessage2(QStringLiteral("a\rb"));
    ShowMessage2(QStringLiteral("first\r\nsecond line"));
    ShowMessage2(QString());
    EXPECT_EQ(answerer.answered(), QStringList({QStringLiteral("a\nb"),
                                                QStringLiteral("first\nsecond line"), QString()}));
    QLabel *label = control<QLabel>(ShowMessage2Form, "Label2");
    EXPECT_EQ(label->width(), TShowMessage2Form::LabelWidth);
    EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);
}

TEST_F(MessageWindowTest, LabelGrowsDownwardWithItsLines)
{
    ModalAnswerer answerer;
    ShowMessage2(QStringLiteral("one"));
    QLabel *label = control<QLabel>(ShowMessage2Form, "Label2");
    const int oneLine = label->height();
    ShowMessage2(QStringLiteral("one\rtwo\rthree"));
    EXPECT_GT(label->height(), 2 * oneLine);
    EXPECT_EQ(label->width(), TShowMessage2Form::LabelWidth);
}

TEST_F(MessageWindowTest, InformationTextKeepsAnEmptyLastLine)
{
    SetInfoText(QStringLiteral("first\nsecond\n"));
    QPlainTextEdit *memo = control<QPlainTextEdit>(Form5, "Memo1");
    ASSERT_EQ(memo->blockCount(), 3);
    EXPECT_EQ(memo->document()->findBlockByNumber(0).text(), QStringLiteral("first"));
    EXPECT_EQ(memo->document()->findBlockByNumber(2).text(), QString());
    SetInfoText(QStringLiteral("single"));
    EXPECT_EQ(memo->blockCount(), 1);
}

// A topic mapped to a missing or a shared picture shows up here; so does a picture left over
// from the topic before.
TEST_F(MessageWindowTest, EveryInformationTopicShowsItsOwnPicture)
{
    const InfoTopic topics[] = {
        InfoTopic::Cookies,          InfoTopic::TypedUrls,      InfoTopic::AddressAutocomplete,
        InfoTopic::FormAutocomplete, InfoTopic::DownloadNotice, InfoTopic::PrintBackgrounds};
    QList<QImage> shown;
    for (InfoTopic topic : topics) {
        SetInfoText(QStringLiteral("text"), topic);
        const QImage picture = control<QLabel>(Form5, "Image1")->pixmap().toImage();
        ASSERT_EQ(picture.size(), QSize(71, 108)) << InfoPicture(topic).toStdString();
        EXPECT_FALSE(shown.contains(picture)) << InfoPicture(topic).toStdString();
        shown += picture;
    }
    SetInfoText(QStringLiteral("text"));
    EXPECT_EQ(control<QLabel>(Form5, "Image1")->pixmap().toImage(), shown.constFirst());
}

// Presses the key on whichever control of the window has the focus, as a user would; records
// where it went and whether the window stayed, and closes one that stayed.
ModalAnswerer::Step pressing(Qt::Key key, QStringList &pressed)
{
    return [key, &pressed](QWidget *window) {
        QWidget *focus = QApplication::focusWidget();
        if (!focus || focus->window() != window)
            focus = window;
        QTest::keyClick(focus, key);
        pressed << focus->objectName() + (window->isVisible() ? " stayed" : "");
        window->close();
        return true;
    };
}

TEST_F(MessageWindowTest, EnterAnswersAMessageAsWeiterDoesAndEscapeStillCloses)
{
    QFile sound(CompanionFiles::forRunningProgram().clickSound());
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    sound.close();
    int clicks = 0;
    platform::setSoundPlayer([](const QString &) {});
    platform::setMciObserver([&](const QString &) { ++clicks; });
    const auto reset = qScopeGuard([] {
        QFile::remove(CompanionFiles::forRunningProgram().clickSound());
        platform::setMciObserver({});
        platform::setSoundPlayer({});
    });
    QStringList pressed;
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        ModalAnswerer answerer;
        answerer.on(ShowMessage2Form, pressing(key, pressed));
        ShowMessage2(QStringLiteral("done"));
    }
    ModalAnswerer answerer;
    answerer.on(Form5, pressing(Qt::Key_Return, pressed));
    SetInfoText(QStringLiteral("text"));
    Form5->exec();

    EXPECT_EQ(pressed, QStringList({"BitBtn2", "BitBtn2", "BitBtn2", "BitBtn2"}))
        << "each key closed its window from the focused weiter";
    EXPECT_EQ(clicks, 3) << "Enter clicks as weiter does; Escape never did";
}

class BusyWindowTest : public WindowSetTest
{
};

TEST_F(BusyWindowTest, SelfRunningProgressClosesItselfAndResets)
{
    QLabel *line = control<QLabel>(Form2, "Label2");
    for (int interval : {5, 12}) {
        line->setText(QStringLiteral("working"));
        line->setVisible(true);
        Form2->FakeTimer->setInterval(interval);
        Form2->FakeTimer->start();
        QElapsedTimer clock;
        clock.start();
        Form2->exec();
        EXPECT_GE(clock.elapsed(), 100 * interval - interval) << "interval " << interval;
        EXPECT_EQ(control<QProgressBar>(Form2, "ProgressBar1")->value(), 0);
        EXPECT_FALSE(Form2->FakeTimer->isActive());
        EXPECT_FALSE(control<QFrame>(Form2, "Panel1")->isVisibleTo(Form2));
        EXPECT_FALSE(line->isVisibleTo(Form2));
        EXPECT_EQ(Form2->FakeTimer->interval(), TForm2::StoredFakeTimerInterval);
    }
}

// The unattended run drives the bar to 100 by hand; a timed display after it still counts its
// hundred ticks.
TEST_F(BusyWindowTest, TimedDisplayAfterADrivenBarCountsFromZero)
{
    Form2->showProgressDisplay(QStringLiteral("cleaning"));
    Form2->setProgress(100);
    Form2->endProgressDisplay();
    EXPECT_EQ(control<QProgressBar>(Form2, "ProgressBar1")->value(), 0);

    int ticks = 0;
    const auto counting =
        QObject::connect(Form2->FakeTimer, &QTimer::timeout, [&ticks] { ++ticks; });
    Form2->runTimedDisplay(QStringLiteral("finishing"), 1);
    QObject::disconnect(counting);
    EXPECT_EQ(ticks, 100);
}

TEST_F(BusyWindowTest, AnimationRunsOnlyWhileShown)
{
    const TAniIcon *icon = control<TAniIcon>(Form2, "AniIcon1");
    Form2->show();
    EXPECT_TRUE(icon->isAnimated());
    EXPECT_EQ(control<QLabel>(Form2, "Label2")->width(), 337);
    Form2->hide();
    EXPECT_FALSE(icon->isAnimated());
    Form2->show();
    Form2->close();
    EXPECT_FALSE(icon->isAnimated());
}

TEST_F(BusyWindowTest, CannotBeClosedByEscapeOrEnter)
{
    Form2->show();
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(Form2, key);
    EXPECT_TRUE(Form2->isVisible());
    Form2->close();
}

} // namespace
