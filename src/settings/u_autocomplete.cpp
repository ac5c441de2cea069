#include "settings/u_autocomplete.h"

#include "app/u_Navolis.h"
#include "controls/StoredLayout.h"

TForm6::TForm6(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    StoredLayout::prepareDialog(this);
    connect(BitBtn5, &QPushButton::clicked, this, &TForm6::BitBtn5Click);
}

void TForm6::BitBtn5Click()
{
    PlayClickSound();
    close();
}
