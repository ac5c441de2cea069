#include "automation/ShellLnk.h"
#include "PrefixBuilder.h"
#include "TestEnvironment.h"
#include "platform/shell/ShellLinkFormat.h"
#include "platform/shell/ShellLinkObject.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

const QString startUp = QStringLiteral(
    "C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp\\");

struct Props
{
    QString path, workingDirectory, description, arguments, iconLocation;
    int iconIndex, showCmd, hotKey;
    bool operator==(const Props &) const = default;
};

Props props(const TShellLink &link)
{
    return {link.path(),         link.workingDirectory(), link.description(), link.arguments(),
            link.iconLocation(), link.iconIndex(),        link.showCmd(),     link.hotKey()};
}

void PrintTo(const Props &p, std::ostream *out)
{
    *out << p.path.toStdString() << " | " << p.workingDirectory.toStdString() << " | "
         << p.description.toStdString() << " | " << p.arguments.toStdString() << " | "
         << p.iconLocation.toStdString() << "," << p.iconIndex << " show " << p.showCmd << " key "
         << p.hotKey;
}

const Props defaults{{}, {}, {}, {}, {}, 0, 1, 0};

// The sample prefix with drive Z: on the host's root, as Wine sets it up.
class ShellLnkTest : public ::testing::Test
{
protected:
    ShellLnkTest() { QFile::link("/", prefix.path("dosdevices/z:")); }

    void fill(TShellLink &link)
    {
        link.setPath("C:\\windows\\notepad.exe");
        link.setWorkingDirectory("C:\\windows\\");
        link.setDescription(QString::fromUtf8("Notizblock \xc3\xa4 \xe2\x82\xac \xe4\xb8\xad"));
        link.setArguments("cbhm \"a b\"");
        link.setIconLocation("C:\\windows\\system32\\shell32.dll");
        link.setIconIndex(-3);
        link.setShowCmd(7);
        link.setHotKey(0x0641);
    }

    PrefixBuilder prefix;
};

TEST_F(ShellLnkTest, ReadsTheLinkWineWrote)
{
    TShellLink link;
    ASSERT_TRUE(link.LoadFromFile(startUp + "Navolis-Auto.lnk"));
    const QString program = "Z:\\opt\\navolis\\navolis";
    EXPECT_EQ(props(link), (Props{program, {}, {}, "cbh", program, 0, 1, 0}));

    TShellLink byHostPath;
    ASSERT_TRUE(byHostPath.LoadFromFile(
        prefix.profile() +
        "/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp/Navolis-Auto.lnk"));
    EXPECT_EQ(props(byHostPath), props(link));
}

TEST_F(ShellLnkTest, MissingOrDamagedFileGivesFalseAndDefaults)
{
    prefix.file("drive_c/broken.lnk", QByteArray("L\0\0\0garbage", 11));
    for (const QString name : {"C:\\missing.lnk", "C:\\broken.lnk", "Q:\\no-drive.lnk", ""}) {
        TShellLink link;
        fill(link);
        EXPECT_FALSE(link.LoadFromFile(name)) << name.toStdString();
        EXPECT_EQ(props(link), defaults) << name.toStdString();
    }
}

TEST_F(ShellLnkTest, SavedLinkReadsBackAndSurvivesALoadSaveCycle)
{
    TShellLink written;
    fill(written);
    const Props before = props(written);
    ASSERT_TRUE(written.SaveToFile("C:\\first.lnk"));
    EXPECT_EQ(props(written), before);

    TShellLink loaded;
    ASSERT_TRUE(loaded.LoadFromFile("C:\\first.lnk"));
    EXPECT_EQ(props(loaded), before);
    ASSERT_TRUE(loaded.SaveToFile("C:\\second.lnk"));
    TShellLink again;
    ASSERT_TRUE(again.LoadFromFile("C:\\second.lnk"));
    EXPECT_EQ(props(again), before);

    // A new file replaces the old one; nothing of the old is left and no temporary remains.
    TShellLink shorter;
    shorter.setPath("C:\\a.exe");
    ASSERT_TRUE(shorter.SaveToFile("C:\\first.lnk"));
    ASSERT_TRUE(again.LoadFromFile("C:\\first.lnk"));
    EXPECT_EQ(props(again), (Props{"C:\\a.exe", {}, {}, {}, {}, 0, 1, 0}));
    EXPECT_EQ(QDir(prefix.path("drive_c")).entryList(QDir::Files).size(), 2);
}

TEST_F(ShellLnkTest, HostPathsAreStoredThroughThePrefixDrives)
{
    TShellLink link;
    link.setPath("/opt/navolis/navolis");
    link.setArguments("cbh");
    link.setIconLocation("/opt/navolis/navolis");
    ASSERT_TRUE(link.SaveToFile(startUp + "Automatik.lnk"));

    TShellLink loaded;
    ASSERT_TRUE(loaded.LoadFromFile(startUp + "Automatik.lnk"));
    EXPECT_EQ(loaded.path(), "Z:\\opt\\navolis\\navolis");
    EXPECT_EQ(loaded.iconLocation(), "Z:\\opt\\navolis\\navolis");

    // The ID list alone names the same target.
    QFile file(prefix.profile() +
               "/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp/Automatik.lnk");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    auto data = ShellLinkFormat::parse(file.readAll());
    ASSERT_TRUE(data);
    data->linkInfoPath.reset();
    prefix.file("drive_c/ids-only.lnk", ShellLinkFormat::serialize(*data));
    ASSERT_TRUE(loaded.LoadFromFile("C:\\ids-only.lnk"));
    EXPECT_EQ(loaded.path(), "Z:\\opt\\navolis\\navolis");
}

