#include "privacy/u_MruForm.h"

#include "app/u_Navolis.h"
#include "controls/StoredLayout.h"

TMruForm::TMruForm(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    StoredLayout::prepareDialog(this);
    connect(BitBtn1, &QPushButton::clicked, this, &TMruForm::BitBtn1Click);
}

void TMruForm::BitBtn1Click()
{
    PlayClickSound();
    close();
}
