#include "panels/AboutPanel.h"

#include "ui_AboutPanel.h"

#include "controls/ClickSound.h"
#include "dialogs/MyTricks.h"
#include "i18n/ApplyTranslations.h"
#include "i18n/LanguageSwitch.h"
#include "i18n/Qutrans.h"

TAboutPanel::TAboutPanel(QWidget *parent) : QFrame(parent), ui(new Ui::TAboutPanel)
{
    ui->setupUi(this);
    // The information grids take no input, yet read as ordinary text.
    for (QTableWidget *grid : {ui->StringGrid1, ui->StringGrid2}) {
        QPalette palette = grid->palette();
        palette.setColor(QPalette::Disabled, QPalette::Text,
                         palette.color(QPalette::Active, QPalette::Text));
        grid->setPalette(palette);
        grid->setShowGrid(true);
    }
    connect(ui->Label9, &ClickLabel::clicked, this, &TAboutPanel::Label9Click);
    connect(ui->Label12, &ClickLabel::clicked, this, &TAboutPanel::Label12Click);
    connect(ui->ComboBox1, &QComboBox::activated, this, &TAboutPanel::ComboBox1Change);
    connect(ui->BitBtn7, &QPushButton::clicked, this, &TAboutPanel::nextClicked);
    connect(ui->AniIcon7, &TAniIcon::clicked, this, &TAboutPanel::logoClicked);
}

TAboutPanel::~TAboutPanel() = default;

void TAboutPanel::Label9Click()
{
    PlayClickSound();
    OpenInShell(WebSiteAddress);
}

void TAboutPanel::Label12Click()
{
    PlayClickSound();
    OpenInShell(MailAddress);
}

void TAboutPanel::ComboBox1Change()
{
    const QString picked = ui->ComboBox1->currentText();
    if (picked.toUpper() == Qutrans::get(0).toUpper())
        return;
    SwitchLanguage(picked);
}

void TAboutPanel::FillLanguageBox()
{
    int selected = 0;
    const QString current = Qutrans::GetLanguage();
    for (int i = 0; i < Qutrans::CountLang(); ++i) {
        const QString name = Qutrans::AvailableLanguages(i);
        ui->ComboBox1->addItem(name);
        if (name.compare(current, Qt::CaseInsensitive) == 0)
            selected = i;
    }
    ui->ComboBox1->setCurrentIndex(ui->ComboBox1->count() > 0 ? selected : -1);
}
