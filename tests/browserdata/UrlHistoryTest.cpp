#include "browserdata/UrlHistory.h"
#include "MsiecfExport.h"
#include "platform/kernel/FileTime.h"
#include "platform/urlcache/IndexEditor.h"
#include "platform/urlcache/IndexFile.h"
#include "platform/urlcache/SampleUrlCache.h"
#include "platform/urlcache/UrlCache.h"
#include "platform/urlcache/UrlHistoryStore.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace urlcache;

namespace {

// 2024-03-01 10:15:31 UTC.
const quint64 OddSecond =
    platform::fileTimeFromDateTime(QDateTime(QDate(2024, 3, 1), QTime(10, 15, 31), Qt::UTC));

struct Visit
{
    QByteArray url;
    QString title;
    quint64 visited = OddSecond;
};

void commitVisits(const SampleUrlCache &sample, const std::vector<Visit> &visits)
{
    UrlCache cache(sample.environment);
    for (const Visit &v : visits) {
        CommitRequest r;
        r.url = "Visited: user@" + v.url;
        r.withFile = false;
        if (!v.title.isNull())
            r.headerInfo = urlhistory::headerDataWithTitle(v.title);
        r.lastModified = v.visited;
        r.lastAccess = v.visited;
        ASSERT_TRUE(cache.commitEntry(r)) << v.url.constData();
    }
}

QStringList titles(const TUrlHistory &history)
{
    QStringList out;
    for (int i = 0; i < history.Count(); ++i)
        out << history.Items(i).Title;
    return out;
}

TUrlHistory &loaded(TUrlHistory &history)
{
    history.Loaded();
    return history;
}

// A period container of a native profile, beside the main one, with one visit.
QString addPeriodContainer(const SampleUrlCache &sample, const QByteArray &url)
{
    const QString folder = sample.history() + "/MSHist012024030120240302";
    EXPECT_TRUE(IndexFile::create(folder + "/index.dat", {}));
    auto file = IndexFile::open(folder + "/index.dat");
    IndexLock lock(*file, true);
    NewUrlRecord record;
    record.url = ":2024030120240302: user@" + url;
    record.entryType = 0x00200000;
    EXPECT_TRUE(IndexEditor(*file).addRecord(record));
    return folder;
}

} // namespace

TEST(TUrlHistory, EmptyHistoryListsAndDeletesNothing)
{
    SampleUrlCache sample;
    TUrlHistory history;
    loaded(history);
    EXPECT_EQ(history.Enumerate(), 0);
    EXPECT_EQ(history.Count(), 0);
    EXPECT_EQ(history.DeleteEntries(), 0);
    EXPECT_EQ(history.ClearHistory(), urlhistory::S_OK);
}

TEST(TUrlHistory, EntriesCarryAddressTitleAndEvenSecondTimes)
{
    SampleUrlCache sample;
    commitVisits(sample,
                 {{"http://www.example.com/a.html", QString::fromUtf8("Caf\u00e9 \u00a7 1")},
                  {"http://www.example.com/b.html", QString()}});
    TUrlHistory history;
    loaded(history).SortField = sfURL;
    ASSERT_EQ(history.Enumerate(), 2);
    const TEntry &a = history.Items(0);
    EXPECT_EQ(a.Url, "http://www.example.com/a.html");
    EXPECT_EQ(a.Title, QString::fromUtf8("Caf\u00e9 \u00a7 1"));
    EXPECT_TRUE(history.Items(1).Title.isEmpty());
    const auto local = platform::fileTimeToLocalFileTime(OddSecond);
    const QDateTime shown = platform::dateTimeFromFileTime(*local);
    EXPECT_EQ(a.LastVisited, platform::encodeDateTime({shown.date().year(), shown.date().month(),
                                                       shown.date().day(), shown.time().hour(),
                                                       shown.time().minute(), 30, 0}));
    EXPECT_EQ(a.LastUpdated, a.LastVisited);
    EXPECT_EQ(a.Expires, 0.0) << "no expiry: a zero file time";
    EXPECT_EQ(TUrlHistory::HistoryTimeToDateTime(0), 0.0);
}

TEST(TUrlHistory, SortIsByteOrderAndAcceptCanRejectEverything)
{
    SampleUrlCache sample;
    commitVisits(sample, {{"http://e.example/1", "apple"},
                          {"http://e.example/2", "Banana"},
                          {"http://e.example/3", "banana"},
                          {"http://e.example/4", "Apple"}});
    TUrlHistory history;
    loaded(history);
    ASSERT_EQ(history.Enumerate(), 4);
    EXPECT_EQ(titles(history), (QStringList{"Apple", "Banana", "apple", "banana"}));
    history.SortDirection = sdDescending;
    history.Enumerate();
    EXPECT_EQ(titles(history), (QStringList{"banana", "apple", "Banana", "Apple"}));

    int asked = 0;
    history.OnAccept = [&](const QString &, const QString &, TDateTime, TDateTime, TDateTime,
                           bool &accept) {
        ++asked;
        EXPECT_TRUE(accept);
        accept = false;
    };
    EXPECT_EQ(history.Enumerate(), 0);
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(history.Count(), 0);
}

