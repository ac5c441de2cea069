#include "panels/u_URLChangeForm.h"

#include "controls/StoredLayout.h"

TURLChangeForm::TURLChangeForm(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    StoredLayout::prepareDialog(this);
}
