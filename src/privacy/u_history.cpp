#include "privacy/u_history.h"

#include "ui_u_history.h"

#include "app/WindowSet.h"
#include "browserdata/UrlHistory.h"
#include "cleanup/Cleaners.h"
#include "controls/ClickSound.h"
#include "controls/StoredLayout.h"
#include "dialogs/MyTricks.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "privacy/DateTimeText.h"

#include <QTimer>

THistoryForm::THistoryForm(QWidget *parent)
    : QDialog(parent), UrlHistory1(new TUrlHistory(this)), CloseTimer(new QTimer(this)),
      ui(new Ui::THistoryForm)
{
    ui->setupUi(this);
    StoredLayout::prepareDialog(this);
    UrlHistory1->SortField = sfTitle;
    UrlHistory1->SearchField = seBoth;
    UrlHistory1->SortDirection = sdAscending;
    UrlHistory1->Loaded();
    ui->StringGrid1->setColumnWidth(0, 75);
    ui->StringGrid1->setColumnWidth(1, 234);
    ui->StringGrid1->setColumnWidth(2, 222);
    ui->StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The arrow keys move in the grid; Tab goes on to the link.
    ui->StringGrid1->setTabKeyNavigation(false);
    CloseTimer->setInterval(10);
    connect(CloseTimer, &QTimer::timeout, this, &THistoryForm::CloseTimerTimer);
    connect(ui->Label6, &ClickLabel::clicked, this, &THistoryForm::Label6Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &THistoryForm::BitBtn1Click);
}

THistoryForm::~THistoryForm() = default;

void THistoryForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

// The grid grows to its final size at once rather than row by row: a history of many
// thousand visits lists in a moment.
void THistoryForm::FormShow()
{
    ui->StringGrid1->setRowCount(1);
    UrlHistory1->SortField = sfLastVisited;
    const int headers[] = {86, 87, 89};
    for (int column = 0; column < 3; ++column)
        ui->StringGrid1->setItem(0, column, new QTableWidgetItem(Qutrans::get(headers[column])));
    const int n = UrlHistory1->Enumerate();
    ui->StringGrid1->setUpdatesEnabled(false);
    ui->StringGrid1->setRowCount(n + 1);
    DateTimeTexts dateTimeText;
    for (int i = 0; i < n; ++i) {
        const TEntry &entry = UrlHistory1->Items(i);
        ui->StringGrid1->setItem(i + 1, 0, new QTableWidgetItem(dateTimeText(entry.LastVisited)));
        ui->StringGrid1->setItem(i + 1, 1, new QTableWidgetItem(entry.Title));
        ui->StringGrid1->setItem(i + 1, 2, new QTableWidgetItem(entry.Url));
    }
    ui->StringGrid1->setUpdatesEnabled(true);
    if (n == 0)
        CloseTimer->start();
}

void THistoryForm::CloseTimerTimer()
{
    CloseTimer->stop();
    ShowMessage2(Qutrans::get(90));
    BitBtn1Click();
}

void THistoryForm::Label6Click()
{
    emit clearingRequested();
    BitBtn1Click();
}

void THistoryForm::BitBtn1Click()
{
    PlayClickSound();
    close();
}

// The clean-up engine's history clearing: the store's clearing, then its entries.
bool ClearBrowserHistory()
{
    ProcessMessages(3);
    cleanup::Context context;
    context.step = LetWindowsPaint;
    const bool cleared =
        cleanup::cleanerFor(QLatin1Char('h'))->run(cleanup::Mode::Clean, context).done();
    ProcessMessages(2);
    return cleared;
}