// The store hands the visits over a few hundred at a time: none is lost at a batch's edge, and
// the window's step runs once for each.
TEST(TUrlHistory, EveryVisitOfALongHistoryIsListed)
{
    SampleUrlCache sample;
    std::vector<Visit> visits;
    for (int i = 0; i < 600; ++i)
        visits.push_back({"http://e.example/" + QByteArray::number(i), QString::number(i)});
    commitVisits(sample, visits);
    TUrlHistory history;
    loaded(history);
    int steps = 0;
    history.OnStep = [&] { ++steps; };
    ASSERT_EQ(history.Enumerate(), 600);
    EXPECT_EQ(steps, 600);
    QStringList expected;
    for (int i = 0; i < 600; ++i)
        expected << QString::number(i);
    expected.sort();
    EXPECT_EQ(titles(history), expected);
}

TEST(TUrlHistory, DeleteEntriesTakesWhatTheHandlerApprovesFromEveryContainer)
{
    SampleUrlCache sample;
    commitVisits(sample, {{"http://keep.example/", "Keep"}, {"http://drop.example/", "Drop"}});
    const QString period = addPeriodContainer(sample, "http://drop.example/");
    TUrlHistory history;
    loaded(history);
    EXPECT_EQ(history.DeleteEntries(), 0) << "without a handler nothing goes";
    EXPECT_EQ(history.Enumerate(), 2);

    QStringList offered;
    history.OnDelete = [&](const QString &title, const QString &url, TDateTime, TDateTime,
                           TDateTime, bool &remove) {
        offered << title;
        remove = url == "http://drop.example/";
    };
    EXPECT_EQ(history.DeleteEntries(), 1);
    EXPECT_EQ(offered.size(), 2);
    ASSERT_EQ(history.Enumerate(), 1);
    EXPECT_EQ(history.Items(0).Url, "http://keep.example/");
    EXPECT_EQ(sample.read(period + "/index.dat").indexOf("drop.example"), -1);
}

// Clearing leaves no visit in any history container, nothing a recovery scan could find, and
// the other containers as they were.
TEST(TUrlHistory, ClearHistoryEmptiesEveryHistoryContainerAndNothingElse)
{
    SampleUrlCache sample;
    // The exporter reads native containers only: the commits make one.
    QDir(sample.history()).removeRecursively();
    std::vector<Visit> visits;
    for (int n = 0; n < 300; ++n)
        visits.push_back({"http://site.example/" + QByteArray::number(n), QStringLiteral("Page")});
    commitVisits(sample, visits);
    const QString period = addPeriodContainer(sample, "http://site.example/1");
    const QByteArray content = sample.read(sample.content() + "/index.dat");
    const QByteArray cookies = sample.read(sample.cookies() + "/index.dat");

    TUrlHistory history;
    loaded(history);
    EXPECT_EQ(history.ClearHistory(), urlhistory::S_OK);
    EXPECT_EQ(history.Enumerate(), 0);
    EXPECT_EQ(sample.read(sample.content() + "/index.dat"), content);
    EXPECT_EQ(sample.read(sample.cookies() + "/index.dat"), cookies);
    for (const QString &index : {sample.history() + "/index.dat", period + "/index.dat"}) {
        EXPECT_EQ(sample.read(index).indexOf("site.example"), -1) << index.toStdString();
        const auto [items, recovered] = exportedItems(index);
        if (items == -1)
            continue; // msiecfexport (libmsiecf-utils) not installed
        EXPECT_EQ(items, 0) << index.toStdString();
        EXPECT_EQ(recovered, 0) << index.toStdString();
    }
}

TEST(TUrlHistory, RefusedClearingSaysSoAndChangesNothing)
{
    SampleUrlCache sample;
    commitVisits(sample, {{"http://www.example.com/", "Example"}});
    const QByteArray before = sample.read(sample.history() + "/index.dat");
    sample.environment->setWritable(false);
    TUrlHistory history;
    loaded(history);
    EXPECT_EQ(history.ClearHistory(), urlhistory::E_ACCESSDENIED);
    EXPECT_EQ(history.Enumerate(), 1);
    EXPECT_EQ(sample.read(sample.history() + "/index.dat"), before);
}

// Visits that a program committed through Wine's wininet: no titles, ANSI bytes in addresses.
TEST(TUrlHistory, VisitsWineCommittedAreListedAndCleared)
{
    SampleUrlCache sample(testenv::nonAsciiSamplePrefix(), QStringLiteral("root"));
    TUrlHistory history;
    loaded(history);
    ASSERT_EQ(history.Enumerate(), 5);
    QStringList urls;
    for (int i = 0; i < history.Count(); ++i) {
        urls << history.Items(i).Url;
        EXPECT_TRUE(history.Items(i).Title.isEmpty());
        EXPECT_GT(history.Items(i).LastVisited, 45000.0);
    }
    EXPECT_TRUE(urls.contains(QString::fromUtf8("http://www.example.com/\u00e4rger.html")));
    EXPECT_EQ(history.ClearHistory(), urlhistory::S_OK);
    EXPECT_EQ(history.Enumerate(), 0);
}
