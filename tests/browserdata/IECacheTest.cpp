#include "browserdata/IECache.h"
#include "MsiecfExport.h"
#include "platform/urlcache/IndexDatLayout.h"
#include "platform/urlcache/IndexEditor.h"
#include "platform/urlcache/IndexFile.h"
#include "platform/urlcache/SampleUrlCache.h"
#include "platform/urlcache/UrlCache.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

const TFilterOptions CookieWindowFilter = {NORMAL_ENTRY,        STICKY_ENTRY,
                                           COOKIE_ENTRY,        URLHISTORY_ENTRY,
                                           TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY};
const TFilterOptions CachePanelFilter = {NORMAL_ENTRY, STICKY_ENTRY, URLHISTORY_ENTRY,
                                         TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY};

QStringList retrieve(TIECache &cache, TSearchPattern pattern)
{
    QStringList names;
    cache.SearchPattern = pattern;
    cache.OnEntry = [&](QObject *sender, bool &) {
        EXPECT_EQ(sender, &cache);
        names << cache.Entry.SourceUrlName;
    };
    cache.RetrieveEntries(0);
    return names;
}

} // namespace

TEST(TIECache, FilterFlagsFollowTheOptions)
{
    TIECache cache;
    EXPECT_EQ(cache.FilterOptions().toInt(), 125);
    cache.SetFilterOptions({});
    EXPECT_EQ(cache.FilterFlags(), 0u);
    cache.SetFilterOptions({NORMAL_ENTRY, COOKIE_ENTRY});
    EXPECT_EQ(cache.FilterFlags(), 0x100001u);
    cache.SetFilterOptions(CachePanelFilter);
    EXPECT_EQ(cache.FilterFlags(), 0x200035u);
}

TEST(TIECache, CookieAndCacheSearchesListTheirEntries)
{
    SampleUrlCache sample;
    TIECache cookies;
    cookies.SetFilterOptions(CookieWindowFilter);
    EXPECT_EQ(retrieve(cookies, spCookies),
              QStringList({"Cookie:user@www.example.com/", "Cookie:user@shop.example.net/"}));

    TIECache panel;
    panel.SetFilterOptions(CachePanelFilter);
    qint64 total = 0;
    panel.SearchPattern = spUrl;
    panel.OnEntry = [&](QObject *, bool &) { total += panel.Entry.Size; };
    panel.RetrieveEntries(0);
    EXPECT_EQ(total, 33 + 6 + 12);
    // The cookie entries' type is outside the panel's filter.
    EXPECT_EQ(retrieve(panel, spAll).size(), 3);
}

TEST(TIECache, CancelStopsTheWalkAndClosesTheSearch)
{
    SampleUrlCache sample;
    TIECache cache;
    cache.SetFilterOptions(CookieWindowFilter);
    int calls = 0;
    cache.SearchPattern = spAll;
    cache.OnEntry = [&](QObject *, bool &cancel) {
        ++calls;
        cancel = true;
    };
    cache.RetrieveEntries(0);
    EXPECT_EQ(calls, 1);
    // A closed search cannot be advanced any more.
    EXPECT_EQ(cache.FindNextEntry(), 6u);
}

TEST(TIECache, GetEntryInfoFillsTheEntryAndKeepsItOnFailure)
{
    SampleUrlCache sample;
    TIECache cache;
    ASSERT_EQ(cache.GetEntryInfo("http://www.example.com/index.html"), 0u);
    EXPECT_EQ(cache.Entry.SourceUrlName, "http://www.example.com/index.html");
    EXPECT_EQ(cache.Entry.LocalFileName, sample.content() + "/KHHU8BSF/index[0].html");
    EXPECT_EQ(cache.Entry.Size, 33);
    EXPECT_EQ(cache.Entry.FileExtension, "html");
    EXPECT_EQ(cache.Entry.HitRate, 1u);
    EXPECT_EQ(cache.Entry.EntryType, 1u);
    EXPECT_GT(cache.Entry.LastAccessTime, 40000.0);
    // No expiry stored: FILETIME 0, a day in 1601 or 0.
    EXPECT_LE(cache.Entry.ExpireTime, 0.0);

    EXPECT_EQ(cache.GetEntryInfo("http://www.example.com/missing"), 2u);
    EXPECT_EQ(cache.DeleteEntry("http://www.example.com/missing"), 2u);
    EXPECT_EQ(cache.Entry.SourceUrlName, "http://www.example.com/index.html");

    EXPECT_EQ(cache.DeleteEntry("http://www.example.com/index.html"), 0u);
    EXPECT_TRUE(cache.Entry.SourceUrlName.isEmpty());
    EXPECT_EQ(cache.Entry.Size, 0);
}

