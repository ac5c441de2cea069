#include "MsiecfExport.h"
#include "platform/kernel/FileTime.h"
#include "platform/kernel/LastError.h"
#include "platform/urlcache/CookieFile.h"
#include "platform/urlcache/IndexDatLayout.h"
#include "platform/urlcache/IndexView.h"
#include "platform/urlcache/SampleUrlCache.h"
#include "platform/urlcache/UrlCache.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtEndian>

#include <csignal>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>

using namespace urlcache;

namespace {

std::optional<Signature> signatureOfFile(const QByteArray &bytes)
{
    return signatureOf(reinterpret_cast<const uchar *>(bytes.constData()), quint64(bytes.size()));
}

std::optional<IndexView> parsed(const QByteArray &bytes)
{
    return IndexView::parse(reinterpret_cast<const uchar *>(bytes.constData()),
                            quint64(bytes.size()));
}

bool lookUp(const char *url)
{
    wininet::DWORD size = 0;
    wininet::GetUrlCacheEntryInfoExA(url, nullptr, &size, nullptr, nullptr, nullptr, 0);
    return platform::lastError() == 122;
}

CommitRequest historyEntry(int n)
{
    CommitRequest r;
    r.url = "Visited: user@http://site" + QByteArray::number(n % 97) + ".example/page/" +
            QByteArray::number(n);
    r.withFile = false;
    return r;
}

// The three containers in folders of their own under home, for the user "user".
std::shared_ptr<FixedUrlCacheEnvironment> containersIn(const QTemporaryDir &home)
{
    return std::make_shared<FixedUrlCacheEnvironment>(ShellCacheFolders{home.path() + "/Cache",
                                                                        home.path() + "/Cookies",
                                                                        home.path() + "/History"},
                                                      "user");
}

} // namespace

TEST(UrlCacheCommit, MissingContainerIsCreatedWithTheNativeSignature)
{
    QTemporaryDir home;
    auto env = containersIn(home);
    UrlCache cache(env);
    CommitRequest page;
    page.url = "http://www.example.com/dir/page.html";
    page.fileContent = "<html>hello</html>";
    page.extension = "html";
    page.headerInfo = "HTTP/1.1 200 OK\r\n\r\n~U:user\r\n";
    const auto local = cache.commitEntry(page);
    ASSERT_TRUE(local);
    EXPECT_TRUE(local->endsWith("/page[0].html"));
    EXPECT_TRUE(QFile::exists(*local));

    QFile f(home.path() + "/Cache/Content.IE5/index.dat");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes.size(), 0x8000);
    EXPECT_EQ(signatureOfFile(bytes), Signature::Native);
    const auto view = parsed(bytes);
    ASSERT_TRUE(view);
    ASSERT_EQ(view->directories().size(), 4u);
    for (const CacheDirectory &d : view->directories())
        EXPECT_TRUE(QDir(home.path() + "/Cache/Content.IE5/" + d.name.toByteArray()).exists());
    const auto record = view->find(page.url);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->fileSize, 18u);
    EXPECT_EQ(record->localName, "page[0].html");
    EXPECT_EQ(record->headerInfo, page.headerInfo);
    EXPECT_EQ(layout::readU64(reinterpret_cast<const uchar *>(bytes.constData()) + 0x38), 18u);
}

TEST(UrlCacheCommit, RecommitReplacesTheEntryAndItsFile)
{
    SampleUrlCache sample;
    UrlCache cache(sample.environment);
    CommitRequest cookie;
    cookie.url = "Cookie:user@www.example.com/";
    cookie.extension = "txt";
    cookie.entryType = 0;
    cookie.fileContent =
        formatCookieFile({{"a", "1", "www.example.com/", 0, 0x01E24EA512695700, 1}});
    const QString oldFile = sample.cookies() + "/95A9DVO0.txt";
    const auto local = cache.commitEntry(cookie);
    ASSERT_TRUE(local);
    EXPECT_FALSE(QFile::exists(oldFile));

    QFile f(sample.cookies() + "/index.dat");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(signatureOfFile(bytes), Signature::Wine);
    const auto view = parsed(bytes);
    ASSERT_TRUE(view);
    const auto record = view->find(cookie.url);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->hitRate, 2u);
    EXPECT_EQ(record->entryType, entrytype::Cookie);
    EXPECT_EQ(record->dirIndex, layout::NoDirectory);
    QFile written(*local);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(parseCookieFile(written.readAll()).value(0).name, "a");
}

