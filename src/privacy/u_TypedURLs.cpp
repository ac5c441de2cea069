#include "privacy/u_TypedURLs.h"

#include "ui_u_TypedURLs.h"

#include "app/Automations.h"
#include "app/WindowSet.h"
#include "cleanup/Cleaners.h"
#include "controls/ClickSound.h"
#include "controls/StoredLayout.h"
#include "dialogs/MyTricks.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/kernel/LogCategories.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/registry/KeyPaths.h"
#include "platform/registry/KeyValues.h"
#include "platform/registry/TRegistry.h"

#include <QCoreApplication>
#include <QTimer>

const QString TypedUrlsKey = KeyPaths::TypedUrls;

TTypedURLsForm::TTypedURLsForm(QWidget *parent)
    : QDialog(parent), Timer1(new QTimer(this)), ui(new Ui::TTypedURLsForm)
{
    ui->setupUi(this);
    StoredLayout::prepareDialog(this);
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, &TTypedURLsForm::Timer1Timer);
    connect(ui->Label6, &ClickLabel::clicked, this, &TTypedURLsForm::Label6Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TTypedURLsForm::BitBtn1Click);
}

TTypedURLsForm::~TTypedURLsForm() = default;

void TTypedURLsForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

// The window comes up empty and is filled a moment later.
void TTypedURLsForm::FormShow()
{
    ui->ListBox1->clear();
    Timer1->start();
}

// A value that is not a string ends the listing: the addresses before it stay listed.
void TTypedURLsForm::Timer1Timer()
{
    Timer1->stop();
    ui->ListBox1->clear();
    ui->ListBox2->clear();
    try {
        TRegistry registry;
        if (registry.OpenKey(TypedUrlsKey, true)) {
            QStringList names;
            registry.GetValueNames(names);
            ui->ListBox1->addItems(names);
            for (const QString &name : names)
                ui->ListBox2->addItem(registry.ReadString(name));
        }
    } catch (...) {
        logIgnoredException(lcRegistry(), "listing the typed addresses");
    }
    if (ui->ListBox2->count() == 0) {
        ShowMessage2(Qutrans::get(98));
        BitBtn1Click();
    }
}

void TTypedURLsForm::Label6Click()
{
    emit deletionRequested();
    close();
}

void TTypedURLsForm::BitBtn1Click()
{
    close();
}

TypedUrlDeletion DeleteTypedUrls()
{
    const bool noticeBefore = ReadOnlyNotice::wasGiven();
    const ValueDeletion values = DeleteAllValues(TypedUrlsKey);
    TypedUrlDeletion deletion;
    deletion.complete = values.complete;
    deletion.noticeGiven = !noticeBefore && ReadOnlyNotice::wasGiven();
    return deletion;
}

void ReportTypedUrlDeletion(const TypedUrlDeletion &deletion)
{
    if (deletion.complete)
        ShowMessage2(Qutrans::get(97));
    else if (!deletion.noticeGiven && ReadOnlyNotice::wasGiven())
        ShowMessage2(Qutrans::get(196));
    else if (!ReadOnlyNotice::wasGiven())
        ShowMessage2(Qutrans::get(197)); // refused for another reason: the file, a damaged hive
}

bool ClearTypedUrls()
{
    ProcessMessages(3);
    const bool complete =
        cleanup::cleanerFor(QLatin1Char('e'))->run(cleanup::Mode::Clean, {}).done();
    ProcessMessages();
    return complete;
}
