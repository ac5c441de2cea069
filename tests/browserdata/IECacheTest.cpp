#include "browserdata/IECache.h"
#include "platform/IndexDatLayout.h"
#include "platform/IndexFile.h"
#include "platform/SampleUrlCache.h"
#include "platform/UrlCache.h"

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
    wininet::setUrlCacheLayerPresent(true);
    LibraryLoaded = loaded;
}
