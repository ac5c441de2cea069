#include "platform/shell/InternetShortcut.h"
#include "PrefixBuilder.h"
#include "TestEnvironment.h"
#include "browserdata/IEUtils.h"
#include "platform/kernel/ProfileFile.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace win;

// The rules by which the shell reads an address (checked against Wine's own object).
TEST(InternetShortcut, AddressIsReadByTheProfileRules)
{
    struct Case
    {
        QByteArray file;
        std::optional<QString> url;
    };
    const Case cases[] = {
        {"[InternetShortcut]\r\nURL=http://a.example/\r\n", "http://a.example/"},
        {"[internetshortcut]\r\nurl = \"http://q.example/\" \r\n", "http://q.example/"},
        {"[InternetShortcut]\nURL='http://s.example/'", "http://s.example/"},
        {"[InternetShortcut]\r\nURL=\"http://unmatched.example/\r\n",
         "\"http://unmatched.example/"},
        {"[InternetShortcut]\r\n;URL=http://comment.example/\r\nURL=http://b.example/;x\r\n",
         "http://b.example/;x"},
        {"[DEFAULT]\r\nBASEURL=x\r\n[InternetShortcut]\r\nURL=http://1.example/\r\nURL=http://"
         "2.example/",
         "http://1.example/"},
        {"[InternetShortcut]\r\nIconIndex=1\r\n[InternetShortcut]\r\nURL=http://second.example/"
         "\r\n",
         std::nullopt},
        {"[InternetShortcut]\r\nURL=http://caf\xE9.example/\r\n", "http://café.example/"},
        {"\xEF\xBB\xBF[InternetShortcut]\r\nURL=http://caf\xC3\xA9.example/\r\n",
         "http://café.example/"},
        {QByteArray("\xFF\xFE[\0I\0n\0t\0e\0r\0n\0e\0t\0S\0h\0o\0r\0t\0c\0u\0t\0]\0\n\0U\0R\0L\0="
                    "\0h\0:\0/\0",
                    54),
         "h:/"},
        {"[InternetShortcut]\r\nIconIndex=1\r\n", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(profileString(c.file, u"InternetShortcut", u"URL"), c.url) << c.file.constData();
}

TEST(InternetShortcut, ObjectFailsWithoutAnAddressAndTheIniReaderAgrees)
{
    PrefixBuilder prefix;
    prefix.file("drive_c/a.url", "[InternetShortcut]\r\nURL=http://a.example/\r\n")
        .file("drive_c/none.url", "[InternetShortcut]\r\nURL=\r\n");
    InternetShortcut object;
    QString url;
    EXPECT_EQ(object.Load("C:\\a.url"), S_OK);
    EXPECT_EQ(object.GetURL(&url), S_OK);
    EXPECT_EQ(url, "http://a.example/");
    EXPECT_EQ(object.Load("C:\\none.url"), E_FAIL);
    EXPECT_EQ(object.Load("C:\\missing.url"), E_FAIL);
    EXPECT_EQ(UrlFromShortcutObject("C:\\a.url"), UrlFromIniFile("C:\\a.url"));
    EXPECT_EQ(UrlFromShortcutObject("C:\\missing.url"), "");
}

TEST(InternetShortcut, WrittenAsTwoLinesInTheCodePageOrNotAtAll)
{
    PrefixBuilder prefix;
    const QByteArray old = "[InternetShortcut]\r\nURL=http://old.example/\r\nIconIndex=3\r\n"
                           "[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,11\r\n";
    prefix.file("drive_c/a.url", old);
    const auto content = [&] {
        QFile file(prefix.path("drive_c/a.url"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QString reason;
    ASSERT_TRUE(writeInternetShortcutFile("C:\\a.url", "http://café.example/ x", &reason));
    EXPECT_EQ(content(), "[InternetShortcut]\r\nURL=http://caf\xE9.example/ x\r\n");

    EXPECT_FALSE(writeInternetShortcutFile("C:\\a.url", "http://例え.jp/", &reason));
    EXPECT_TRUE(reason.contains("code page"));
    EXPECT_EQ(content(), "[InternetShortcut]\r\nURL=http://caf\xE9.example/ x\r\n")
        << "a refused address leaves the file as it was";

    prefix.holdServerLock();
    EXPECT_FALSE(writeInternetShortcutFile("C:\\a.url", "http://new.example/", &reason));
    prefix.releaseServerLock();
    EXPECT_EQ(content(), "[InternetShortcut]\r\nURL=http://caf\xE9.example/ x\r\n");
}
