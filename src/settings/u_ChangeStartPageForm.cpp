#include "settings/u_ChangeStartPageForm.h"

#include "ui_u_ChangeStartPageForm.h"

#include "controls/ClickSound.h"
#include "controls/StoredLayout.h"
#include "settings/BrowserSettings.h"

TChangeStartPageForm::TChangeStartPageForm(QWidget *parent)
    : QDialog(parent), ui(new Ui::TChangeStartPageForm)
{
    ui->setupUi(this);
    StoredLayout::prepareDialog(this);
    // "Web address:" names the edit box to assistive technology.
    ui->Label3->setBuddy(ui->Edit1);
    connect(ui->Label5, &ClickLabel::clicked, this, &TChangeStartPageForm::Label5Click);
    connect(ui->Label4, &ClickLabel::clicked, this, &TChangeStartPageForm::Label4Click);
}

TChangeStartPageForm::~TChangeStartPageForm() = default;

void TChangeStartPageForm::SetStartPage(const QString &address)
{
    ui->Edit1->setText(address);
}

QString TChangeStartPageForm::StartPage() const
{
    return ui->Edit1->text();
}

void TChangeStartPageForm::Label5Click()
{
    PlayClickSound();
    close();
}

void TChangeStartPageForm::Label4Click()
{
    PlayClickSound();
    ui->Edit1->setText(BrowserSettingsSnapshot.startPage);
    close();
}