TEST_F(ShellLnkTest, StringsAreHeldTo259Characters)
{
    const QString long259(259, 'a');
    const QString long260(260, 'b');

    // The shell object takes longer arguments; the component reads them cut.
    ShellLinkObject object;
    object.setPath("C:\\" + QString(255, 'p'));
    object.setArguments(long260 + "tail");
    ASSERT_TRUE(object.save("C:\\long.lnk"));
    TShellLink link;
    ASSERT_TRUE(link.LoadFromFile("C:\\long.lnk"));
    EXPECT_EQ(link.arguments(), long260.left(259));
    EXPECT_EQ(link.path().size(), 258);

    // Description and arguments are written up to the shell's 1,023 characters.
    TShellLink longText;
    longText.setDescription(QString(1023, 'c'));
    longText.setArguments(long260);
    EXPECT_TRUE(longText.SaveToFile("C:\\long-text.lnk"));
    ASSERT_TRUE(object.load("C:\\long-text.lnk"));
    EXPECT_EQ(object.description(), QString(1023, 'c'));
    EXPECT_EQ(object.arguments(), long260);

    // A refused property makes the result false; the others are still written.
    TShellLink tooLong;
    tooLong.setDescription(QString(1024, 'c'));
    tooLong.setPath("C:\\" + QString(257, 'p'));
    tooLong.setArguments(long259);
    EXPECT_FALSE(tooLong.SaveToFile("C:\\refused.lnk"));
    ASSERT_TRUE(link.LoadFromFile("C:\\refused.lnk"));
    EXPECT_EQ(link.description(), "");
    EXPECT_EQ(link.path(), "");
    EXPECT_EQ(link.arguments(), long259);

    // File names up to 259 characters; a longer one is refused before the file is touched.
    const QString folder = QString(120, 'd');
    prefix.folder("drive_c/" + folder);
    const QString name259 = "C:\\" + folder + "\\" + QString(131, 'n') + ".lnk";
    ASSERT_EQ(name259.size(), 259);
    link.setDescription("fits");
    EXPECT_TRUE(link.SaveToFile(name259));
    EXPECT_TRUE(link.LoadFromFile(name259));
    const QString name260 = "C:\\" + folder + "\\" + QString(132, 'n') + ".lnk";
    EXPECT_FALSE(link.SaveToFile(name260));
    EXPECT_FALSE(QFileInfo::exists(prefix.path("drive_c/" + folder + "/" + name260.mid(124))));
}

TEST_F(ShellLnkTest, NothingIsWrittenWhileWineRuns)
{
    prefix.holdServerLock();
    TShellLink link;
    link.setPath("C:\\a.exe");
    EXPECT_FALSE(link.SaveToFile("C:\\blocked.lnk"));
    EXPECT_FALSE(QFileInfo::exists(prefix.path("drive_c/blocked.lnk")));
}

TEST_F(ShellLnkTest, ResetSplitsTheTarget)
{
    TShellLink link;
    fill(link);
    link.Reset("C:\\Program Files\\Navolis\\navolis.exe", "ch");
    EXPECT_EQ(props(link), (Props{"C:\\Program Files\\Navolis\\navolis.exe",
                                  "C:\\Program Files\\Navolis\\",
                                  "navolis.exe",
                                  "ch",
                                  {},
                                  0,
                                  1,
                                  0}));
    link.Reset("D:setup.exe", {});
    EXPECT_EQ(link.workingDirectory(), "D:");
    EXPECT_EQ(link.description(), "setup.exe");
}

TEST_F(ShellLnkTest, LnkinfoReadsTheLinkWeWrote)
{
    const QString lnkinfo = QStandardPaths::findExecutable("lnkinfo");
    if (lnkinfo.isEmpty())
        GTEST_SKIP() << "lnkinfo (liblnk-utils) is not installed";
    TShellLink link;
    link.setPath("/opt/navolis/navolis");
    link.setArguments("cbhmen");
    link.setIconLocation("/opt/navolis/navolis");
    link.setDescription("Navolis");
    ASSERT_TRUE(link.SaveToFile(startUp + "Automatik.lnk"));

    QProcess run;
    run.start(lnkinfo, {prefix.profile() + "/AppData/Roaming/Microsoft/Windows/Start "
                                           "Menu/Programs/StartUp/Automatik.lnk"});
    ASSERT_TRUE(run.waitForFinished(30000));
    const QString out = QString::fromUtf8(run.readAllStandardOutput());
    EXPECT_EQ(run.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression(R"(Local path\s*: Z:\\opt\\navolis\\navolis\n)")))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression(R"(Command line arguments\s*: cbhmen\n)")))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression(R"(Description\s*: Navolis\n)")))
        << out.toStdString();
    // The ID list's long names decode as well.
    EXPECT_EQ(out.count(QRegularExpression(R"(Long name\s*: navolis\n)")), 2) << out.toStdString();
}

} // namespace
