#include "dialogs/u_beschaeftigt.h"

#include "ui_u_beschaeftigt.h"

#include "controls/StoredLayout.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimer>

TForm2::TForm2(QWidget *parent) : QDialog(parent), FakeTimer(new QTimer(this)), ui(new Ui::TForm2)
{
    ui->setupUi(this);
    StoredLayout::prepareDialog(this, StoredLayout::TitleButtons::None);
    FakeTimer->setInterval(StoredFakeTimerInterval);
    connect(FakeTimer, &QTimer::timeout, this, &TForm2::FakeTimerTimer);
}

TForm2::~TForm2() = default;

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
    ui->AniIcon1->setAnimated(true);
    for (QLabel *line : {ui->Label2, ui->Label3}) {
        line->resize(337, line->height());
        line->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
}

void TForm2::FormHide()
{
    ui->AniIcon1->setAnimated(false);
}

void TForm2::FormClose()
{
    ui->AniIcon1->setAnimated(false);
    ui->Panel1->setVisible(false);
    ui->Label2->setVisible(false);
    ui->Label3->setVisible(false);
    FakeTimer->setInterval(StoredFakeTimerInterval);
}

void TForm2::FakeTimerTimer()
{
    ui->Panel1->setVisible(true);
    ui->ProgressBar1->setValue(ui->ProgressBar1->value() + 1);
    if (ui->ProgressBar1->value() == 100) {
        FakeTimer->stop();
        ui->ProgressBar1->setValue(0);
        close();
    }
}

void TForm2::runTimedDisplay(const QString &text, int msPerStep)
{
    ui->Label2->setText(text);
    FakeTimer->setInterval(msPerStep);
    ui->Label2->setVisible(true);
    FakeTimer->start();
    exec();
}

void TForm2::showWorkDisplay(const QString &text, int msPerStep, const QString &secondLine)
{
    ui->Label2->setText(text);
    FakeTimer->setInterval(msPerStep);
    ui->Label2->setVisible(true);
    if (!secondLine.isNull()) {
        ui->Label3->setText(secondLine);
        ui->Label3->setVisible(true);
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
    ui->Label2->setText(text);
    ui->Label2->setVisible(true);
    ui->Panel1->setVisible(true);
    ui->ProgressBar1->setRange(0, 100);
    ui->ProgressBar1->setValue(0);
    show();
}

void TForm2::setProgress(int percent)
{
    ui->ProgressBar1->setValue(percent);
}

void TForm2::endProgressDisplay()
{
    // Back to the stored state: a later self-running display counts its hundred steps from 0.
    ui->ProgressBar1->setValue(0);
    ui->Panel1->setVisible(false);
    close();
}
