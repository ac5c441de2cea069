#include "settings/u_ChangeStartPageForm.h"

#include "controls/StoredLayout.h"

TChangeStartPageForm::TChangeStartPageForm(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    StoredLayout::prepareDialog(this);
}
