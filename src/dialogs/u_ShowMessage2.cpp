#include "dialogs/u_ShowMessage2.h"

#include "app/Navigation.h"
#include "app/WindowSet.h"
#include "controls/StoredLayout.h"

TShowMessage2Form::TShowMessage2Form(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    StoredLayout::prepareDialog(this);
    Label2->setWordWrap(false);
    connect(BitBtn2, &QPushButton::clicked, this, &TShowMessage2Form::BitBtn2Click);
}

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
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label2->resize(LabelWidth, Label2->height());
}

void TShowMessage2Form::BitBtn2Click()
{
    PlayClickSound();
    close();
}

void ShowMessage2(const QString &text)
{
    QLabel *label = ShowMessage2Form->Label2;
    label->setText(TShowMessage2Form::displayText(text));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // The label keeps its width and grows downward with its lines.
    label->resize(TShowMessage2Form::LabelWidth, qMax(label->sizeHint().height(), 18));
    ShowMessage2Form->exec();
}
