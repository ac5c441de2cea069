#include "settings/u_ChangeStartPageForm.h"

#include "app/Navigation.h"
#include "controls/StoredLayout.h"
#include "settings/BrowserSettings.h"

TChangeStartPageForm::TChangeStartPageForm(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    StoredLayout::prepareDialog(this);
    connect(Label5, &ClickLabel::clicked, this, &TChangeStartPageForm::Label5Click);
    connect(Label4, &ClickLabel::clicked, this, &TChangeStartPageForm::Label4Click);
}

void TChangeStartPageForm::Label5Click()
{
    PlayClickSound();
    close();
}

void TChangeStartPageForm::Label4Click()
{
    PlayClickSound();
    Edit1->setText(BrowserSettingsSnapshot.startPage);
    close();
}
