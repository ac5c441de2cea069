#include "privacy/u_cookieForm.h"

#include "app/u_Navolis.h"
#include "controls/StoredLayout.h"

TCookieForm::TCookieForm(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    StoredLayout::prepareDialog(this);
    connect(BitBtn1, &QPushButton::clicked, this, &TCookieForm::BitBtn1Click);
}

void TCookieForm::BitBtn1Click()
{
    PlayClickSound();
    close();
}