TEST(TIECache, SizeReportsTheLowThirtyTwoBits)
{
    SampleUrlCache sample;
    {
        auto file = urlcache::IndexFile::open(sample.content() + "/index.dat");
        ASSERT_TRUE(file);
        urlcache::IndexLock lock(*file, true);
        ASSERT_TRUE(lock.view());
        const auto record = lock.view()->find("http://www.example.com/logo.gif");
        ASSERT_TRUE(record);
        urlcache::layout::writeU64(file->writableData() + record->offset + 0x20, 0x100000005ULL);
    }
    TIECache cache;
    ASSERT_EQ(cache.GetEntryInfo("http://www.example.com/logo.gif"), 0u);
    EXPECT_EQ(cache.Entry.Size, 5);
}

TEST(TIECache, DeleteAllEntriesDeletesWhileWalking)
{
    SampleUrlCache sample;
    TIECache panel;
    panel.SetFilterOptions(CachePanelFilter);
    panel.SearchPattern = spUrl;
    panel.DeleteAllEntries();
    EXPECT_TRUE(retrieve(panel, spUrl).isEmpty());
    EXPECT_FALSE(QFile::exists(sample.content() + "/KHHU8BSF/story[0].htm"));

    TIECache cookies;
    cookies.SetFilterOptions(CookieWindowFilter);
    EXPECT_EQ(retrieve(cookies, spCookies).size(), 2);
    // Empty now: one failing first search, nothing deleted, the cookies untouched.
    panel.SearchPattern = spUrl;
    panel.DeleteAllEntries();
    EXPECT_EQ(panel.FindFirstEntry(0), 259u);
    EXPECT_EQ(retrieve(cookies, spCookies).size(), 2);
}

// A container in the native layout, which an independent reader (msiecfexport) can read: after
// the emptying it finds no entry and nothing to recover.
TEST(TIECache, AnIndependentReaderFindsTheEmptiedContainerEmpty)
{
    SampleUrlCache sample;
    const QString index = sample.content() + "/index.dat";
    ASSERT_TRUE(QFile::remove(index));
    using namespace urlcache;
    ASSERT_TRUE(IndexFile::create(index, {"NATIVE01"}));
    {
        auto file = IndexFile::open(index);
        IndexLock lock(*file, true);
        for (int i = 0; i < 40; ++i) {
            NewUrlRecord record;
            record.url = "http://www.example.com/page" + QByteArray::number(i) + ".html";
            record.localName = "page" + QByteArray::number(i) + "[1].htm";
            record.dirIndex = 0;
            record.entryType = 0x00000001; // a normal cache entry
            ASSERT_TRUE(IndexEditor(*file).addRecord(record));
        }
    }
    const auto [itemsBefore, recoveredBefore] = exportedItems(index);
    if (itemsBefore == -1)
        GTEST_SKIP() << "msiecfexport (libmsiecf-utils) not installed";
    ASSERT_EQ(itemsBefore, 40);

    TIECache panel;
    panel.SetFilterOptions(CachePanelFilter);
    panel.SearchPattern = spUrl;
    panel.DeleteAllEntries();
    EXPECT_TRUE(retrieve(panel, spUrl).isEmpty());
    EXPECT_EQ(exportedItems(index), std::make_pair(0, 0));
}

