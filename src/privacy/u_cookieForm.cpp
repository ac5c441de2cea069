#include "privacy/u_cookieForm.h"

#include "ui_u_cookieForm.h"

#include "platform/prefix/ReadOnlyNotice.h"

#include "browserdata/IECache.h"
#include "controls/ClickSound.h"
#include "controls/StoredLayout.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/kernel/LogCategories.h"
#include "privacy/CookieTimeText.h"

#include <QSignalBlocker>
#include <QTimer>

namespace {

// Work against the cache never reaches the user as an error: what it found is what is listed.
template <typename Work> void ignoringExceptions(Work work)
{
    try {
        work();
    } catch (...) {
        logIgnoredException(lcUrlCache(), "the cookie window");
    }
}

void setLine(QLabel *label, int textNumber, const QString &value)
{
    StoredLayout::setCaption(label, Qutrans::get(textNumber) + QLatin1Char(' ') + value);
}

} // namespace

TCookieForm::TCookieForm(QWidget *parent)
    : QDialog(parent), IECache1(new TIECache(this)), CloseTimer(new QTimer(this)),
      ui(new Ui::TCookieForm)
{
    ui->setupUi(this);
    StoredLayout::prepareDialog(this);
    IECache1->SetFilterOptions(StandardEntryFilter);
    IECache1->SearchPattern = spAll;
    IECache1->OnEntry = [this](QObject *Sender, bool &Cancel) { IECache1Entry(Sender, Cancel); };
    CloseTimer->setInterval(10);
    connect(CloseTimer, &QTimer::timeout, this, &TCookieForm::CloseTimerTimer);
    // A click refreshes the details even on the line already selected; the keys change the line.
    connect(ui->ListBox1, &QListWidget::currentRowChanged, this, &TCookieForm::ListBox1Click);
    connect(ui->ListBox1, &QListWidget::itemClicked, this, &TCookieForm::ListBox1Click);
    connect(ui->Label5, &ClickLabel::clicked, this, &TCookieForm::Label5Click);
    connect(ui->Label6, &ClickLabel::clicked, this, &TCookieForm::Label6Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TCookieForm::BitBtn1Click);
}

TCookieForm::~TCookieForm() = default;

void TCookieForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TCookieForm::FormShow()
{
    {
        // The selection is set here and the details shown once, below.
        const QSignalBlocker quiet(ui->ListBox1);
        ui->ListBox1->clear();
        IECache1->SearchPattern = spCookies;
        ignoringExceptions([this] { IECache1->RetrieveEntries(0); });
        ui->ListBox1->setFocus();
        ui->ListBox1->setCurrentRow(ui->ListBox1->count() > 0 ? 0 : -1);
    }
    ListBox1Click();
    StoredLayout::setCaption(ui->Label11, Qutrans::get(82) + QLatin1Char(' ') +
                                              QString::number(ui->ListBox1->count()));
    if (ui->ListBox1->count() == 0) {
        ShowMessage2(Qutrans::get(83));
        CloseTimer->start();
    }
}

void TCookieForm::IECache1Entry(QObject *, bool &)
{
    ignoringExceptions([this] { ui->ListBox1->addItem(IECache1->Entry.SourceUrlName); });
}

void TCookieForm::ListBox1Click()
{
    ignoringExceptions([this] { showDetails(); });
}

// Without a line, or when the lookup fails, the lines show the entry read last.
void TCookieForm::showDetails()
{
    if (const QListWidgetItem *line = ui->ListBox1->currentItem())
        IECache1->GetEntryInfo(line->text());
    const TEntryInfo &entry = IECache1->Entry;
    setLine(ui->Label7, 78, QString::number(entry.HitRate));
    setLine(ui->Label8, 79, QString::number(quint32(entry.Size)));
    setLine(ui->Label9, 80, CookieTimeText(entry.LastAccessTime));
    setLine(ui->Label10, 81, CookieTimeText(entry.ExpireTime));
}

// A cookie that could not be deleted simply stays in the refreshed list.
void TCookieForm::Label5Click()
{
    const QListWidgetItem *line = ui->ListBox1->currentItem();
    if (!line)
        return;
    PlayClickSound();
    IECache1->DeleteEntry(line->text());
    FormShow();
    ui->ListBox1->setFocus();
}

// Cookies that stayed, listed or in a container that cannot be read, are said to have stayed:
// by the read-only notice when Wine runs, otherwise by the failure text.
void TCookieForm::Label6Click()
{
    PlayClickSound();
    const bool noticeBefore = ReadOnlyNotice::wasGiven();
    IECache1->SearchPattern = spCookies;
    ignoringExceptions([this] { IECache1->DeleteAllEntries(); });
    FormShow();
    if (ui->ListBox1->count() > 0 || !IECache1->UnreadableContainers().isEmpty()) {
        if (noticeBefore)
            ShowMessage2(Qutrans::get(196));
        else if (!ReadOnlyNotice::wasGiven())
            ShowMessage2(Qutrans::get(197));
    }
    ui->ListBox1->setFocus();
}

void TCookieForm::BitBtn1Click()
{
    PlayClickSound();
    close();
}

void TCookieForm::CloseTimerTimer()
{
    CloseTimer->stop();
    BitBtn1Click();
}
