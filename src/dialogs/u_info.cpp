#include "dialogs/u_info.h"

#include "app/Navigation.h"
#include "app/WindowSet.h"
#include "controls/StoredLayout.h"

TForm5::TForm5(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    StoredLayout::prepareDialog(this);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm5::BitBtn2Click);
}

void TForm5::BitBtn2Click()
{
    PlayClickSound();
    close();
}

void SetInfoText(const QString &text)
{
    Form5->Memo1->clear();
    for (const QString &line : text.split(QLatin1Char('\n')))
        Form5->Memo1->appendPlainText(line);
    Form5->Memo1->moveCursor(QTextCursor::Start);
}
