#include "platform/kernel/LastError.h"
#include "platform/urlcache/IndexDatLayout.h"
#include "platform/urlcache/IndexEditor.h"
#include "platform/urlcache/IndexView.h"
#include "platform/urlcache/PrefixUrlCacheEnvironment.h"
#include "platform/urlcache/SampleUrlCache.h"

#include <gtest/gtest.h>
#include <vector>

using namespace wininet;
using namespace urlcache;

namespace {

constexpr DWORD AllTypes = 0x300035;

struct Listed
{
    QByteArray url;
    QString localFile;
    DWORD size;
    bool operator==(const Listed &) const = default;
};

std::vector<char> buffer(DWORD size)
{
    return std::vector<char>(size);
}

Listed listed(const INTERNET_CACHE_ENTRY_INFOA *info)
{
    return {info->lpszSourceUrlName,
            info->lpszLocalFileName ? QFile::decodeName(info->lpszLocalFileName) : QString(),
            info->dwSizeLow};
}

// Walks a whole search with the two-call sizing a caller uses.
std::vector<Listed> listAll(const char *pattern, DWORD filter = AllTypes)
{
    std::vector<Listed> out;
    DWORD size = 0;
    FindFirstUrlCacheEntryExA(pattern, 0, filter, 0, nullptr, &size, nullptr, nullptr, nullptr);
    auto buf = buffer(size);
    auto *info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA *>(buf.data());
    HANDLE h = FindFirstUrlCacheEntryExA(pattern, 0, filter, 0, size ? info : nullptr, &size,
                                         nullptr, nullptr, nullptr);
    if (!h)
        return out;
    out.push_back(listed(info));
    for (;;) {
        size = 0;
        FindNextUrlCacheEntryExA(h, nullptr, &size, nullptr, nullptr, nullptr);
        buf = buffer(size);
        info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA *>(buf.data());
        if (!FindNextUrlCacheEntryExA(h, size ? info : nullptr, &size, nullptr, nullptr, nullptr))
            break;
        out.push_back(listed(info));
    }
    EXPECT_EQ(platform::lastError(), 259u);
    FindCloseUrlCache(h);
    return out;
}

std::vector<QByteArray> urls(const std::vector<Listed> &entries)
{
    std::vector<QByteArray> out;
    for (const Listed &e : entries)
        out.push_back(e.url);
    return out;
}

// The invariants Wine checks before it trusts a container, plus our own structure checks.
void expectSound(const QByteArray &file)
{
    const auto *data = reinterpret_cast<const uchar *>(file.constData());
    EXPECT_TRUE(headerConsistent(data, quint64(file.size())));
    EXPECT_TRUE(IndexView::parse(data, quint64(file.size())).has_value());
}

} // namespace

TEST(WinInetCache, SampleListsItsEntriesWithLocalFilesAndSizes)
{
    SampleUrlCache sample;
    const QString dir = sample.content() + "/KHHU8BSF/";
    const std::vector<Listed> content = {
        {"http://news.example.org/story.htm?id=7", dir + "story[0].htm", 12},
        {"http://www.example.com/logo.gif", dir + "logo[0].gif", 6},
        {"http://www.example.com/index.html", dir + "index[0].html", 33},
    };
    EXPECT_EQ(listAll(""), content);
    const std::vector<Listed> cookies = {
        {"Cookie:user@www.example.com/", sample.cookies() + "/95A9DVO0.txt", 75},
        {"Cookie:user@shop.example.net/", sample.cookies() + "/9SBTEVO0.txt", 71},
    };
    EXPECT_EQ(listAll("Cookie:"), cookies);
    EXPECT_EQ(listAll("cookie:"), cookies);
    EXPECT_TRUE(listAll("Visited:").empty());
    EXPECT_EQ(listAll(nullptr).size(), 5u);
    EXPECT_TRUE(listAll(":2026").empty());
}

TEST(WinInetCache, FilterSelectsByEntryType)
{
    SampleUrlCache sample;
    EXPECT_TRUE(listAll(nullptr, 0).empty());
    // Cookie entries carry 0x100000, which this filter does not admit.
    EXPECT_EQ(listAll(nullptr, 0x200035).size(), 3u);
    EXPECT_EQ(listAll("Cookie:", 0x100000).size(), 2u);
}