// Wine's wininet filled this prefix: ANSI bytes in content URLs and names, UTF-8 bytes in
// cookie URLs, and on disk the names Wine made of them. Every entry listed must be found,
// shown and deleted as itself, and go with its file.
TEST(TIECache, WineEntriesBeyondAsciiRoundTripAndGoWithTheirFiles)
{
    SampleUrlCache sample(testenv::nonAsciiSamplePrefix(), QStringLiteral("root"));
    const auto filesIn = [](const QString &folder) {
        QStringList files;
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QFileInfo(it.next()).fileName();
        files.removeAll(QStringLiteral("index.dat"));
        return files;
    };
    ASSERT_EQ(filesIn(sample.cookies()).size(), 4);

    TIECache cookies;
    cookies.SetFilterOptions(CookieWindowFilter);
    const QStringList listed = retrieve(cookies, spCookies);
    ASSERT_EQ(listed.size(), 4);
    EXPECT_TRUE(listed.contains(QString::fromUtf8("Cookie:root@www.example.com/\u00C3\u00A4/")));
    // The cookie window deletes one selected line after the other.
    for (const QString &url : listed) {
        ASSERT_EQ(cookies.GetEntryInfo(url), 0u) << url.toStdString();
        EXPECT_EQ(cookies.Entry.SourceUrlName, url);
        EXPECT_TRUE(QFileInfo::exists(cookies.Entry.LocalFileName)) << url.toStdString();
        EXPECT_EQ(cookies.DeleteEntry(url), 0u) << url.toStdString();
    }
    EXPECT_TRUE(retrieve(cookies, spCookies).isEmpty());
    EXPECT_EQ(filesIn(sample.cookies()), QStringList());

    TIECache panel;
    panel.SetFilterOptions(CachePanelFilter);
    QStringList localFiles;
    panel.SearchPattern = spUrl;
    panel.OnEntry = [&](QObject *, bool &) { localFiles << panel.Entry.LocalFileName; };
    panel.RetrieveEntries(0);
    ASSERT_EQ(localFiles.size(), 5);
    for (const QString &file : localFiles)
        EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    EXPECT_TRUE(localFiles.filter(QString::fromUtf8("/gr\u00F6\u00DFe[0].jpg")).size() == 1);
    panel.SearchPattern = spUrl;
    panel.DeleteAllEntries();
    EXPECT_TRUE(retrieve(panel, spUrl).isEmpty());
    EXPECT_EQ(filesIn(sample.content()), QStringList());
    EXPECT_EQ(retrieve(cookies, spHistory).size(), 5);
}

TEST(TIECache, FileTimesBecomeLocalDateTimes)
{
    // 2000-01-01 00:00 UTC is day 36526.
    const double utc = 36526.0;
    const double local = TIECache::FileTimeToDateTime(125911584000000000ULL);
    const double offsetDays = QDateTime::currentDateTime().offsetFromUtc() / 86400.0;
    EXPECT_NEAR(local, utc + offsetDays, 1e-6);
    const double zero = TIECache::FileTimeToDateTime(0);
    EXPECT_TRUE(zero < -109000.0 || zero == 0.0);
}

TEST(TIECache, WithoutTheCacheLayerNothingHappens)
{
    SampleUrlCache sample;
    const bool loaded = LibraryLoaded;
    LibraryLoaded = false;
    wininet::setUrlCacheLayerPresent(false);
    const auto restore = qScopeGuard([loaded] {
        wininet::setUrlCacheLayerPresent(true);
        LibraryLoaded = loaded;
    });
    TIECache cache;
    EXPECT_FALSE(cache.LibraryFound());
    int calls = 0;
    cache.OnEntry = [&](QObject *, bool &) { ++calls; };
    cache.RetrieveEntries(0);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(cache.FindFirstEntry(0), 2u);
    EXPECT_EQ(cache.GetEntryInfo("http://www.example.com/logo.gif"), 2u);
    EXPECT_EQ(cache.DeleteEntry("http://www.example.com/logo.gif"), 0u);
    EXPECT_TRUE(QFile::exists(sample.content() + "/KHHU8BSF/logo[0].gif"));
}
