#include "privacy/u_MruForm.h"

#include "ui_u_MruForm.h"

#include "app/Automations.h"
#include "app/WindowSet.h"
#include "cleanup/Cleaners.h"
#include "controls/ClickSound.h"
#include "controls/StoredLayout.h"
#include "dialogs/MyTricks.h"
#include "dialogs/u_ShowMessage2.h"
#include "dialogs/u_beschaeftigt.h"
#include "i18n/Qutrans.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/LogCategories.h"
#include "platform/prefix/FileCalls.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/registry/KeyPaths.h"
#include "platform/registry/KeyValues.h"
#include "platform/registry/TRegistry.h"
#include "platform/registry/UserStrings.h"
#include "platform/shell/RecentDocs.h"
#include "platform/shell/ShellFolders.h"

#include <QCoreApplication>
#include <QTimer>

const QString RunMruKey = KeyPaths::RunMru;

namespace {

const QString ShellFoldersKey = KeyPaths::ShellFolders;

bool isOrderValue(const QString &name)
{
    return name.compare(QLatin1String("MRULIST"), Qt::CaseInsensitive) == 0;
}

// The shell stores each command with two characters of its own after it.
QString commandOf(const QString &stored)
{
    return stored.left(qMax(0, stored.size() - 2));
}

} // namespace

TMruForm::TMruForm(QWidget *parent)
    : QDialog(parent), leerTimer(new QTimer(this)), ui(new Ui::TMruForm)
{
    ui->setupUi(this);
    StoredLayout::prepareDialog(this);
    leerTimer->setInterval(100);
    connect(leerTimer, &QTimer::timeout, this, &TMruForm::leerTimerTimer);
    connect(ui->Label6, &ClickLabel::clicked, this, &TMruForm::Label6Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TMruForm::BitBtn1Click);
}

TMruForm::~TMruForm() = default;

void TMruForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

// Run-dialog commands first, in the registry's order, then the recent documents as the file
// system gives them; nothing is sorted.
void TMruForm::FormShow()
{
    ui->ListBox2->clear();
    ui->ListBox1->clear();
    listRunCommands();
    listRecentDocuments();
    StoredLayout::setCaption(ui->Label2, Qutrans::get(100) + QLatin1Char(' ') +
                                             QString::number(ui->ListBox2->count()));
    leerTimer->start();
}

// A value that is not a string ends the listing: the commands before it stay listed.
void TMruForm::listRunCommands()
{
    try {
        TRegistry registry;
        if (!registry.OpenKey(RunMruKey, true))
            return;
        QStringList names;
        registry.GetValueNames(names);
        ui->ListBox1->addItems(names);
        for (const QString &name : names) {
            if (!isOrderValue(name))
                ui->ListBox2->addItem(commandOf(registry.ReadString(name)) + Qutrans::get(102));
        }
    } catch (...) {
        logIgnoredException(lcRegistry(), "listing the run commands");
    }
}

// The files of the Recent folder that are no shortcuts, desktop.ini aside.
QStringList TMruForm::filesLeftInRecentFolder() const
{
    QStringList stayed;
    const QString folder = recentFolder();
    if (folder.isEmpty())
        return stayed;
    for (const QString &name : win::FindFileNames(folder)) {
        if (name.compare(QLatin1String("DESKTOP.INI"), Qt::CaseInsensitive) != 0 &&
            !name.endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive))
            stayed << name;
    }
    return stayed;
}

// A path of a drive root or less names no folder worth searching. The folder is found as the
// shell finds the one it empties ("User Shell Folders" first), so that the list shows what
// the emptying removes.
QString TMruForm::recentFolder() const
{
    QString folder = ShellFolders::windowsPath(QStringLiteral("RECENT"));
    if (!folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('\\');
    return folder.size() <= 5 ? QString() : folder;
}

void TMruForm::listRecentDocuments()
{
    const QString folder = recentFolder();
    if (folder.isEmpty())
        return;
    for (const QString &name : win::FindFileNames(folder)) {
        if (name.compare(QLatin1String("DESKTOP.INI"), Qt::CaseInsensitive) != 0)
            ui->ListBox2->addItem(name + Qutrans::get(103));
    }
}

// The empty result is reported only once the window is on screen.
void TMruForm::leerTimerTimer()
{
    leerTimer->stop();
    if (ui->ListBox2->count() == 0) {
        ShowMessage2(Qutrans::get(101));
        BitBtn1Click();
    }
}

// The busy display runs its course before anything is removed. Success is claimed only when
// both lists are empty; a refusal under a running wineserver repeats the read-only notice.
void TMruForm::Label6Click()
{
    PlayClickSound();
    Form2->runTimedDisplay(Qutrans::get(118), 5);
    const bool noticeBefore = ReadOnlyNotice::wasGiven();
    const bool documentsGone = EmptyRecentDocuments();
    const bool commandsGone = DeleteRunCommands();
    ui->ListBox2->clear();
    ui->ListBox1->clear();
    if (documentsGone && commandsGone)
        ShowMessage2(Qutrans::get(99));
    else if (noticeBefore)
        ShowMessage2(Qutrans::get(196));
    else if (!ReadOnlyNotice::wasGiven())
        ShowMessage2(Qutrans::get(197));
    // Only shortcuts are recent documents: other files of the folder stay, and the user hears
    // which.
    if (const QStringList stayed = filesLeftInRecentFolder(); !stayed.isEmpty())
        ShowMessage2(Qutrans::get(199) + QLatin1Char('\r') + stayed.join(QLatin1Char('\r')));
    BitBtn1Click();
}

void TMruForm::BitBtn1Click()
{
    PlayClickSound();
    ui->ListBox2->clear();
    close();
}

bool EmptyRecentDocuments()
{
    win::SHAddToRecentDocs(win::SHARD_PATH, nullptr);
    return platform::lastError() == quint32(win::ERROR_SUCCESS);
}

bool DeleteRunCommands()
{
    return DeleteAllValues(RunMruKey).complete;
}

// Nothing is reported: the unattended run has no one to tell.
bool ClearMruLists()
{
    ProcessMessages(3);
    const bool emptied =
        cleanup::cleanerFor(QLatin1Char('m'))->run(cleanup::Mode::Clean, {}).done();
    ProcessMessages(2);
    return emptied;
}