TEST(WinInetCache, TooSmallBufferKeepsThePosition)
{
    SampleUrlCache sample;
    DWORD size = 0;
    EXPECT_EQ(
        FindFirstUrlCacheEntryExA("", 0, AllTypes, 0, nullptr, &size, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_EQ(platform::lastError(), 122u);
    // 112 + "http://news.example.org/story.htm?id=7" + path + "htm", each on 4-byte boundaries.
    const QByteArray path = QFile::encodeName(sample.content() + "/KHHU8BSF/story[0].htm");
    const DWORD pathAt = (112 + 39 + 3) & ~3u;
    EXPECT_EQ(size, (((pathAt + path.size() + 1 + 3) & ~3u) + 4 + 3) & ~3u);

    auto buf = buffer(size);
    auto *info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA *>(buf.data());
    HANDLE h =
        FindFirstUrlCacheEntryExA("", 0, AllTypes, 0, info, &size, nullptr, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    DWORD small = 8;
    EXPECT_FALSE(FindNextUrlCacheEntryExA(h, info, &small, nullptr, nullptr, nullptr));
    EXPECT_EQ(platform::lastError(), 122u);
    buf = buffer(small);
    info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA *>(buf.data());
    ASSERT_TRUE(FindNextUrlCacheEntryExA(h, info, &small, nullptr, nullptr, nullptr));
    EXPECT_STREQ(info->lpszSourceUrlName, "http://www.example.com/logo.gif");
    EXPECT_STREQ(info->lpszFileExtension, "gif");
    EXPECT_TRUE(FindCloseUrlCache(h));
    EXPECT_FALSE(FindCloseUrlCache(h));
}

TEST(WinInetCache, LookupByExactUrl)
{
    SampleUrlCache sample;
    DWORD size = 0;
    EXPECT_FALSE(GetUrlCacheEntryInfoExA("http://www.example.com/logo.gif", nullptr, &size, nullptr,
                                         nullptr, nullptr, 0));
    EXPECT_EQ(platform::lastError(), 122u);
    auto buf = buffer(size);
    auto *info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA *>(buf.data());
    ASSERT_TRUE(GetUrlCacheEntryInfoExA("http://www.example.com/logo.gif", info, &size, nullptr,
                                        nullptr, nullptr, 0));
    EXPECT_EQ(info->dwSizeLow, 6u);
    EXPECT_EQ(info->CacheEntryType, 1u);

    for (const char *missing : {"http://www.example.com/logo.gi", "http://www.example.com/LOGO.gif",
                                "Cookie:user@nowhere/", "Visited: user@http://x/"}) {
        size = 0;
        EXPECT_FALSE(
            GetUrlCacheEntryInfoExA(missing, nullptr, &size, nullptr, nullptr, nullptr, 0));
        EXPECT_EQ(platform::lastError(), 2u) << missing;
    }
}

TEST(WinInetCache, DeletionFreesEverythingAndKeepsTheFileSound)
{
    SampleUrlCache sample;
    const QString index = sample.content() + "/index.dat";
    const QByteArray before = sample.read(index);
    ASSERT_TRUE(DeleteUrlCacheEntry("http://www.example.com/logo.gif"));
    const QByteArray after = sample.read(index);

    expectSound(after);
    EXPECT_FALSE(QFile::exists(sample.content() + "/KHHU8BSF/logo[0].gif"));
    EXPECT_TRUE(QFile::exists(sample.content() + "/KHHU8BSF/index[0].html"));
    const auto *a = reinterpret_cast<const uchar *>(after.constData());
    const auto *b = reinterpret_cast<const uchar *>(before.constData());
    EXPECT_EQ(layout::readU32(a + 0x28), layout::readU32(b + 0x28) - 2);
    EXPECT_EQ(layout::readU64(a + 0x38), layout::readU64(b + 0x38) - 6);
    EXPECT_EQ(layout::readU32(a + 0x58), layout::readU32(b + 0x58) - 1);
    // The record at 0x5100 (blocks 34 and 35) and its hash item at 0x4BA8.
    EXPECT_EQ(a[0x254], 0x33);
    EXPECT_EQ(after.mid(0x5100, 0x100), QByteArray(0x100, '\0'));
    EXPECT_EQ(layout::readU32(a + 0x4BA8), 1u);
    EXPECT_EQ(layout::readU32(a + 0x4BAC), 0u);
    EXPECT_EQ(after.indexOf("logo"), -1);

    EXPECT_EQ(urls(listAll("")), (std::vector<QByteArray>{"http://news.example.org/story.htm?id=7",
                                                          "http://www.example.com/index.html"}));
    EXPECT_FALSE(DeleteUrlCacheEntry("http://www.example.com/logo.gif"));
    EXPECT_EQ(platform::lastError(), 2u);
    EXPECT_EQ(sample.read(index), after);
}

TEST(WinInetCache, NothingIsWrittenWhileTheWineserverRuns)
{
    SampleUrlCache sample;
    sample.environment->setWritable(false);
    const QByteArray before = sample.read(sample.cookies() + "/index.dat");
    EXPECT_FALSE(DeleteUrlCacheEntry("Cookie:user@www.example.com/"));
    EXPECT_EQ(platform::lastError(), 5u);
    EXPECT_EQ(sample.read(sample.cookies() + "/index.dat"), before);
    EXPECT_TRUE(QFile::exists(sample.cookies() + "/95A9DVO0.txt"));
}

TEST(WinInetCache, DamagedContainerReadsEmptyAndIsNeverWritten)
{
    SampleUrlCache sample;
    const QString index = sample.cookies() + "/index.dat";
    QByteArray bytes = sample.read(index);
    bytes[0x1C] = char(bytes[0x1C] + 1); // a file size field that is not the file's
    {
        QFile f(index);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    EXPECT_TRUE(listAll("Cookie:").empty());
    EXPECT_FALSE(DeleteUrlCacheEntry("Cookie:user@www.example.com/"));
    EXPECT_EQ(platform::lastError(), 2u);
    EXPECT_EQ(sample.read(index), bytes);
    EXPECT_TRUE(QFile::exists(sample.cookies() + "/95A9DVO0.txt"));
}

// A record whose block count reaches over its neighbour must not take the neighbour with it.
TEST(WinInetCache, RecordReachingOverAnotherIsNeverDeleted)
{
    SampleUrlCache sample;
    const QString index = sample.content() + "/index.dat";
    QByteArray bytes = sample.read(index);
    bytes[0x5004] = 4; // index.html at 0x5000 now covers logo.gif at 0x5100
    {
        QFile f(index);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    EXPECT_FALSE(DeleteUrlCacheEntry("http://www.example.com/index.html"));
    EXPECT_EQ(platform::lastError(), 5u);
    EXPECT_EQ(sample.read(index), bytes);
    EXPECT_TRUE(QFile::exists(sample.content() + "/KHHU8BSF/index[0].html"));
    EXPECT_TRUE(QFile::exists(sample.content() + "/KHHU8BSF/logo[0].gif"));
}

TEST(WinInetCache, LocalFilesOutsideTheFolderAreNeverDeleted)
{
    SampleUrlCache sample;
    const QString outside = sample.root() + "/drive_c/users/user/AppData/precious.txt";
    QFile f(outside);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("keep");
    f.close();
    // A subfolder that is a link leading out of the container.
    const QString linked = sample.root() + "/drive_c/users/user/elsewhere";
    QDir().mkpath(linked);
    QFile::copy(outside, linked + "/page.txt");

    auto file = IndexFile::open(sample.content() + "/index.dat");
    ASSERT_TRUE(file);
    {
        IndexLock lock(*file, true);
        ASSERT_TRUE(lock.view());
        uchar *dir0 = file->writableData() + layout::DirTable;
        ASSERT_TRUE(QFile::link(linked, sample.content() + "/LINKED00"));
        std::memcpy(dir0 + 4, "LINKED00", 8);
        file->reparse();
        IndexEditor editor(*file);
        NewUrlRecord climb;
        climb.url = "http://evil.example/climb";
        climb.localName = "..\\..\\..\\..\\precious.txt";
        climb.dirIndex = 1;
        ASSERT_TRUE(editor.addRecord(climb));
        NewUrlRecord slash = climb;
        slash.url = "http://evil.example/slash";
        slash.localName = "../../../../precious.txt";
        ASSERT_TRUE(editor.addRecord(slash));
        NewUrlRecord viaLink = climb;
        viaLink.url = "http://evil.example/link";
        viaLink.localName = "page.txt";
        viaLink.dirIndex = 0;
        ASSERT_TRUE(editor.addRecord(viaLink));
    }
    file.reset();
    for (const char *url :
         {"http://evil.example/climb", "http://evil.example/slash", "http://evil.example/link"})
        EXPECT_TRUE(DeleteUrlCacheEntry(url)) << url;
    EXPECT_TRUE(QFile::exists(outside));
    EXPECT_TRUE(QFile::exists(linked + "/page.txt"));
    expectSound(sample.read(sample.content() + "/index.dat"));
}

TEST(WinInetCache, TargetPrefixContainersAreFoundThroughItsShellFolders)
{
    SampleUrlCache sample;
    QFile::remove(sample.root() + "/dosdevices/c:");
    QFile::link("../drive_c", sample.root() + "/dosdevices/c:");
    qputenv("WINEPREFIX", QFile::encodeName(sample.root()));
    const auto environment = prefixUrlCacheEnvironment();
    wininet::setUrlCacheEnvironment(environment);
    EXPECT_EQ(environment->userName(), "user");
    EXPECT_EQ(listAll("").size(), 3u);
    EXPECT_EQ(listAll("Cookie:").size(), 2u);
    EXPECT_TRUE(DeleteUrlCacheEntry("Cookie:user@shop.example.net/"));
    EXPECT_EQ(listAll("Cookie:").size(), 1u);
    qunsetenv("WINEPREFIX");
}

// What the container itself keeps is no record's file, and a container folder linked out of
// the prefix is not cleaned at all.
TEST(WinInetCache, ContainerFilesAndFoldersOutsideThePrefixStay)
{
    SampleUrlCache sample;
    const QString cookieIndex = sample.cookies() + "/index.dat";
    {
        auto file = IndexFile::open(cookieIndex);
        ASSERT_TRUE(file);
        IndexLock lock(*file, true);
        ASSERT_TRUE(lock.view());
        NewUrlRecord own;
        own.url = "Cookie:user@evil.example/";
        own.localName = "INDEX.DAT";
        ASSERT_TRUE(IndexEditor(*file).addRecord(own));
        own.url = "Cookie:user@evil.example/exact";
        own.localName = "index.dat";
        ASSERT_TRUE(IndexEditor(*file).addRecord(own));
    }
    EXPECT_TRUE(DeleteUrlCacheEntry("Cookie:user@evil.example/"));
    EXPECT_TRUE(DeleteUrlCacheEntry("Cookie:user@evil.example/exact"));
    expectSound(sample.read(cookieIndex));
    EXPECT_EQ(listAll("Cookie:").size(), 2u);

    // The Content container moved out of the prefix and linked back in.
    QTemporaryDir outside;
    const QString moved = outside.path() + "/Content.IE5";
    ASSERT_TRUE(QDir().rename(sample.content(), moved));
    ASSERT_TRUE(QFile::link(moved, sample.content()));
    wininet::setUrlCacheEnvironment(sample.environment);
    const QByteArray before = sample.read(moved + "/index.dat");
    EXPECT_EQ(listAll("").size(), 3u);
    EXPECT_FALSE(DeleteUrlCacheEntry("http://www.example.com/logo.gif"));
    EXPECT_EQ(platform::lastError(), 5u);
    EXPECT_TRUE(QFile::exists(moved + "/KHHU8BSF/logo[0].gif"));
    EXPECT_EQ(sample.read(moved + "/index.dat"), before);
}
