#include "panels/FavoritenPanel.h"

#include "ui_FavoritenPanel.h"

#include "browserdata/FavoritesListView.h"
#include "controls/ClickSound.h"
#include "dialogs/MyTricks.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/kernel/LogCategories.h"
#include "platform/prefix/FileCalls.h"
#include "platform/shell/RecycleBin.h"

#include <QTextStream>

namespace {

// The texts shown when a link file could not be deleted, and when no trash could take it.
constexpr int LinkNotDeletedText = 198;
constexpr int LinkDeletedForGoodText = 204;

} // namespace

TFavoritenPanel::TFavoritenPanel(QWidget *parent) : QFrame(parent), ui(new Ui::TFavoritenPanel)
{
    ui->setupUi(this);
    TFavoritesListView *list = ui->FavoritesListView1;
    list->ResolveUrl = IntShCut;
    list->Channels = false;
    list->OnURLSelected = [this](QObject *Sender, const QString &Url) {
        FavoritesListView1URLSelected(Sender, Url);
    };
    connect(list, &QAbstractItemView::clicked, this, &TFavoritenPanel::FavoritesListView1Click);
    connect(ui->Label47, &ClickLabel::clicked, this, &TFavoritenPanel::Label47Click);
    connect(ui->Image23, &ClickLabel::clicked, this, &TFavoritenPanel::Label47Click);
    connect(ui->Label49, &ClickLabel::clicked, this, &TFavoritenPanel::Label49Click);
    connect(ui->Image25, &ClickLabel::clicked, this, &TFavoritenPanel::Label49Click);
    connect(ui->Label5, &ClickLabel::clicked, this, &TFavoritenPanel::Label5Click);
    connect(ui->Image22, &ClickLabel::clicked, this, &TFavoritenPanel::Label5Click);
    connect(ui->Label48, &ClickLabel::clicked, this, &TFavoritenPanel::Label48Click);
    connect(ui->Image24, &ClickLabel::clicked, this, &TFavoritenPanel::Label48Click);
    connect(ui->BitBtn4, &QPushButton::clicked, this, &TFavoritenPanel::nextClicked);
    connect(ui->AniIcon4, &TAniIcon::clicked, this, &TFavoritenPanel::logoClicked);
}

// While the program starts, once its start-up window is up: a prefix without a favourites folder
// leaves the list empty instead of stopping the start.
void TFavoritenPanel::FirstFilling()
{
    try {
        ui->FavoritesListView1->Reload();
    } catch (const std::exception &error) {
        qCWarning(lcShell) << "favourites not listed:" << error.what();
    }
}

TFavoritenPanel::~TFavoritenPanel() = default;

TFavoritesListView *TFavoritenPanel::favoritesList() const
{
    return ui->FavoritesListView1;
}

void TFavoritenPanel::FavoritesListView1Click()
{
    PlayClickSound();
    ui->FavoritesListView1->ActivateItem();
}

void TFavoritenPanel::FavoritesListView1URLSelected(QObject *, const QString &Url)
{
    emit linkSelected(ui->FavoritesListView1->focusedCaption(), Url);
}

void TFavoritenPanel::Label47Click()
{
    PlayClickSound();
    ui->FavoritesListView1->GoUp();
}

// Each action on "the link" acts on the entry selected now: a folder is opened instead, and a
// link activated earlier, perhaps in another folder, is left alone.
QString TFavoritenPanel::activateSelectedLink()
{
    TFavoritesListView *list = ui->FavoritesListView1;
    return list->ActivateItem() ? list->LinkFileName : QString();
}

void TFavoritenPanel::Label49Click()
{
    PlayClickSound();
    const QString file = activateSelectedLink();
    if (!file.isEmpty())
        OpenInShell(file);
}

void TFavoritenPanel::Label5Click()
{
    PlayClickSound();
    const QString file = activateSelectedLink();
    if (file.isEmpty())
        return;
    emit editLinkRequested(file);
    ui->FavoritesListView1->Reload();
}

// The link goes to the desktop's trash where there is one, so that a deletion without a question
// can be undone; one removed for good or not at all says so instead of claiming it.
void TFavoritenPanel::Label48Click()
{
    PlayClickSound();
    const QString file = activateSelectedLink();
    if (file.isEmpty())
        return;
    if (win::FileExists(file)) {
        switch (win::RecycleFile(file)) {
        case win::Recycled::ToTrash:
            ShowMessage2(Qutrans::get(133));
            break;
        case win::Recycled::ForGood:
            ShowMessage2(Qutrans::get(LinkDeletedForGoodText));
            break;
        case win::Recycled::NotDeleted:
            QTextStream(stderr) << "navolis: " << file << ": not deleted\n";
            ShowMessage2(Qutrans::get(LinkNotDeletedText));
            break;
        }
    }
    ui->FavoritesListView1->Reload();
}
