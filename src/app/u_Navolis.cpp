#include "app/u_Navolis.h"

#include "app/CommandLine.h"
#include "app/CompanionFiles.h"
#include "app/WindowSet.h"
#include "automation/Automations.h"
#include "automation/ShellLnk.h"
#include "controls/JpegImage.h"
#include "controls/StoredLayout.h"
#include "dialogs/MyTricks.h"
#include "dialogs/u_ShowMessage2.h"
#include "dialogs/u_beschaeftigt.h"
#include "dialogs/u_info.h"
#include "i18n/ApplyTranslations.h"
#include "i18n/LanguageSwitch.h"
#include "i18n/Qutrans.h"
#include "platform/multimedia/Multimedia.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "privacy/u_MruForm.h"
#include "privacy/u_TypedURLs.h"
#include "privacy/u_cookieForm.h"
#include "privacy/u_history.h"
#include "settings/BrowserSettings.h"
#include "shell/BrowseForFolder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>

TForm1::TForm1(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      Timer1(new QTimer(this)), OpenDialog1(new QFileDialog(this)),
      ShellLink1(new TShellLink(this)), BrowseForFolderDialog1(new TBrowseForFolderDialog(this))
{
    setupUi(this);
    StoredLayout::apply(this);
    setFixedSize(size());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    Timer1->setInterval(100);
    Timer1->setSingleShot(false);
    // The information grids take no input, yet read as ordinary text.
    for (QTableWidget *grid : {StringGrid1, StringGrid2}) {
        QPalette palette = grid->palette();
        palette.setColor(QPalette::Disabled, QPalette::Text,
                         palette.color(QPalette::Active, QPalette::Text));
        grid->setPalette(palette);
        grid->setShowGrid(true);
    }
    connectHandlers();
}

void TForm1::connectHandlers()
{
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &TForm1::SpeedButton5Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &TForm1::SpeedButton6Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &TForm1::SpeedButton7Click);
    connect(SpeedButton9, &QToolButton::clicked, this, &TForm1::SpeedButton9Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    connect(BrowsercachePanel, &TBrowsercachePanel::nextClicked, this, &TForm1::BitBtn3Click);
    connect(BrowsercachePanel, &TBrowsercachePanel::logoClicked, this, &TForm1::AniIcon1Click);
    connect(FavoritenPanel, &TFavoritenPanel::nextClicked, this, &TForm1::BitBtn4Click);
    connect(FavoritenPanel, &TFavoritenPanel::logoClicked, this, &TForm1::AniIcon1Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TForm1::BitBtn5Click);
    connect(BitBtn6, &QPushButton::clicked, this, &TForm1::BitBtn6Click);
    connect(BitBtn7, &QPushButton::clicked, this, &TForm1::BitBtn7Click);
    for (TAniIcon *logo : {AniIcon1, AniIcon2, AniIcon5, AniIcon6, AniIcon7})
        connect(logo, &TAniIcon::clicked, this, &TForm1::AniIcon1Click);
    connect(Label1, &ClickLabel::clicked, this, &TForm1::Label1Click);
    connect(Label2, &ClickLabel::clicked, this, &TForm1::Label2Click);
    connect(Label3, &ClickLabel::clicked, this, &TForm1::Label3Click);
    connect(Label9, &ClickLabel::clicked, this, &TForm1::Label3Click);
    connect(Label12, &ClickLabel::clicked, this, &TForm1::Label12Click);
    connect(Label16, &ClickLabel::clicked, this, &TForm1::Label16Click);
    connect(Image13, &ClickLabel::clicked, this, &TForm1::Image13Click);
    connect(Label21, &ClickLabel::clicked, this, &TForm1::Label21Click);
    connect(Label22, &ClickLabel::clicked, this, &TForm1::Label22Click);
    connect(Label23, &ClickLabel::clicked, this, &TForm1::Label23Click);
    connect(Label25, &ClickLabel::clicked, this, &TForm1::Label25Click);
    connect(Label38, &ClickLabel::clicked, this, &TForm1::Label38Click);
    connect(Image17, &ClickLabel::clicked, this, &TForm1::Image17Click);
    connect(ComboBox1, &QComboBox::activated, this, &TForm1::ComboBox1Change);
    // Ticks set by code count as clicks too: loading the choice rewrites the shortcut.
    for (QCheckBox *box : {CheckBox4, CheckBox5, CheckBox6, CheckBox7, CheckBox8, CheckBox9})
        connect(box, &QCheckBox::toggled, this, &TForm1::CheckBox4Click);
    prepareSettingsPanel();
}

QList<QFrame *> TForm1::panels() const
{
    return {WillkommenPanel, SicherheitsPanel, BrowsercachePanel, FavoritenPanel,
            IEPowerPanel,    AutoPanel,        AboutPanel};
}

QList<QToolButton *> TForm1::sideButtons() const
{
    return {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4,
            SpeedButton5, SpeedButton6, SpeedButton7};
}

void TForm1::showPanel(QFrame *panel)
{
    PlayClickSound();
    HideAllPanels();
    panel->setVisible(true);
}

void TForm1::nextPanel(QFrame *panel, QToolButton *sideButton)
{
    showPanel(panel);
    sideButton->setChecked(true);
}

void TForm1::SpeedButton1Click()
{
    showPanel(WillkommenPanel);
}
void TForm1::SpeedButton2Click()
{
    showPanel(SicherheitsPanel);
}

void TForm1::SpeedButton3Click()
{
    showPanel(BrowsercachePanel);
    BrowsercachePanel->FillPanel();
}

void TForm1::SpeedButton4Click()
{
    showPanel(FavoritenPanel);
}
void TForm1::SpeedButton5Click()
{
    showPanel(IEPowerPanel);
}
void TForm1::SpeedButton6Click()
{
    showPanel(AutoPanel);
}
void TForm1::SpeedButton7Click()
{
    showPanel(AboutPanel);
}

void TForm1::SpeedButton9Click()
{
    close();
}

void TForm1::BitBtn1Click()
{
    nextPanel(SicherheitsPanel, SpeedButton2);
}

void TForm1::BitBtn2Click()
{
    SpeedButton3->setChecked(true);
    SpeedButton3Click();
}

void TForm1::BitBtn3Click()
{
    nextPanel(FavoritenPanel, SpeedButton4);
}
void TForm1::BitBtn4Click()
{
    nextPanel(IEPowerPanel, SpeedButton5);
}
void TForm1::BitBtn5Click()
{
    nextPanel(AutoPanel, SpeedButton6);
}
void TForm1::BitBtn6Click()
{
    nextPanel(AboutPanel, SpeedButton7);
}
void TForm1::BitBtn7Click()
{
    nextPanel(WillkommenPanel, SpeedButton1);
}

void TForm1::AniIcon1Click()
{
    OpenInShell(WebSiteAddress);
}

void TForm1::Label1Click()
{
    PlayClickSound();
    RunIfExists(CompanionFiles::forRunningProgram().documentationFile());
}

void TForm1::Label2Click()
{
    PlayClickSound();
    RunIfExists(CompanionFiles::forRunningProgram().helpFile());
}

void TForm1::Label3Click()
{
    PlayClickSound();
    OpenInShell(WebSiteAddress);
}

void TForm1::Label12Click()
{
    PlayClickSound();
    OpenInShell(MailAddress);
}

// The cookies are collected only once the busy display has run its course.
void TForm1::Label16Click()
{
    PlayClickSound();
    hide();
    Form2->runTimedDisplay(Qutrans::get(66), 30);
    CookieForm->exec();
    show();
}

void TForm1::Image13Click()
{
    PlayClickSound();
    SetInfoText(Qutrans::get(67), InfoTopic::Cookies);
    Form5->exec();
}

void TForm1::Label21Click()
{
    PlayClickSound();
    hide();
    HistoryForm->exec();
    show();
}

// The clearing runs while the busy window is up, before its progress starts. Emptied is said
// only when no visit is left; a refusal under a running wineserver repeats the read-only notice.
void TForm1::Label22Click()
{
    PlayClickSound();
    hide();
    Form2->showWorkDisplay(Qutrans::get(91), 40);
    const bool noticeBefore = ReadOnlyNotice::wasGiven();
    const bool cleared = ClearBrowserHistory();
    Form2->finishTimedDisplay();
    show();
    if (cleared)
        ShowMessage2(Qutrans::get(92));
    else if (noticeBefore)
        ShowMessage2(Qutrans::get(196));
}

// The typed addresses go first; the busy display that follows only gives the user a moment.
void TForm1::Label23Click()
{
    PlayClickSound();
    const TypedUrlDeletion deletion = DeleteTypedUrls(ListBox1);
    hide();
    Form2->runTimedDisplay(Qutrans::get(66), 12);
    show();
    ReportTypedUrlDeletion(deletion);
}

void TForm1::Label25Click()
{
    PlayClickSound();
    hide();
    TypedURLsForm->exec();
    show();
}

void TForm1::Label38Click()
{
    PlayClickSound();
    hide();
    MruForm->exec();
    show();
}

void TForm1::Image17Click()
{
    PlayClickSound();
    SetInfoText(Qutrans::get(68), InfoTopic::TypedUrls);
    Form5->exec();
}

void TForm1::ComboBox1Change()
{
    const QString picked = ComboBox1->currentText();
    if (picked.toUpper() == Qutrans::get(0).toUpper())
        return;
    SwitchLanguage(picked);
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
    SpeedButton9->setVisible(true);
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
    fillLanguageBox();
    showPresenterPicture();
    LoadBrowserSettings();
    LoadAutomationChoices();
    WillkommenPanel->setVisible(true);
}

void TForm1::fillLanguageBox()
{
    int selected = 0;
    const QString current = Qutrans::GetLanguage();
    for (int i = 0; i < Qutrans::CountLang(); ++i) {
        const QString name = Qutrans::AvailableLanguages(i);
        ComboBox1->addItem(name);
        if (name.compare(current, Qt::CaseInsensitive) == 0)
            selected = i;
    }
    ComboBox1->setCurrentIndex(ComboBox1->count() > 0 ? selected : -1);
}

void TForm1::showPresenterPicture()
{
    const QString path = CompanionFiles::forRunningProgram().presenterPicture();
    if (!QFileInfo::exists(path))
        return;
    const QImage picture = loadJpegImage(path);
    if (picture.isNull())
        return;
    Image1->setPixmap(QPixmap::fromImage(picture));
    Label39->setVisible(true);
}
