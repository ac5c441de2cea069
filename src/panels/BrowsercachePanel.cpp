#include "panels/BrowsercachePanel.h"

#include "ui_BrowsercachePanel.h"

#include "app/WindowSet.h"
#include "browserdata/IECache.h"
#include "controls/ClickSound.h"
#include "controls/StoredLayout.h"
#include "dialogs/MyTricks.h"
#include "dialogs/u_ShowMessage2.h"
#include "dialogs/u_beschaeftigt.h"
#include "i18n/Qutrans.h"
#include "platform/prefix/DosPaths.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/urlcache/UrlCache.h"

#include <QScopedValueRollback>

namespace {

const QString Blank = QStringLiteral("about:blank");

// The amount in the count and size lines and the report: whole kilobytes, truncated toward zero.
QString kilobytes(qint32 bytes)
{
    return QString::number(bytes / 1024) + QStringLiteral("kb");
}

} // namespace

TBrowsercachePanel::TBrowsercachePanel(QWidget *parent)
    : QFrame(parent), IECache1(new TIECache(this)), ui(new Ui::TBrowsercachePanel)
{
    ui->setupUi(this);
    IECache1->SetFilterOptions(CacheContentFilter);
    IECache1->SearchPattern = spUrl;
    IECache1->OnEntry = [this](QObject *Sender, bool &Cancel) { IECache1Entry(Sender, Cancel); };
    IECache1->OnStep = LetWindowsPaint;
    // The preview follows the selection, whether a click or the arrow keys moved it.
    connect(ui->ListBox2, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            ListBox2Click();
    });
    connect(ui->Label41, &ClickLabel::clicked, this, &TBrowsercachePanel::Label41Click);
    connect(ui->Image20, &ClickLabel::clicked, this, &TBrowsercachePanel::Label41Click);
    connect(ui->BitBtn3, &QPushButton::clicked, this, &TBrowsercachePanel::nextClicked);
    connect(ui->AniIcon3, &TAniIcon::clicked, this, &TBrowsercachePanel::logoClicked);
}

TBrowsercachePanel::~TBrowsercachePanel() = default;

// The lines are gathered first and handed to the list in one go, which lays them out once at
// one height: a cache of many thousand entries lists in a moment.
void TBrowsercachePanel::listEntries()
{
    IECache1->SearchPattern = spUrl;
    ProcessMessages(3);
    IECache1->RetrieveEntries(0);
    ui->ListBox2->addItems(m_found);
    m_found.clear();
    ProcessMessages(3);
}

void TBrowsercachePanel::FillPanel()
{
    ui->ListBox2->clear();
    CacheTotal = 0;
    setVisible(true);
    ui->WebBrowser1->setConfinement(
        urlcache::sharedUrlCache()->container(urlcache::ContainerKind::Content).folder());
    listEntries();
    ui->WebBrowser1->Navigate(Blank);
    ShowCountAndSize();
    if (ui->ListBox2->count() > 0)
        selectLine(0);
}

void TBrowsercachePanel::IECache1Entry(QObject *, bool &)
{
    m_found << IECache1->Entry.SourceUrlName;
    CacheTotal = qint32(quint32(CacheTotal) + quint32(IECache1->Entry.Size));
}

void TBrowsercachePanel::ShowCountAndSize()
{
    StoredLayout::setCaption(ui->Label4, Qutrans::get(121) + QLatin1Char(' ') +
                                             QString::number(ui->ListBox2->count()));
    StoredLayout::setCaption(ui->Label42, Qutrans::get(122) + kilobytes(CacheTotal));
}

// The test is the program's: a case-sensitive substring of the whole local path as Windows
// names it, so that the folders holding the prefix never count. An entry that is not previewed
// clears the preview, so that no other entry's page stands under its line.
void TBrowsercachePanel::ListBox2Click()
{
    while (ui->WebBrowser1->Busy())
        ProcessMessages();
    if (const QListWidgetItem *line = ui->ListBox2->currentItem())
        IECache1->GetEntryInfo(line->text());
    const QString &file = IECache1->Entry.LocalFileName;
    const QString windowsName =
        file.isEmpty() ? QString() : DosPaths::toWindowsPath(Prefix::target(), file);
    for (const char *kind : {".htm", ".gif", ".jpg"}) {
        if (windowsName.contains(QLatin1String(kind))) {
            ui->WebBrowser1->Navigate(file);
            return;
        }
    }
    ui->WebBrowser1->Navigate(Blank);
}

// Entries that stay because Wine serves the prefix are no amount freed: the read-only notice
// stands in for the report. A container that cannot be read was not emptied at all.
void TBrowsercachePanel::Label41Click()
{
    // Events come through while the busy window is up: a click then starts no second emptying.
    if (m_emptying)
        return;
    const QScopedValueRollback emptying(m_emptying, true);
    PlayClickSound();
    window()->hide();
    Form2->showWorkDisplay(Qutrans::get(118), 5, Qutrans::get(123));
    ProcessMessages(3);
    const bool noticeBefore = ReadOnlyNotice::wasGiven();
    IECache1->SearchPattern = spUrl;
    IECache1->DeleteAllEntries();
    ui->ListBox2->clear();
    listEntries();
    Form2->close();
    ui->WebBrowser1->Navigate(Blank);
    const bool refused = ReadOnlyNotice::wasGiven() && ui->ListBox2->count() > 0;
    if (refused) {
        if (noticeBefore)
            ShowMessage2(Qutrans::get(196));
    } else if (!IECache1->UnreadableContainers().isEmpty()) {
        ShowMessage2(Qutrans::get(197));
    } else {
        ShowMessage2(Qutrans::get(119) + QLatin1Char(' ') + kilobytes(CacheTotal) +
                     QLatin1Char('\r') + Qutrans::get(120));
    }
    CacheTotal = 0;
    ShowCountAndSize();
    window()->show();
}

void TBrowsercachePanel::EmptyBrowserCache()
{
    IECache1->SearchPattern = spUrl;
    IECache1->DeleteAllEntries();
}

QStringList TBrowsercachePanel::listed() const
{
    QStringList lines;
    for (int i = 0; i < ui->ListBox2->count(); ++i)
        lines << ui->ListBox2->item(i)->text();
    return lines;
}

QString TBrowsercachePanel::countLine() const
{
    return ui->Label4->text();
}

QString TBrowsercachePanel::sizeLine() const
{
    return ui->Label42->text();
}

QString TBrowsercachePanel::previewLocation() const
{
    return ui->WebBrowser1->LocationURL();
}

// Selecting a line previews it; the line already selected is previewed again.
void TBrowsercachePanel::selectLine(int row)
{
    if (ui->ListBox2->currentRow() == row)
        ListBox2Click();
    else
        ui->ListBox2->setCurrentRow(row);
}
