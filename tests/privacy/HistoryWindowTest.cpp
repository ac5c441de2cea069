#include "Controls.h"
#include "ModalAnswerer.h"
#include "PrefixBuilder.h"
#include "app/WindowSetFixture.h"
#include "browserdata/UrlHistory.h"
#include "dialogs/u_ShowMessage2.h"
#include "i18n/Qutrans.h"
#include "platform/kernel/FileTime.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/urlcache/UrlCache.h"
#include "platform/urlcache/UrlHistoryStore.h"
#include "platform/urlcache/WinInetCache.h"
#include "privacy/DateTimeText.h"
#include "privacy/u_history.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTableWidget>
#include <memory>

namespace {

QString message(int number)
{
    return TShowMessage2Form::displayText(Qutrans::get(number));
}

QTableWidget *grid()
{
    return control<QTableWidget>(HistoryForm, "StringGrid1");
}

QStringList row(int r)
{
    QStringList cells;
    for (int c = 0; c < 3; ++c) {
        const QTableWidgetItem *item = grid()->item(r, c);
        cells << (item ? item->text() : QString());
    }
    return cells;
}

// Reads the open history window's grid, then closes it the way `close` says, posted so that
// the windows it opens are answered too.
ModalAnswerer::Step readGrid(QList<QStringList> &rows, void (THistoryForm::*close)())
{
    return [&rows, close](QWidget *) {
        for (int r = 0; r < grid()->rowCount(); ++r)
            rows << row(r);
        QMetaObject::invokeMethod(HistoryForm, close, Qt::QueuedConnection);
        return true;
    };
}

class HistoryWindowTest : public PrefixWindowTest
{
protected:
    void SetUp() override
    {
        PrefixWindowTest::SetUp();
        usePrefix();
    }

    // Visits `hoursAgo` hours back, in the native record shape.
    void visit(const QByteArray &url, const QString &title, int hoursAgo)
    {
        urlcache::CommitRequest r;
        r.url = "Visited: user@" + url;
        r.withFile = false;
        r.headerInfo = urlhistory::headerDataWithTitle(title);
        r.lastAccess = r.lastModified =
            platform::currentFileTime() - quint64(hoursAgo) * 36'000'000'000ULL;
        ASSERT_TRUE(urlcache::sharedUrlCache()->commitEntry(r));
    }

    int visitsLeft()
    {
        TUrlHistory history;
        history.Loaded();
        return history.Enumerate();
    }
};

TEST_F(HistoryWindowTest, ListsTheVisitsOldestFirstBelowTheHeaderRow)
{
    visit("http://b.example/", "Second", 5);
    visit("http://c.example/", "Newest", 1);
    visit("http://a.example/", "Oldest", 30);
    ModalAnswerer answerer;
    QList<QStringList> rows;
    answerer.on(HistoryForm, readGrid(rows, &THistoryForm::BitBtn1Click));

    emit control<ClickLabel>(Form1, "Label21")->clicked();

    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0], (QStringList{Qutrans::get(86), Qutrans::get(87), Qutrans::get(89)}));
    EXPECT_EQ(rows[1].mid(1), (QStringList{"Oldest", "http://a.example/"}));
    EXPECT_EQ(rows[2].mid(1), (QStringList{"Second", "http://b.example/"}));
    EXPECT_EQ(rows[3].mid(1), (QStringList{"Newest", "http://c.example/"}));
    EXPECT_EQ(rows[1][0], DateTimeToStr(HistoryForm->UrlHistory1->Items(0).LastVisited));
    EXPECT_EQ(grid()->columnWidth(1), 234);
    EXPECT_TRUE(answerer.answered().isEmpty());
    EXPECT_FALSE(HistoryForm->isVisible());
    EXPECT_TRUE(Form1->isVisible());
}

TEST_F(HistoryWindowTest, EmptyHistoryIsReportedAndTheWindowClosesItself)
{
    ModalAnswerer answerer;
    answerer.on(HistoryForm, [](QWidget *) { return false; });
    emit control<ClickLabel>(Form1, "Label21")->clicked();
    EXPECT_EQ(answerer.answered(), QStringList{message(90)});
    EXPECT_EQ(grid()->rowCount(), 1);
    EXPECT_FALSE(HistoryForm->isVisible());
    EXPECT_TRUE(Form1->isVisible());
}

// From the window's link: the busy display, the report, then the window closes; opened again
// it finds nothing.
TEST_F(HistoryWindowTest, ClearingFromTheWindowEmptiesTheHistoryAndSaysSo)
{
    visit("http://a.example/", "A", 2);
    visit("http://b.example/", "B", 3);
    ModalAnswerer answerer;
    QList<QStringList> rows;
    answerer.on(HistoryForm, readGrid(rows, &THistoryForm::Label6Click));
    QElapsedTimer clock;
    clock.start();

    emit control<ClickLabel>(Form1, "Label21")->clicked();

    EXPECT_EQ(rows.size(), 3);
    EXPECT_GE(clock.elapsed(), 99 * 40) << "the busy display runs its course";
    EXPECT_EQ(answerer.answered(), QStringList{message(92)});
    EXPECT_EQ(visitsLeft(), 0);
    EXPECT_FALSE(HistoryForm->isVisible());
    EXPECT_TRUE(Form1->isVisible());
}

// Wine serves the prefix: the visits stay and nothing claims they went.
TEST_F(HistoryWindowTest, RefusedClearingFromTheMainWindowClaimsNothing)
{
    visit("http://a.example/", "A", 2);
    prefix->holdServerLock();
    ModalAnswerer answerer;

    emit control<ClickLabel>(Form1, "Label22")->clicked();

    EXPECT_EQ(answerer.answered(), QStringList{message(196)});
    EXPECT_EQ(visitsLeft(), 1);
    prefix->releaseServerLock();
    EXPECT_TRUE(ClearBrowserHistory());
    EXPECT_EQ(visitsLeft(), 0);
    EXPECT_TRUE(Form1->isVisible());
}

// A damaged history file is never written: its visits stay, and the user hears that the
// clean-up did not finish instead of nothing at all.
TEST_F(HistoryWindowTest, FailedClearingFromTheMainWindowSaysSo)
{
    QFile index(prefix->profile() +
                "/AppData/Local/Microsoft/Windows/History/History.IE5/index.dat");
    ASSERT_TRUE(index.open(QIODevice::ReadWrite));
    QByteArray damaged = index.readAll();
    damaged[0x1C] = char(damaged[0x1C] + 1); // a file size field that is not the file's
    ASSERT_TRUE(index.seek(0));
    ASSERT_EQ(index.write(damaged), damaged.size());
    index.close();
    ModalAnswerer answerer;

    emit control<ClickLabel>(Form1, "Label22")->clicked();

    EXPECT_EQ(answerer.answered(), QStringList{message(197)});
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    EXPECT_EQ(index.readAll(), damaged);
    EXPECT_TRUE(Form1->isVisible());
}

} // namespace