TEST(UrlCacheCommit, FailedFileWriteLeavesNoPartOfTheFile)
{
    QTemporaryDir home;
    auto env = containersIn(home);
    UrlCache cache(env);
    CommitRequest page;
    page.url = "http://www.example.com/small.html";
    page.fileContent = "<html></html>";
    page.extension = "html";
    ASSERT_TRUE(cache.commitEntry(page));

    page.url = "http://www.example.com/large.html";
    page.fileContent = QByteArray(256 * 1024, 'x');
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024; // the index fits, the new file does not
    setrlimit(RLIMIT_FSIZE, &small);
    const auto local = cache.commitEntry(page);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);

    EXPECT_FALSE(local);
    QStringList files;
    for (QDirIterator it(home.path() + "/Cache", {"*.html"}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        files << it.nextFileInfo().fileName();
    EXPECT_EQ(files, QStringList{"small[0].html"});
}

TEST(UrlCacheCommit, SubfolderNamesLeadingOutAreNotWrittenTo)
{
    SampleUrlCache sample;
    const QString index = sample.content() + "/index.dat";
    QByteArray bytes = sample.read(index);
    for (int i = 0; i < 4; ++i)
        bytes.replace(layout::DirTable + i * layout::DirEntrySize + 4, 8, "../../..");
    {
        QFile f(index);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    UrlCache cache(sample.environment);
    CommitRequest page;
    page.url = "http://www.example.com/escape.html";
    page.fileContent = "<html></html>";
    page.extension = "html";
    EXPECT_FALSE(cache.commitEntry(page));
    QStringList files;
    for (QDirIterator it(sample.root(), {"escape*"}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();)
        files << it.next();
    EXPECT_EQ(files, QStringList());
}

TEST(UrlCacheCommit, GrowthKeepsEveryEntryReachable)
{
    for (const bool wine : {true, false}) {
        SampleUrlCache sample;
        const QString index = sample.history() + "/index.dat";
        if (!wine) {
            QFile::remove(index);
            QDir(sample.history()).removeRecursively();
        }
        UrlCache cache(sample.environment);
        constexpr int Count = 3000;
        for (int n = 0; n < Count; ++n)
            ASSERT_TRUE(cache.commitEntry(historyEntry(n))) << n;

        QFile f(index);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const auto view = parsed(bytes);
        ASSERT_TRUE(view);
        EXPECT_EQ(view->signature(), wine ? Signature::Wine : Signature::Native);
        EXPECT_GT(view->hashTables().size(), 1u);
        const quint32 capacity = view->capacity();
        if (wine)
            EXPECT_EQ(capacity & (capacity - 1), 0u) << "doubled from 128";
        else
            EXPECT_EQ(capacity % 128, 0u);
        int reachable = 0;
        for (int n = 0; n < Count; ++n)
            reachable += view->find(historyEntry(n).url).has_value();
        EXPECT_EQ(reachable, Count);
        EXPECT_TRUE(lookUp(historyEntry(Count - 1).url.constData()));
    }
}

// A container (found by the fuzz target) whose hash table lies on blocks that its bitmap calls
// free: a new record would be given the table's blocks. It is refused whole; once its bitmap is
// mended it takes new entries and stays readable.
TEST(UrlCacheCommit, HashTableOnBlocksCalledFreeTakesNoEntryUntilMended)
{
    QFile find(QStringLiteral(NAVOLIS_FUZZ_DIR "/urlcache/corpus/add-record-on-table-blocks.dat"));
    ASSERT_TRUE(find.open(QIODevice::ReadOnly));
    const QByteArray found = find.readAll();
    const quint32 table = qFromLittleEndian<quint32>(found.constData() + layout::HashTableField);
    ASSERT_GE(table, layout::FirstBlock);

    for (const char *signature : {layout::WineSignature, layout::NativeSignature}) {
        QTemporaryDir home;
        auto env = containersIn(home);
        const QString index = home.path() + "/History/History.IE5/index.dat";
        ASSERT_TRUE(QDir().mkpath(QFileInfo(index).path()));
        QByteArray bytes = found;
        bytes.replace(0, int(layout::SignatureSize),
                      QByteArray(signature, int(layout::SignatureSize)));
        const auto write = [&] {
            QFile f(index);
            return f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                   f.write(bytes) == bytes.size();
        };
        ASSERT_TRUE(write());
        EXPECT_FALSE(parsed(bytes));
        UrlCache cache(env);
        for (int n = 0; n < 2; ++n)
            EXPECT_FALSE(cache.commitEntry(historyEntry(n))) << signature;
        QFile after(index);
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        EXPECT_EQ(after.readAll(), bytes) << signature;
        after.close();

        // The table's blocks marked as used, and counted.
        const quint32 first = (table - layout::FirstBlock) / layout::BlockSize;
        quint32 added = 0;
        for (quint32 b = first; b < first + layout::HashBlocks; ++b) {
            char &byte = bytes[int(layout::Bitmap + b / 8)];
            added += !(byte & (1 << (b % 8)));
            byte = char(byte | (1 << (b % 8)));
        }
        const quint32 inUse =
            qFromLittleEndian<quint32>(bytes.constData() + layout::BlocksInUseField) + added;
        qToLittleEndian(inUse, bytes.data() + layout::BlocksInUseField);
        ASSERT_TRUE(parsed(bytes)) << signature;
        ASSERT_TRUE(write());
        for (int n = 0; n < 2; ++n)
            ASSERT_TRUE(cache.commitEntry(historyEntry(n))) << signature;
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        const QByteArray mended = after.readAll();
        const auto view = parsed(mended);
        ASSERT_TRUE(view) << signature;
        EXPECT_TRUE(headerConsistent(view->data(), view->size()));
        for (int n = 0; n < 2; ++n)
            EXPECT_TRUE(view->find(historyEntry(n).url)) << signature;
        if (signature == layout::NativeSignature) {
            const int items = exportedItems(index).first;
            if (items != -1) {
                EXPECT_GE(items, 2);
            }
        }
    }
}

TEST(UrlCacheCommit, EntryHashedByTheOtherRuleIsStillFound)
{
    SampleUrlCache sample;
    const QString index = sample.cookies() + "/index.dat";
    QFile::remove(index);
    UrlCache cache(sample.environment);
    CommitRequest cookie;
    cookie.url = "Cookie:user@www.example.com/dir/";
    cookie.withFile = false;
    ASSERT_TRUE(cache.commitEntry(cookie)); // native rule: the final "/" is not hashed
    {
        QFile f(index);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write(layout::WineSignature, sizeof layout::WineSignature);
    }
    wininet::setUrlCacheEnvironment(sample.environment);
    EXPECT_TRUE(lookUp("Cookie:user@www.example.com/dir/"));
    EXPECT_TRUE(wininet::DeleteUrlCacheEntry("Cookie:user@www.example.com/dir/"));
    EXPECT_FALSE(lookUp("Cookie:user@www.example.com/dir/"));
}

TEST(UrlCacheCommit, RecordIsLaidOutAsWineLaysItOut)
{
    QTemporaryDir home;
    const QString content = home.path() + "/Cache/Content.IE5";
    ASSERT_TRUE(IndexFile::create(content + "/index.dat", {"FQCKDOPF"}));
    {
        QFile f(content + "/index.dat");
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write(layout::WineSignature, sizeof layout::WineSignature);
    }
    UrlCache cache(std::make_shared<FixedUrlCacheEnvironment>(
        ShellCacheFolders{home.path() + "/Cache", {}, {}}, "root"));
    CommitRequest page;
    page.url = "http://www.example.com/dir/page.html";
    page.fileContent = "<html>page</html>\n";
    page.extension = "html";
    page.headerInfo = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n~U:root\r\n";
    page.lastModified = 0x01D6380C2D03E000;
    page.expire = platform::dosDateTimeToFileTime(0x666E, 0x792D);
    ASSERT_EQ(cache.commitEntry(page), content + "/FQCKDOPF/page[0].html");
    CommitRequest sticky = page;
    sticky.url = "http://www.example.com/dir/pinned.html";
    sticky.fileContent = "pin\n";
    sticky.entryType = entrytype::Sticky;
    ASSERT_TRUE(cache.commitEntry(sticky));

    QFile f(content + "/index.dat");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const auto *d = reinterpret_cast<const uchar *>(bytes.constData());
    EXPECT_EQ(layout::readU32(d + 0x28), 36u);
    EXPECT_EQ(layout::readU64(d + 0x38), 18u);
    EXPECT_EQ(layout::readU64(d + 0x40), 4u);
    EXPECT_EQ(layout::readU32(d + 0x4C), 2u); // files in FQCKDOPF
    EXPECT_EQ(layout::readU32(d + 0x4BA8), 0xE0216B80u);
    EXPECT_EQ(layout::readU32(d + 0x4BAC), 0x5000u);
    const uchar *r = d + 0x5000;
    EXPECT_EQ(bytes.mid(0x5000, 8), QByteArray("URL \x02\0\0\0", 8));
    EXPECT_EQ(layout::readU64(r + 0x08), page.lastModified);
    EXPECT_EQ(layout::readU32(r + 0x18), 0x792D666Eu);
    EXPECT_EQ(layout::readU32(r + 0x20), 18u);
    EXPECT_EQ(layout::readU32(r + 0x30), 0x60u);
    EXPECT_EQ(layout::readU32(r + 0x34), 0x68u);
    EXPECT_EQ(layout::readU32(r + 0x38), 0x10100000u);
    EXPECT_EQ(layout::readU32(r + 0x3C), 0x90u);
    EXPECT_EQ(layout::readU32(r + 0x40), 1u);
    EXPECT_EQ(layout::readU32(r + 0x44), 0xA0u);
    EXPECT_EQ(layout::readU32(r + 0x48), 53u);
    EXPECT_EQ(layout::readU32(r + 0x4C), 0xD8u);
    EXPECT_EQ(layout::readU32(r + 0x54), 1u);
    EXPECT_EQ(bytes.mid(0x508D, 3), QByteArray("\xbe\xad\xde"));
    EXPECT_EQ(bytes.mid(0x50D8, 5), QByteArray("html\0", 5));
    EXPECT_EQ(layout::readU32(d + 0x5100 + 0x2C), 86400u);
}

// Growing on a full disk: the blocks are reserved before the mapping is written, so the commit
// fails cleanly instead of faulting, and the container stays as it was.
TEST(UrlCacheCommit, FullDiskRefusesGrowthCleanly)
{
    QTemporaryDir mountPoint;
    const QByteArray target = QFile::encodeName(mountPoint.path());
    if (::mount("navolis-test", target.constData(), "tmpfs", 0, "size=96k") != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const auto unmount = qScopeGuard([&] { ::umount2(target.constData(), MNT_DETACH); });
    const QString root = mountPoint.path();
    const auto environment = std::make_shared<FixedUrlCacheEnvironment>(
        ShellCacheFolders{root + "/Cache", root + "/Cookies", root + "/History"}, "user");
    const QString index = root + "/History/History.IE5/index.dat";
    {
        UrlCache cache(environment);
        int committed = 0;
        while (committed < 5000 && cache.commitEntry(historyEntry(committed)))
            ++committed;
        EXPECT_GT(committed, 100);
        EXPECT_LT(committed, 5000);
    }
    QFile f(index);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const auto view = parsed(bytes);
    ASSERT_TRUE(view);
    EXPECT_TRUE(headerConsistent(reinterpret_cast<const uchar *>(bytes.constData()),
                                 quint64(bytes.size())));
}
