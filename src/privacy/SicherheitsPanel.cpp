#include "privacy/SicherheitsPanel.h"

#include "ui_SicherheitsPanel.h"

#include "app/WindowSet.h"
#include "controls/ClickSound.h"
#include "dialogs/u_ShowMessage2.h"
#include "dialogs/u_beschaeftigt.h"
#include "dialogs/u_info.h"
#include "i18n/Qutrans.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "privacy/u_MruForm.h"
#include "privacy/u_TypedURLs.h"
#include "privacy/u_cookieForm.h"
#include "privacy/u_history.h"

TSicherheitsPanel::TSicherheitsPanel(QWidget *parent)
    : QFrame(parent), ui(new Ui::TSicherheitsPanel)
{
    ui->setupUi(this);
    connect(ui->Label16, &ClickLabel::clicked, this, &TSicherheitsPanel::Label16Click);
    connect(ui->Image13, &ClickLabel::clicked, this, &TSicherheitsPanel::Image13Click);
    connect(ui->Label21, &ClickLabel::clicked, this, &TSicherheitsPanel::Label21Click);
    connect(ui->Label22, &ClickLabel::clicked, this, &TSicherheitsPanel::Label22Click);
    connect(ui->Label23, &ClickLabel::clicked, this, &TSicherheitsPanel::Label23Click);
    connect(ui->Label25, &ClickLabel::clicked, this, &TSicherheitsPanel::Label25Click);
    connect(ui->Label38, &ClickLabel::clicked, this, &TSicherheitsPanel::Label38Click);
    connect(ui->Image17, &ClickLabel::clicked, this, &TSicherheitsPanel::Image17Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TSicherheitsPanel::nextClicked);
    connect(ui->AniIcon2, &TAniIcon::clicked, this, &TSicherheitsPanel::logoClicked);
}

TSicherheitsPanel::~TSicherheitsPanel() = default;

// The main window steps aside while one of the list windows or the busy display is up.

// The cookies are collected only once the busy display has run its course.
void TSicherheitsPanel::Label16Click()
{
    PlayClickSound();
    window()->hide();
    Form2->runTimedDisplay(Qutrans::get(66), 30);
    CookieForm->exec();
    window()->show();
}

void TSicherheitsPanel::Image13Click()
{
    PlayClickSound();
    SetInfoText(Qutrans::get(67), InfoTopic::Cookies);
    Form5->exec();
}

void TSicherheitsPanel::Label21Click()
{
    PlayClickSound();
    window()->hide();
    HistoryForm->exec();
    window()->show();
}

// The clearing runs while the busy window is up, before its progress starts. Emptied is said
// only when no visit is left; a refusal under a running wineserver repeats the read-only notice,
// and any other failure says that the clean-up did not finish.
void TSicherheitsPanel::Label22Click()
{
    PlayClickSound();
    window()->hide();
    Form2->showWorkDisplay(Qutrans::get(91), 40);
    const bool noticeBefore = ReadOnlyNotice::wasGiven();
    const bool cleared = ClearBrowserHistory();
    Form2->finishTimedDisplay();
    window()->show();
    if (cleared)
        ShowMessage2(Qutrans::get(92));
    else if (noticeBefore)
        ShowMessage2(Qutrans::get(196));
    else if (!ReadOnlyNotice::wasGiven())
        ShowMessage2(Qutrans::get(197));
}

// The typed addresses go first; the busy display that follows only gives the user a moment.
void TSicherheitsPanel::Label23Click()
{
    PlayClickSound();
    const TypedUrlDeletion deletion = DeleteTypedUrls();
    window()->hide();
    Form2->runTimedDisplay(Qutrans::get(66), 12);
    window()->show();
    ReportTypedUrlDeletion(deletion);
}

void TSicherheitsPanel::Label25Click()
{
    PlayClickSound();
    window()->hide();
    TypedURLsForm->exec();
    window()->show();
}

void TSicherheitsPanel::Label38Click()
{
    PlayClickSound();
    window()->hide();
    MruForm->exec();
    window()->show();
}

void TSicherheitsPanel::Image17Click()
{
    PlayClickSound();
    SetInfoText(Qutrans::get(68), InfoTopic::TypedUrls);
    Form5->exec();
}
