#include "privacy/u_TypedURLs.h"

#include "app/u_Navolis.h"
#include "controls/StoredLayout.h"

TTypedURLsForm::TTypedURLsForm(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    StoredLayout::prepareDialog(this);
    connect(BitBtn1, &QPushButton::clicked, this, &TTypedURLsForm::BitBtn1Click);
}

void TTypedURLsForm::BitBtn1Click()
{
    PlayClickSound();
    close();
}
