#include "privacy/u_history.h"

#include "app/u_Navolis.h"
#include "controls/StoredLayout.h"

THistoryForm::THistoryForm(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    StoredLayout::prepareDialog(this);
    connect(BitBtn1, &QPushButton::clicked, this, &THistoryForm::BitBtn1Click);
}

void THistoryForm::BitBtn1Click()
{
    PlayClickSound();
    close();
}
