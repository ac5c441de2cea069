#include "dialogs/u_ShowMessage2.h"

#include "ui_u_ShowMessage2.h"

#include "app/WindowSet.h"
#include "controls/ClickSound.h"
#include "controls/StoredLayout.h"

#include <QKeyEvent>

TShowMessage2Form::TShowMessage2Form(QWidget *parent)
    : QDialog(parent), ui(new Ui::TShowMessage2Form)
{
    ui->setupUi(this);
    StoredLayout::prepareDialog(this);
    ui->Label2->setWordWrap(false);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TShowMessage2Form::BitBtn2Click);
}

TShowMessage2Form::~TShowMessage2Form() = default;

QString TShowMessage2Form::displayText(const QString &text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

void TShowMessage2Form::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TShowMessage2Form::FormShow()
{
    ui->Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ui->Label2->resize(LabelWidth, ui->Label2->height());
}

// Enter answers the message as "weiter" does, wherever the focus is; Escape closes as ever.
void TShowMessage2Form::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Enter || event->key() == Qt::Key_Return)
        BitBtn2Click();
    else
        QDialog::keyPressEvent(event);
}

void TShowMessage2Form::BitBtn2Click()
{
    PlayClickSound();
    close();
}

void TShowMessage2Form::showMessage(const QString &text)
{
    QLabel *label = ui->Label2;
    label->setText(displayText(text));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // The label keeps its width and grows downward with its lines.
    label->resize(LabelWidth, qMax(label->sizeHint().height(), 18));
    exec();
}

void ShowMessage2(const QString &text)
{
    ShowMessage2Form->showMessage(text);
}
