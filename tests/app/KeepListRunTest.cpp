// The list of cookies to keep from the command line: edited with options, counted apart by the
// preview, honoured by every clean-up of all cookies, and refusing them when it cannot be read.

#include "FileBytes.h"
#include "ProgramRun.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class KeepListRun : public ProgramRun
{
protected:
    QString home = folder.filePath(QStringLiteral("home"));
    QString keepList = folder.filePath(QStringLiteral("config/navolis/cookies-to-keep"));

    void SetUp() override
    {
        ProgramRun::SetUp();
        chooseLanguage();
        QProcess seed;
        seed.setProcessEnvironment(environment());
        seed.start(QStringLiteral(NAVOLIS_PROGRAM_DIR "/navolis-seed"), {"demo"});
        ASSERT_TRUE(seed.waitForFinished(60000) && seed.exitCode() == 0)
            << seed.readAllStandardError().toStdString();
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("WINEPREFIX", prefixRoot);
        env.insert("HOME", home);
        env.insert("XDG_DATA_HOME", home + "/.local/share");
        env.insert("XDG_CONFIG_HOME", folder.filePath("config"));
        return env;
    }

    Outcome navolis(const QStringList &arguments)
    {
        const QProcessEnvironment env = environment();
        QMap<QString, QString> values;
        for (const char *name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
            values.insert(name, env.value(name));
        return start(arguments, values);
    }

    // The hosts of the cookies in the prefix, as the seed tool lists them.
    QString cookies()
    {
        QProcess list;
        list.setProcessEnvironment(environment());
        list.start(QStringLiteral(NAVOLIS_PROGRAM_DIR "/navolis-seed"), {"list", "cookies"});
        list.waitForFinished(60000);
        QStringList hosts;
        for (const QString &line : QString::fromUtf8(list.readAllStandardOutput()).split('\n'))
            if (const qsizetype at = line.indexOf('@'); at >= 0)
                hosts << line.mid(at + 1).section('/', 0, 0);
        hosts.sort();
        return hosts.join(' ');
    }
};

TEST_F(KeepListRun, SitesKeptFromTheCommandLineKeepTheirCookiesThroughPreviewAndRun)
{
    const QString all = "ads.example.biz news.example.org shop.example.net www.example.com";
    ASSERT_EQ(cookies(), all);

    const Outcome keep = navolis({"--keep-cookies-of", "Example.COM."});
    EXPECT_EQ(keep.status, 0) << keep.err.toStdString();
    EXPECT_EQ(navolis({"--keep-cookies-of", "example.com"}).out,
              "example.com is already on the list of cookies to keep.\n");
    EXPECT_EQ(navolis({"--keep-cookies-of", "news.example.org"}).status, 0);
    EXPECT_EQ(navolis({"--forget-cookies-of", "news.example.org"}).status, 0);
    const Outcome forgotten = navolis({"--forget-cookies-of", "www.example.com"});
    EXPECT_EQ(forgotten.status, 0);
    EXPECT_TRUE(forgotten.out.contains("stay kept through example.com"))
        << forgotten.out.toStdString();
    for (const QString &host : {QString(), QStringLiteral("http://example.com/")}) {
        const Outcome refused = navolis({"--keep-cookies-of", host});
        EXPECT_EQ(refused.status, 2) << host.toStdString();
        EXPECT_TRUE(refused.err.contains("no host name")) << refused.err.toStdString();
    }
    EXPECT_EQ(navolis({"--list-kept"}).out, "example.com\n");
    EXPECT_EQ(files::read(keepList), "example.com\n");

    const Outcome preview = navolis({"--preview", "c"});
    EXPECT_EQ(preview.status, 0) << preview.err.toStdString();
    EXPECT_TRUE(
        preview.out.contains(QRegularExpression("\n  c  3 cookies, \\d+ kb \\(1 kept\\)\n")))
        << preview.out.toStdString();
    const QJsonObject json =
        QJsonDocument::fromJson(navolis({"--preview", "c", "--json"}).out.toUtf8())
            .object()["letters"]
            .toObject()["c"]
            .toObject();
    EXPECT_EQ(json["found"].toInt(), 3);
    EXPECT_EQ(json["kept"].toInt(), 1);
    EXPECT_EQ(cookies(), all) << "looking removes nothing";

    const Outcome run = navolis({"c"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(cookies(), "www.example.com");
}

// Whatever makes the list unreadable, no run removes a cookie: the run over one prefix and the
// run over every prefix end with 1 and say why, and so does the preview.
TEST_F(KeepListRun, AListThatCannotBeReadRefusesTheRemovalOfCookies)
{
    const QString all = cookies();
    files::write(keepList, "example.com\n\xC3\x28\n");

    const Outcome run = navolis({"cbn"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("c, the cookies: 4 of 4 stayed: the list of cookies to keep (" +
                                 keepList + ") cannot be used: it is not UTF-8 text"))
        << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("b, the cache")) << "the other steps still run";
    EXPECT_EQ(cookies(), all);

    QFile::remove(keepList);
    QDir().mkpath(keepList);
    const Outcome everyPrefix = navolis({"--all-prefixes", "c"});
    EXPECT_EQ(everyPrefix.status, 1);
    EXPECT_TRUE(everyPrefix.err.contains(keepList)) << everyPrefix.err.toStdString();
    const Outcome preview = navolis({"--preview", "c"});
    EXPECT_EQ(preview.status, 1);
    EXPECT_TRUE(preview.out.contains("would not be done")) << preview.out.toStdString();
    EXPECT_EQ(navolis({"--list-kept"}).status, 1);
    EXPECT_EQ(navolis({"--keep-cookies-of", "example.com"}).status, 1);
    EXPECT_EQ(cookies(), all);
}

} // namespace
