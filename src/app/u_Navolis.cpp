#include "app/u_Navolis.h"

#include "ui_u_Navolis.h"

#include "app/Automations.h"
#include "app/CommandLine.h"
#include "app/Navigation.h"
#include "app/PrefixBar.h"
#include "app/WindowSet.h"
#include "automation/AutoPanel.h"
#include "automation/ShellLnk.h"
#include "browserdata/FavoritesListView.h"
#include "controls/ClickSound.h"
#include "controls/StoredLayout.h"
#include "dialogs/MyTricks.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/ApplyTranslations.h"
#include "i18n/Qutrans.h"
#include "panels/AboutPanel.h"
#include "panels/BrowsercachePanel.h"
#include "panels/FavoritenPanel.h"
#include "panels/WillkommenPanel.h"
#include "platform/kernel/LogCategories.h"
#include "platform/prefix/Prefix.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/prefix/WineServer.h"
#include "platform/registry/Registry.h"
#include "privacy/SicherheitsPanel.h"
#include "settings/BrowserSettings.h"
#include "settings/IEPowerPanel.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

TForm1::TForm1(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      Timer1(new QTimer(this)), ShellLink1(new TShellLink(this)), PrefixBar1(new TPrefixBar(this)),
      ui(new Ui::TForm1)
{
    ui->setupUi(this);
    StoredLayout::apply(this);
    // The prefix strip goes below the stored layout, which keeps its size.
    constexpr int strip = 30;
    PrefixBar1->setGeometry(0, height(), width(), strip);
    setFixedSize(width(), height() + strip);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    Timer1->setInterval(100);
    Timer1->setSingleShot(false);
    connectHandlers();
    QList<QAbstractButton *> column;
    for (QToolButton *button : sideButtons())
        column << button;
    MoveAlongColumnByArrows(column << ui->SpeedButton9);
}

TForm1::~TForm1() = default;

// Each panel's "weiter" button and logo come back here; the navigation is the main window's.
template <class Panel>
static void connectNavigation(TForm1 *window, Panel *panel, void (TForm1::*next)())
{
    QObject::connect(panel, &Panel::nextClicked, window, next);
    QObject::connect(panel, &Panel::logoClicked, window, &TForm1::AniIcon1Click);
}

void TForm1::connectHandlers()
{
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(PrefixBar1, &TPrefixBar::prefixChosen, this, &TForm1::switchPrefix);
    connect(ui->SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(ui->SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(ui->SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
    connect(ui->SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
    connect(ui->SpeedButton5, &QToolButton::clicked, this, &TForm1::SpeedButton5Click);
    connect(ui->SpeedButton6, &QToolButton::clicked, this, &TForm1::SpeedButton6Click);
    connect(ui->SpeedButton7, &QToolButton::clicked, this, &TForm1::SpeedButton7Click);
    connect(ui->SpeedButton9, &QToolButton::clicked, this, &TForm1::SpeedButton9Click);
    connectNavigation(this, ui->WillkommenPanel, &TForm1::BitBtn1Click);
    connectNavigation(this, ui->SicherheitsPanel, &TForm1::BitBtn2Click);
    connectNavigation(this, ui->BrowsercachePanel, &TForm1::BitBtn3Click);
    connectNavigation(this, ui->FavoritenPanel, &TForm1::BitBtn4Click);
    connectNavigation(this, ui->IEPowerPanel, &TForm1::BitBtn5Click);
    connectNavigation(this, ui->AutoPanel, &TForm1::BitBtn6Click);
    connectNavigation(this, ui->AboutPanel, &TForm1::BitBtn7Click);
}

QList<QFrame *> TForm1::panels() const
{
    return {ui->WillkommenPanel, ui->SicherheitsPanel, ui->BrowsercachePanel, ui->FavoritenPanel,
            ui->IEPowerPanel,    ui->AutoPanel,        ui->AboutPanel};
}

QList<QToolButton *> TForm1::sideButtons() const
{
    return {ui->SpeedButton1, ui->SpeedButton2, ui->SpeedButton3, ui->SpeedButton4,
            ui->SpeedButton5, ui->SpeedButton6, ui->SpeedButton7};
}

TWillkommenPanel *TForm1::willkommenPanel() const
{
    return ui->WillkommenPanel;
}
TSicherheitsPanel *TForm1::sicherheitsPanel() const
{
    return ui->SicherheitsPanel;
}
TBrowsercachePanel *TForm1::browsercachePanel() const
{
    return ui->BrowsercachePanel;
}
TFavoritenPanel *TForm1::favoritenPanel() const
{
    return ui->FavoritenPanel;
}
TIEPowerPanel *TForm1::iePowerPanel() const
{
    return ui->IEPowerPanel;
}
TAutoPanel *TForm1::autoPanel() const
{
    return ui->AutoPanel;
}
TAboutPanel *TForm1::aboutPanel() const
{
    return ui->AboutPanel;
}

// A "weiter" that had the focus hands it on to the next panel's, where a click leaves the mouse.
void TForm1::showPanel(QFrame *panel)
{
    const bool weiterFocused = qobject_cast<QPushButton *>(focusWidget()) != nullptr;
    PlayClickSound();
    HideAllPanels();
    panel->setVisible(true);
    if (auto *next = panel->findChild<QPushButton *>(QString(), Qt::FindDirectChildrenOnly);
        next && weiterFocused)
        next->setFocus(Qt::OtherFocusReason);
}

void TForm1::nextPanel(QFrame *panel, QToolButton *sideButton)
{
    showPanel(panel);
    sideButton->setChecked(true);
}

void TForm1::SpeedButton1Click()
{
    showPanel(ui->WillkommenPanel);
}
void TForm1::SpeedButton2Click()
{
    showPanel(ui->SicherheitsPanel);
}

void TForm1::SpeedButton3Click()
{
    showPanel(ui->BrowsercachePanel);
    ui->BrowsercachePanel->FillPanel();
}

void TForm1::SpeedButton4Click()
{
    showPanel(ui->FavoritenPanel);
}
void TForm1::SpeedButton5Click()
{
    showPanel(ui->IEPowerPanel);
}
void TForm1::SpeedButton6Click()
{
    showPanel(ui->AutoPanel);
}
void TForm1::SpeedButton7Click()
{
    showPanel(ui->AboutPanel);
}

void TForm1::SpeedButton9Click()
{
    close();
}

void TForm1::BitBtn1Click()
{
    nextPanel(ui->SicherheitsPanel, ui->SpeedButton2);
}

void TForm1::BitBtn2Click()
{
    ui->SpeedButton3->setChecked(true);
    SpeedButton3Click();
}

void TForm1::BitBtn3Click()
{
    nextPanel(ui->FavoritenPanel, ui->SpeedButton4);
}
void TForm1::BitBtn4Click()
{
    nextPanel(ui->IEPowerPanel, ui->SpeedButton5);
}
void TForm1::BitBtn5Click()
{
    nextPanel(ui->AutoPanel, ui->SpeedButton6);
}
void TForm1::BitBtn6Click()
{
    nextPanel(ui->AboutPanel, ui->SpeedButton7);
}
void TForm1::BitBtn7Click()
{
    nextPanel(ui->WillkommenPanel, ui->SpeedButton1);
}

void TForm1::AniIcon1Click()
{
    OpenInShell(WebSiteAddress);
}

// Restoring from the task bar is not a showing of the window.
void TForm1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    FormShow();
}

void TForm1::FormShow()
{
    ui->SpeedButton9->setVisible(true);
    if (CommandLine::arguments().size() == 1)
        RunAutomaticCleanup();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    m_closeRequested = true;
    QCoreApplication::quit();
}

void TForm1::Timer1Timer()
{
    Timer1->stop();
    ui->AboutPanel->FillLanguageBox();
    ui->WillkommenPanel->ShowPresenterPicture();
    LoadBrowserSettings();
    LoadAutomationChoices();
    PrefixBar1->fill(prefixes::discover(), Prefix::target().root());
    ui->WillkommenPanel->setVisible(true);
}

void TForm1::switchPrefix(const QString &root)
{
    if (root == Prefix::target().root())
        return;
    Prefix::setChosen(Prefix(root));
    ReadOnlyNotice::reset();
    if (win::UserHiveIsDamaged()) {
        refuseWritesTo(root);
        ShowMessage2(Qutrans::get(201) + QLatin1Char('\r') + QDir::toNativeSeparators(root));
    }
    TFavoritesListView *favourites = ui->FavoritenPanel->favoritesList();
    try {
        favourites->Reload();
    } catch (const std::exception &error) {
        favourites->ClearItems();
        qCWarning(lcShell) << "favourites not listed:" << error.what();
    }
    LoadBrowserSettings();
    LoadAutomationChoices();
    // The cache panel reads its prefix whenever it is shown.
    if (ui->BrowsercachePanel->isVisible())
        ui->BrowsercachePanel->FillPanel();
}
