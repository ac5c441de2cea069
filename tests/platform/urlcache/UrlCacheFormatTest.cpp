#include "platform/kernel/FileTime.h"
#include "platform/urlcache/CookieFile.h"
#include "platform/urlcache/UrlCacheHash.h"
#include "platform/urlcache/UrlCacheNames.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace urlcache;

TEST(UrlCacheHash, KnownKeysOfBothRules)
{
    struct Vector
    {
        const char *url;
        quint32 wine;
        quint32 native;
    };
    const Vector vectors[] = {
        {"http://www.example.com/dir/page.html", 0xE0216BB5, 0xE0216BB5},
        {"Visited: root@http://www.example.com/dir/page.html", 0xE20D8242, 0xE20D8242},
        {"Cookie:root@example.org/shop", 0x98BD1955, 0x98BD1955},
        {"http://www.example.com/", 0xC3FD22B3, 0x5A7D5CFA},
        {"Cookie:root@www.example.com/dir/", 0xD4521DFD, 0x944BA37D},
    };
    for (const Vector &v : vectors) {
        EXPECT_EQ(urlHash(v.url, HashRule::Wine), v.wine) << v.url;
        EXPECT_EQ(urlHash(v.url, HashRule::Native), v.native) << v.url;
    }
    EXPECT_EQ(hashBucket(0xE0216BB5), 53u);
}

TEST(UrlCacheNames, LocalFileNamesAsWineFormsThem)
{
    QList<QByteArray> existing;
    const auto exists = [&](const QByteArray &n) { return existing.contains(n); };
    EXPECT_EQ(newLocalFileName("http://www.example.com/dir/page.html", "html", exists, 1),
              "page[0].html");
    existing << "page[0].html";
    EXPECT_EQ(newLocalFileName("http://www.example.com/dir/page.html", "html", exists, 1),
              "page[1].html");
    EXPECT_EQ(newLocalFileName("http://news.example.org/story.htm?id=7", "htm", exists, 1),
              "story[0].htm");
    EXPECT_EQ(newLocalFileName("Cookie:root@example.org/shop", "txt", exists, 1), "shop[0].txt");
    EXPECT_EQ(newLocalFileName("http://x/a:b*c.gif", "g?f.", exists, 1), "a_b_c[0].g_f_");

    const QByteArray random = newLocalFileName("http://www.example.com/", "htm", exists, 42);
    EXPECT_EQ(random.size(), 12);
    EXPECT_TRUE(random.endsWith(".htm"));
    EXPECT_EQ(newLocalFileName("http://www.example.com", "htm", exists, 42), random);
}

TEST(UrlCacheNames, PlainNamesOnly)
{
    EXPECT_TRUE(isPlainFileName("page[0].html"));
    for (const char *bad : {"", ".", "..", "..\\..\\x", "../x", "a/b", "a\\b"})
        EXPECT_FALSE(isPlainFileName(bad)) << bad;
}

TEST(CookieFile, ReadsAndWritesTheTextFormat)
{
    const QByteArray wine = "sid\nabc123\nwww.example.com/dir/\n0\n308893440\n31608485\n"
                            "1861967444\n31295279\n*\n";
    const QList<Cookie> cookies = parseCookieFile(wine);
    ASSERT_EQ(cookies.size(), 1);
    EXPECT_EQ(cookies[0].name, "sid");
    EXPECT_EQ(cookies[0].value, "abc123");
    EXPECT_EQ(cookies[0].domainPath, "www.example.com/dir/");
    EXPECT_EQ(cookies[0].expiry, 0x01E24EA512695700ULL);
    EXPECT_EQ(formatCookieFile(cookies), wine);

    QByteArray crlf = wine + wine;
    crlf.replace("\n", "\r\n");
    crlf.chop(2);
    EXPECT_EQ(parseCookieFile(crlf), cookies + cookies);
}

TEST(CookieFile, DamagedRecordIsSkippedToTheNextStar)
{
    const QByteArray text = "bad\nvalue\nhost/\nnot-a-number\n1\n2\n3\n4\n*\n"
                            "ok\nv\nhost/\n0\n1\n2\n3\n4\n*";
    const QList<Cookie> cookies = parseCookieFile(text);
    ASSERT_EQ(cookies.size(), 1);
    EXPECT_EQ(cookies[0].name, "ok");
}

TEST(FileTime, DosAndFileTimeConversions)
{
    const quint64 expiry = platform::dosDateTimeToFileTime(0x666E, 0x792D);
    EXPECT_EQ(platform::dateTimeFromFileTime(expiry),
              QDateTime(QDate(2031, 3, 14), QTime(15, 9, 26), Qt::UTC));
    quint16 date = 0, time = 0;
    ASSERT_TRUE(platform::fileTimeToDosDateTime(expiry, date, time));
    EXPECT_EQ(date, 0x666E);
    EXPECT_EQ(time, 0x792D);
    EXPECT_EQ(platform::dosDateTimeToFileTime(0, 0), 0u);
    EXPECT_FALSE(platform::fileTimeToDosDateTime(1, date, time));

    platform::SystemTime st;
    st.year = 1899;
    st.month = 12;
    st.day = 29;
    st.hour = 6;
    EXPECT_DOUBLE_EQ(platform::encodeDateTime(st), -1.25);
}
