#include "settings/u_autocomplete.h"

#include "ui_u_autocomplete.h"

#include "app/WindowSet.h"
#include "controls/ClickSound.h"
#include "controls/StoredLayout.h"
#include "dialogs/u_info.h"
#include "i18n/Qutrans.h"
#include "settings/BrowserSettings.h"

TForm6::TForm6(QWidget *parent) : QDialog(parent), ui(new Ui::TForm6)
{
    ui->setupUi(this);
    StoredLayout::prepareDialog(this);
    // Clicks only: the boxes set by a load must not save.
    for (QCheckBox *box : {ui->CheckBox2, ui->CheckBox1, ui->CheckBox3})
        connect(box, &QCheckBox::clicked, this, &TForm6::CheckBox2Click);
    connect(ui->Image38, &ClickLabel::clicked, this, &TForm6::Image38Click);
    connect(ui->Image4, &ClickLabel::clicked, this, &TForm6::Image4Click);
    connect(ui->BitBtn5, &QPushButton::clicked, this, &TForm6::BitBtn5Click);
}

TForm6::~TForm6() = default;

void TForm6::ShowSwitches(const ShownBrowserSettings &settings)
{
    ui->CheckBox2->setChecked(settings.autoSuggest);
    ui->CheckBox1->setChecked(settings.formSuggestPasswords);
    ui->CheckBox3->setChecked(settings.useFormSuggest);
}

void TForm6::TakeSwitches(ShownBrowserSettings &settings) const
{
    settings.autoSuggest = ui->CheckBox2->isChecked();
    settings.formSuggestPasswords = ui->CheckBox1->isChecked();
    settings.useFormSuggest = ui->CheckBox3->isChecked();
}

void TForm6::CheckBox2Click()
{
    PlayClickSound();
    SaveAndReloadBrowserSettings();
}

void TForm6::Image38Click()
{
    PlayClickSound();
    SetInfoText(Qutrans::get(153), InfoTopic::AddressAutocomplete);
    Form5->exec();
}

void TForm6::Image4Click()
{
    PlayClickSound();
    SetInfoText(Qutrans::get(194), InfoTopic::FormAutocomplete);
    Form5->exec();
}

void TForm6::BitBtn5Click()
{
    PlayClickSound();
    close();
}
