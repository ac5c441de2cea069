// The list of sites whose cookies are kept: which cookies a line keeps, which files are refused
// rather than read as keeping less, and edits that leave the rest of the file alone.
#include "privacy/CookieKeepList.h"
#include "FileBytes.h"
#include "TestEnvironment.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(CookieKeepList, ALineKeepsItsHostAndTheHostsBelowItOnly)
{
    struct Case
    {
        const char *line;
        const char *record;
        bool kept;
    };
    const Case cases[] = {
        {"example.com", "Cookie:user@example.com/", true},
        {"example.com", "Cookie:user@www.example.com/", true},
        {"example.com", "Cookie:user@shop.example.com/cart/", true},
        {"example.com", "Cookie:user@example.com.attacker.net/", false},
        {"example.com", "Cookie:user@thisisanexample.com/", false},
        {"example.com", "Cookie:user@example.co/", false},
        {"www.example.com", "Cookie:user@example.com/", false},
        {"www.example.com", "Cookie:user@a.www.example.com/", true},
        // Case, the leading dot of old cookie domains and the trailing dot of absolute names.
        {"Example.COM", "Cookie:user@WWW.example.com/", true},
        {".example.com", "Cookie:user@www.example.com/", true},
        {"example.com.", "Cookie:user@.example.com/", true},
        {"example.com", "Cookie:user@www.example.com./", true},
        // The host is what follows the user name; the path does not count, nor other records.
        {"example.com", "Cookie:user@other.net/example.com/", false},
        {"example.com", "Cookie:user@other.net/@example.com/", false},
        {"example.com", "Visited: user@http://www.example.com/", false},
        {"example.com", "Cookie:example.com/", false},
        // An address keeps itself alone, and no name keeps an address.
        {"192.168.1.10", "Cookie:user@192.168.1.10/", true},
        {"168.1.10", "Cookie:user@192.168.1.10/", false},
        {"192.168.1.10", "Cookie:user@x.192.168.1.10/", false},
        {"[::1]", "Cookie:user@[0:0::1]/", true},
        {"::1", "Cookie:user@[::2]/", false},
        // Internationalised names meet in their ASCII form, whichever form each side uses.
        {"bücher.example", "Cookie:user@www.xn--bcher-kva.example/", true},
        {"xn--bcher-kva.example", "Cookie:user@shop.BÜCHER.example/", true},
        {"bücher.example", "Cookie:user@bucher.example/", false},
    };
    for (const Case &c : cases) {
        const CookieKeepList list = CookieKeepList::parse(QByteArray(c.line) + '\n');
        ASSERT_TRUE(list.usable()) << c.line << ": " << list.problem().toStdString();
        EXPECT_EQ(list.keepsCookie(QString::fromUtf8(c.record)), c.kept)
            << c.line << " / " << c.record;
    }
}

// A line the reader does not understand might be meant to keep anything: the whole list is
// refused, never read as keeping less.
TEST(CookieKeepList, CommentsAndBlanksAreSkippedAndAnythingElseRefusesTheList)
{
    const CookieKeepList list = CookieKeepList::parse(
        "\xEF\xBB\xBF# my sites\r\n\r\n  bank.example  # and its hosts\r\nBANK.example\n\t\n");
    ASSERT_TRUE(list.usable()) << list.problem().toStdString();
    EXPECT_EQ(list.sites(), QStringList{"bank.example"});

    for (const QByteArray &damaged :
         {QByteArray("example.com\n\xFF\xFE\n"), QByteArray("example.com\0\n", 13),
          "example.com\n" + QByteArray(2000, 'a') + '\n', QByteArray("https://example.com/\n"),
          QByteArray("*.example.com\n"), QByteArray("exa mple.com\n"), QByteArray("a..b\n"),
          QByteArray("-a.example\n"), QByteArray(".\n")})
        EXPECT_FALSE(CookieKeepList::parse(damaged).usable()) << damaged.left(40).toStdString();
}

class KeepListFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previous = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", previous); }

    QTemporaryDir config;
    QByteArray previous;
    QString path = config.filePath("navolis/cookies-to-keep");
};

TEST_F(KeepListFile, AMissingListKeepsNothingAndOneThatCannotBeReadIsRefused)
{
    EXPECT_EQ(CookieKeepList::path(), path);
    EXPECT_TRUE(CookieKeepList::load().usable());
    EXPECT_TRUE(CookieKeepList::load().sites().isEmpty());

    QDir().mkpath(path);
    EXPECT_FALSE(CookieKeepList::load().usable()) << "a folder";
    EXPECT_EQ(CookieKeepList::add("example.com"), CookieKeepList::Edit::NotUsable);
    QDir().rmdir(path);

    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const CookieKeepList fifo = CookieKeepList::load();
    EXPECT_FALSE(fifo.usable()) << "a FIFO, read without waiting for a writer";
    EXPECT_TRUE(fifo.problem().contains(path)) << fifo.problem().toStdString();
    QFile::remove(path);

    QFile::link(config.filePath("nowhere"), path);
    EXPECT_FALSE(CookieKeepList::load().usable()) << "a link that leads nowhere";
    QFile::remove(path);

    // The folder itself a link to a drive that is not there: the list may be on it.
    QDir(config.filePath("navolis")).removeRecursively();
    QFile::link(config.filePath("unmounted/navolis"), config.filePath("navolis"));
    EXPECT_FALSE(CookieKeepList::load().usable()) << "a folder link that leads nowhere";
    QFile::remove(config.filePath("navolis"));
    QDir().mkpath(config.filePath("navolis"));

    files::write(path, "example.com\n");
    if (::geteuid() != 0) {
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        EXPECT_FALSE(CookieKeepList::load().usable()) << "no permission to read";
    }
}

TEST_F(KeepListFile, EditsChangeTheirOwnLinesAndLeaveTheRest)
{
    using Edit = CookieKeepList::Edit;
    EXPECT_EQ(CookieKeepList::add("example.com"), Edit::Changed) << "the folder is made";
    EXPECT_EQ(files::read(path), "example.com\n");

    files::write(path, "# mine\nexample.com # bank\nshop.example.net");
    EXPECT_EQ(CookieKeepList::add("example.com"), Edit::Unchanged);
    EXPECT_EQ(CookieKeepList::add("news.example.org"), Edit::Changed);
    EXPECT_EQ(files::read(path),
              "# mine\nexample.com # bank\nshop.example.net\nnews.example.org\n");
    EXPECT_EQ(CookieKeepList::remove({"example.com", "other.example"}), Edit::Changed);
    EXPECT_EQ(files::read(path), "# mine\nshop.example.net\nnews.example.org\n");
    EXPECT_EQ(CookieKeepList::remove({"example.com"}), Edit::Unchanged);

    files::write(path, "example.com\nnot a site\n");
    EXPECT_EQ(CookieKeepList::remove({"example.com"}), Edit::NotUsable);
    EXPECT_EQ(files::read(path), "example.com\nnot a site\n") << "a damaged list stays as it is";
}

} // namespace
