#include "settings/u_autocomplete.h"

#include "app/Navigation.h"
#include "app/WindowSet.h"
#include "controls/StoredLayout.h"
#include "dialogs/u_info.h"
#include "i18n/Qutrans.h"
#include "settings/BrowserSettings.h"

TForm6::TForm6(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    StoredLayout::prepareDialog(this);
    // Clicks only: the boxes set by a load must not save.
    for (QCheckBox *box : {CheckBox2, CheckBox1, CheckBox3})
        connect(box, &QCheckBox::clicked, this, &TForm6::CheckBox2Click);
    connect(Image38, &ClickLabel::clicked, this, &TForm6::Image38Click);
    connect(Image4, &ClickLabel::clicked, this, &TForm6::Image4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TForm6::BitBtn5Click);
}

void TForm6::CheckBox2Click()
{
    PlayClickSound();
    SaveBrowserSettings();
    LoadBrowserSettings();
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
