#include "dialogs/u_beschaeftigt.h"

#include "controls/StoredLayout.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimer>

TForm2::TForm2(QWidget *parent) : QDialog(parent), FakeTimer(new QTimer(this))
{
    setupUi(this);
    StoredLayout::prepareDialog(this, StoredLayout::TitleButtons::None);
    FakeTimer->setInterval(StoredFakeTimerInterval);
    connect(FakeTimer, &QTimer::timeout, this, &TForm2::FakeTimerTimer);
}

void TForm2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TForm2::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    FormHide();
}

void TForm2::closeEvent(QCloseEvent *event)
{
    // It has no close box: only its own count or its caller ends it.
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    FormClose();
    QDialog::closeEvent(event);
}

// Escape must not close the window: it has no close box either.
void TForm2::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape)
        QDialog::keyPressEvent(event);
}

void TForm2::FormShow()
{
    AniIcon1->setAnimated(true);
    for (QLabel *line : {Label2, Label3}) {
        line->resize(337, line->height());
        line->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
}

void TForm2::FormHide()
{
    AniIcon1->setAnimated(false);
}

void TForm2::FormClose()
{
    AniIcon1->setAnimated(false);
    Panel1->setVisible(false);
    Label2->setVisible(false);
    Label3->setVisible(false);
    FakeTimer->setInterval(StoredFakeTimerInterval);
}

void TForm2::FakeTimerTimer()
{
    Panel1->setVisible(true);
    ProgressBar1->setValue(ProgressBar1->value() + 1);
    if (ProgressBar1->value() == 100) {
        FakeTimer->stop();
        ProgressBar1->setValue(0);
        close();
    }
}

void TForm2::runTimedDisplay(const QString &text, int msPerStep)
{
    Label2->setText(text);
    FakeTimer->setInterval(msPerStep);
    Label2->setVisible(true);
    FakeTimer->start();
    exec();
}

void TForm2::showWorkDisplay(const QString &text, int msPerStep, const QString &secondLine)
{
    Label2->setText(text);
    FakeTimer->setInterval(msPerStep);
    Label2->setVisible(true);
    if (!secondLine.isNull()) {
        Label3->setText(secondLine);
        Label3->setVisible(true);
    }
    show();
}

void TForm2::finishTimedDisplay()
{
    FakeTimer->start();
    hide();
    exec();
}

void TForm2::showProgressDisplay(const QString &text)
{
    Label2->setText(text);
    Label2->setVisible(true);
    Panel1->setVisible(true);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    show();
}

void TForm2::setProgress(int percent)
{
    ProgressBar1->setValue(percent);
}

void TForm2::endProgressDisplay()
{
    Panel1->setVisible(false);
    close();
}
