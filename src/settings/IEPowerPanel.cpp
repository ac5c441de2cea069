// The main window's browser settings panel.
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
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

void saveAndReload()
{
    SaveBrowserSettings();
    LoadBrowserSettings();
}

void showInfo(int text, InfoTopic topic)
{
    PlayClickSound();
    SetInfoText(Qutrans::get(text), topic);
    Form5->exec();
}

} // namespace

void TForm1::prepareSettingsPanel()
{
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setNameFilters({QStringLiteral("*.exe (*.exe *.com)"), QStringLiteral("*.* (*)")});
    OpenDialog1->setDefaultSuffix(QStringLiteral("exe"));
    connect(Label50, &ClickLabel::clicked, this, &TForm1::Label50Click);
    connect(Label46, &ClickLabel::clicked, this, &TForm1::Label46Click);
    connect(Label61, &ClickLabel::clicked, this, &TForm1::Label61Click);
    connect(Label60, &ClickLabel::clicked, this, &TForm1::Label60Click);
    connect(Label53, &ClickLabel::clicked, this, &TForm1::Label53Click);
    // The picker as the window stores it: started at a path, without an extra control.
    BrowseForFolderDialog1->Title = QStringLiteral("Please select your Download-Folder:");
    BrowseForFolderDialog1->SetStartupFolder(bfCustomPath);
    BrowseForFolderDialog1->SetCustomButtonType(bfbNone);
    BrowseForFolderDialog1->SetCustomButtonChecked(false);
    // Clicks only: the boxes set by a load must not save.
    connect(CheckBox1, &QCheckBox::clicked, this, &TForm1::CheckBox1Click);
    connect(CheckBox3, &QCheckBox::clicked, this, &TForm1::CheckBox3Click);
    connect(Image36, &ClickLabel::clicked, this, &TForm1::Image36Click);
    connect(Image40, &ClickLabel::clicked, this, &TForm1::Image40Click);
    connect(Image37, &ClickLabel::clicked, this, &TForm1::Image37Click);
}

void TForm1::Label50Click()
{
    PlayClickSound();
    OpenInShell(Label50->text());
}

// Closing the window in any way keeps what its edit box holds; discarding restored it there.
void TForm1::Label46Click()
{
    PlayClickSound();
    ChangeStartPageForm->Edit1->setText(BrowserSettingsSnapshot.startPage);
    ChangeStartPageForm->exec();
    StoredLayout::setCaption(Label50, ChangeStartPageForm->Edit1->text());
    saveAndReload();
}

// The editor is a Windows path of the prefix.
void TForm1::Label61Click()
{
    PlayClickSound();
    RunIfExists(DosPaths::toHostPath(Prefix::current(), Label61->text()));
}

void TForm1::Label60Click()
{
    PlayClickSound();
    const Prefix prefix = Prefix::current();
    OpenDialog1->setDirectory(DosPaths::toHostPath(prefix, QStringLiteral("C:\\")));
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
        return;
    const QString chosen = OpenDialog1->selectedFiles().constFirst();
    StoredLayout::setCaption(Label61, DosPaths::toWindowsPath(prefix, chosen));
    saveAndReload();
}

// The folder is the Windows path of the prefix's folder: the picker's roots are its drives.
void TForm1::Label53Click()
{
    PlayClickSound();
    if (!BrowseForFolderDialog1->Browse())
        return;
    StoredLayout::setCaption(Label54, BrowseForFolderDialog1->SelectedPath());
    saveAndReload();
}

void TForm1::CheckBox1Click()
{
    PlayClickSound();
    saveAndReload();
}

void TForm1::CheckBox3Click()
{
    PlayClickSound();
    saveAndReload();
}

void TForm1::Image36Click()
{
    showInfo(154, InfoTopic::DownloadNotice);
}

void TForm1::Image40Click()
{
    showInfo(155, InfoTopic::PrintBackgrounds);
}

void TForm1::Image37Click()
{
    PlayClickSound();
    Form6->exec();
}
