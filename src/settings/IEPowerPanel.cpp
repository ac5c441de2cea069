#include "settings/IEPowerPanel.h"

#include "ui_IEPowerPanel.h"

#include "app/WindowSet.h"
#include "controls/ClickSound.h"
#include "controls/StoredLayout.h"
#include "dialogs/MyTricks.h"
#include "dialogs/u_info.h"
#include "i18n/Qutrans.h"
#include "platform/prefix/DosPaths.h"
#include "settings/BrowserSettings.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings/u_autocomplete.h"
#include "shell/BrowseForFolder.h"

#include <QFileDialog>

namespace {

void showInfo(int text, InfoTopic topic)
{
    PlayClickSound();
    SetInfoText(Qutrans::get(text), topic);
    Form5->exec();
}

} // namespace

TIEPowerPanel::TIEPowerPanel(QWidget *parent)
    : QFrame(parent), OpenDialog1(new QFileDialog(this)),
      BrowseForFolderDialog1(new TBrowseForFolderDialog(this)), ui(new Ui::TIEPowerPanel)
{
    ui->setupUi(this);
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setNameFilters({QStringLiteral("*.exe (*.exe *.com)"), QStringLiteral("*.* (*)")});
    OpenDialog1->setDefaultSuffix(QStringLiteral("exe"));
    connect(ui->Label50, &ClickLabel::clicked, this, &TIEPowerPanel::Label50Click);
    connect(ui->Label46, &ClickLabel::clicked, this, &TIEPowerPanel::Label46Click);
    connect(ui->Label61, &ClickLabel::clicked, this, &TIEPowerPanel::Label61Click);
    connect(ui->Label60, &ClickLabel::clicked, this, &TIEPowerPanel::Label60Click);
    connect(ui->Label53, &ClickLabel::clicked, this, &TIEPowerPanel::Label53Click);
    // The picker as the window stores it: started at a path, without an extra control.
    BrowseForFolderDialog1->Title = QStringLiteral("Please select your Download-Folder:");
    BrowseForFolderDialog1->SetStartupFolder(bfCustomPath);
    BrowseForFolderDialog1->SetCustomButtonType(bfbNone);
    BrowseForFolderDialog1->SetCustomButtonChecked(false);
    // Clicks only: the boxes set by a load must not save.
    connect(ui->CheckBox1, &QCheckBox::clicked, this, &TIEPowerPanel::CheckBox1Click);
    connect(ui->CheckBox3, &QCheckBox::clicked, this, &TIEPowerPanel::CheckBox3Click);
    connect(ui->Image36, &ClickLabel::clicked, this, &TIEPowerPanel::Image36Click);
    connect(ui->Image40, &ClickLabel::clicked, this, &TIEPowerPanel::Image40Click);
    connect(ui->Image37, &ClickLabel::clicked, this, &TIEPowerPanel::Image37Click);
    connect(ui->BitBtn5, &QPushButton::clicked, this, &TIEPowerPanel::nextClicked);
    connect(ui->AniIcon5, &TAniIcon::clicked, this, &TIEPowerPanel::logoClicked);
}

TIEPowerPanel::~TIEPowerPanel() = default;

void TIEPowerPanel::ShowSettings(const ShownBrowserSettings &settings)
{
    StoredLayout::setCaption(ui->Label50, settings.startPage);
    StoredLayout::setCaption(ui->Label61, settings.htmlEditor);
    StoredLayout::setCaption(ui->Label54, settings.downloadFolder);
    ui->CheckBox1->setChecked(settings.notifyDownloadComplete);
    ui->CheckBox3->setChecked(settings.printBackground);
    BrowseForFolderDialog1->SetStartupPath(ui->Label54->text());
}

ShownBrowserSettings TIEPowerPanel::ShownSettings() const
{
    ShownBrowserSettings settings;
    settings.startPage = ui->Label50->text();
    settings.htmlEditor = ui->Label61->text();
    settings.downloadFolder = ui->Label54->text();
    settings.notifyDownloadComplete = ui->CheckBox1->isChecked();
    settings.printBackground = ui->CheckBox3->isChecked();
    return settings;
}

void TIEPowerPanel::Label50Click()
{
    PlayClickSound();
    OpenInShell(ui->Label50->text());
}

// Closing the window in any way keeps what its edit box holds; discarding restored it there.
void TIEPowerPanel::Label46Click()
{
    PlayClickSound();
    ChangeStartPageForm->SetStartPage(BrowserSettingsSnapshot.startPage);
    ChangeStartPageForm->exec();
    StoredLayout::setCaption(ui->Label50, ChangeStartPageForm->StartPage());
    SaveAndReloadBrowserSettings();
}

// The editor is a Windows path of the prefix.
void TIEPowerPanel::Label61Click()
{
    PlayClickSound();
    RunIfExists(DosPaths::toHostPath(Prefix::target(), ui->Label61->text()));
}

void TIEPowerPanel::Label60Click()
{
    PlayClickSound();
    const Prefix prefix = Prefix::target();
    OpenDialog1->setDirectory(DosPaths::toHostPath(prefix, QStringLiteral("C:\\")));
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
        return;
    const QString chosen = OpenDialog1->selectedFiles().constFirst();
    StoredLayout::setCaption(ui->Label61, DosPaths::toWindowsPath(prefix, chosen));
    SaveAndReloadBrowserSettings();
}

// The folder is the Windows path of the prefix's folder: the picker's roots are its drives.
void TIEPowerPanel::Label53Click()
{
    PlayClickSound();
    if (!BrowseForFolderDialog1->Browse())
        return;
    StoredLayout::setCaption(ui->Label54, BrowseForFolderDialog1->SelectedPath());
    SaveAndReloadBrowserSettings();
}

void TIEPowerPanel::CheckBox1Click()
{
    PlayClickSound();
    SaveAndReloadBrowserSettings();
}

void TIEPowerPanel::CheckBox3Click()
{
    PlayClickSound();
    SaveAndReloadBrowserSettings();
}

void TIEPowerPanel::Image36Click()
{
    showInfo(154, InfoTopic::DownloadNotice);
}

void TIEPowerPanel::Image40Click()
{
    showInfo(155, InfoTopic::PrintBackgrounds);
}

void TIEPowerPanel::Image37Click()
{
    PlayClickSound();
    Form6->exec();
}
