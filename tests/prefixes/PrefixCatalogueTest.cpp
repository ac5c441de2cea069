// The catalogue of prefixes over a fake home that holds every kind of launcher, with decoys and
// damaged files; and the small readers of the launchers' files.

#include "prefixes/PrefixCatalogue.h"
#include "TestEnvironment.h"
#include "prefixes/GamesConfig.h"
#include "prefixes/KeyValuesText.h"
#include "prefixes/SteamFiles.h"
#include "prefixes/YamlKeys.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using namespace prefixes;

class FakeHome
{
public:
    FakeHome()
    {
        places.home = path("home");
        places.dataHome = path("home/.local/share");
        places.configHome = path("home/.config");
        places.ownPrefix = path("home/.local/share/navolis/prefix");
    }

    QString path(const QString &relative) const { return m_dir.path() + '/' + relative; }

    void file(const QString &relative, const QByteArray &content) const
    {
        QDir().mkpath(QFileInfo(path(relative)).path());
        QFile out(path(relative));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
    }

    void prefix(const QString &relative, const QByteArray &header = "WINE REGISTRY Version 2\n")
    {
        QDir().mkpath(path(relative + "/drive_c"));
        file(relative + "/user.reg", header + ";; All keys relative to \\\\User\\\\S-1-5-21\n");
    }

    void link(const QString &targetRelative, const QString &relative)
    {
        QDir().mkpath(QFileInfo(path(relative)).path());
        ASSERT_TRUE(QFile::link(path(targetRelative), path(relative)));
    }

    // "kind | name | path below the fake root", one line per prefix found.
    QStringList discovered() const
    {
        QStringList lines;
        for (const FoundPrefix &found : discover(places))
            lines << kindWord(found.kind) + " | " + found.name + " | " +
                         QDir(m_dir.path()).relativeFilePath(found.path);
        return lines;
    }

    // Every entry with its type, size and time of change, links not followed.
    QStringList listing() const
    {
        QStringList entries;
        QDirIterator it(m_dir.path(),
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString entry = it.next();
            struct stat st = {};
            lstat(QFile::encodeName(entry).constData(), &st);
            entries << QStringLiteral("%1 %2 %3 %4.%5")
                           .arg(entry)
                           .arg(st.st_mode)
                           .arg(st.st_size)
                           .arg(st.st_mtim.tv_sec)
                           .arg(st.st_mtim.tv_nsec);
        }
        entries.sort();
        return entries;
    }

    Places places;

private:
    QTemporaryDir m_dir;
};

QByteArray manifest(const QByteArray &appId, const QByteArray &name)
{
    return "\"AppState\"\n{\n\t\"appid\"\t\t\"" + appId + "\"\n\t\"name\"\t\t\"" + name +
           "\"\n\t\"StateFlags\"\t\t\"4\"\n}\n";
}

// A user of every launcher, who has moved and linked things about as people do.
void fill(FakeHome &home)
{
    home.prefix("work/office");
    home.places.winePrefix = home.path("work/office/");
    home.prefix("home/.wine");
    home.prefix("home/.local/share/wineprefixes/office");
    home.prefix("home/.local/share/wineprefixes/games");
    QDir().mkpath(home.path("home/.local/share/wineprefixes/empty/drive_c"));
    home.prefix("home/.local/share/wineprefixes/notwine", "REGEDIT4\n");
    home.prefix("home/.local/share/wineprefixes/later", "WINE REGISTRY Version 20\n");
    home.prefix("home/.local/share/navolis/prefix");

    // Native Steam, reached through its links, with two more libraries; one listed twice.
    const QString steam = "home/.local/share/Steam";
    home.link(steam, "home/.steam/steam");
    home.link(steam, "home/.steam/root");
    home.file(
        steam + "/steamapps/libraryfolders.vdf",
        QStringLiteral("\"libraryfolders\"\n{\n"
                       "\t\"0\"\n\t{\n\t\t\"path\"\t\t\"%1\"\n\t\t\"label\"\t\t\"\"\n"
                       "\t\t\"apps\"\n\t\t{\n\t\t\t\"220\"\t\t\"4500000000\"\n\t\t}\n\t}\n"
                       "\t\"1\"\n\t{\n\t\t\"path\"\t\t\"%2\"\n\t}\n"
                       "\t\"2\"\n\t{\n\t\t\"path\"\t\t\"%3\"\n\t}\n}\n")
            .arg(home.path(steam), home.path("games/SteamLibrary"), home.path("ssd/SteamLibrary"))
            .toUtf8());
    home.prefix(steam + "/steamapps/compatdata/228980/pfx");
    home.prefix(steam + "/steamapps/compatdata/220/pfx");
    home.file(steam + "/steamapps/appmanifest_220.acf", manifest("220", "Half-Life 2"));
    home.prefix(steam + "/steamapps/compatdata/tools/pfx");
    QDir().mkpath(home.path(steam + "/steamapps/compatdata/0"));
    home.prefix("games/SteamLibrary/steamapps/compatdata/1245620/pfx");
    home.file("games/SteamLibrary/steamapps/appmanifest_1245620.acf",
              manifest("1245620", "The \\\"Quoted\\\" Game"));
    QDir().mkpath(home.path("ssd/SteamLibrary/steamapps"));

    // Flatpak Steam with the old form of the library list.
    const QString flatpak = "home/.var/app/com.valvesoftware.Steam/.local/share/Steam";
    home.file(flatpak + "/steamapps/libraryfolders.vdf",
              QStringLiteral("\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1700000000\"\n"
                             "\t\"ContentStatsID\"\t\t\"-4321\"\n"
                             "\t\"1\"\t\t\"%1\"\n\t\"2\"\t\t\"%2\"\n}\n")
                  .arg(home.path("flatlib"), home.path("games/SteamLibrary"))
                  .toUtf8());
    home.prefix(flatpak + "/steamapps/compatdata/400/pfx");
    home.file(flatpak + "/steamapps/appmanifest_400.acf", manifest("400", "Portal"));
    home.prefix("flatlib/steamapps/compatdata/620/pfx");
    home.file("flatlib/steamapps/appmanifest_620.acf", manifest("620", "Portal 2"));

    // Snap Steam whose library list and manifest are cut short.
    const QString snap = "home/snap/steam/common/.local/share/Steam";
    home.file(snap + "/steamapps/libraryfolders.vdf",
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/nowhere");
    home.prefix(snap + "/steamapps/compatdata/70/pfx");
    home.file(snap + "/steamapps/appmanifest_70.acf", "\"AppState\"\n{\n\t\"name\"\t\t\"Half");

    // Bottles, also in a folder of the user's choice.
    home.prefix("home/.local/share/bottles/bottles/gaming");
    home.file("home/.local/share/bottles/bottles/gaming/bottle.yml",
              "Arch: win64\nName: Gaming Bottle\nPath: gaming\n");
    home.prefix("home/.local/share/bottles/bottles/plain");
    home.file("home/.local/share/bottles/data.yml",
              QStringLiteral("custom_bottles_path: \"%1\" # chosen in the settings\n")
                  .arg(home.path("mnt/bottles"))
                  .toUtf8());
    home.prefix("mnt/bottles/music");
    home.file("mnt/bottles/music/bottle.yml", "Name: 'Music # ''Studio'''\n");

    // Lutris: a game's own prefix, a native game, and one that uses ~/.wine.
    home.prefix("home/Games/gog-galaxy");
    home.file("home/.config/lutris/games/gog-galaxy-1700000000.yml",
              "game:\n  exe: /x/GalaxyClient.exe\n  prefix: ~/Games/gog-galaxy\nname: GOG\n");
    home.file("home/.config/lutris/games/supertux-1700000001.yml",
              "game:\n  exe: /usr/games/supertux2\nname: SuperTux\nprefix: /decoy\n");
    home.file("home/.config/lutris/games/wine-1700000002.yml", "game:\n  prefix: ~/.wine\n");
    home.prefix("home/Games/hl2");
    home.file("home/.var/app/net.lutris.Lutris/data/lutris/games/half-life-2.yml",
              "game:\n  prefix: \"~/Games/hl2\"\n");

    // Heroic: a game's configuration, a damaged one, and the default folder.
    home.prefix("home/Games/Heroic/Prefixes/Cyberpunk");
    home.prefix("home/Games/Heroic/Prefixes/Hades");
    home.file("home/.config/heroic/GamesConfig/Cyberpunk.json",
              QStringLiteral("{\n  \"Cyberpunk\": {\n    \"winePrefix\": \"%1\",\n"
                             "    \"wineVersion\": {\"type\": \"proton\"}\n  },\n"
                             "  \"version\": \"v0\"\n}\n")
                  .arg(home.path("home/Games/Heroic/Prefixes/Cyberpunk"))
                  .toUtf8());
    home.prefix("home/Games/unlisted");
    home.file("home/.config/heroic/GamesConfig/Broken.json",
              QStringLiteral("{\"Broken\": {\"winePrefix\": \"%1\"")
                  .arg(home.path("home/Games/unlisted"))
                  .toUtf8());

    home.prefix("home/.PlayOnLinux/wineprefix/Office2010");
    home.prefix("home/.cxoffice/Quicken");
    QDir().mkpath(home.path("home/.cxoffice/installers"));
}

TEST(PrefixCatalogueTest, ListsEveryPrefixOnceAndChangesNothing)
{
    FakeHome home;
    fill(home);
    const QStringList before = home.listing();

    EXPECT_EQ(
        home.discovered(),
        QStringList({
            "WINEPREFIX | office | work/office",
            "wine | wine | home/.wine",
            "winetricks | games | home/.local/share/wineprefixes/games",
            "winetricks | office | home/.local/share/wineprefixes/office",
            "navolis | Navolis | home/.local/share/navolis/prefix",
            "steam | Half-Life 2 | home/.steam/steam/steamapps/compatdata/220/pfx",
            "steam | Steam app 228980 | home/.steam/steam/steamapps/compatdata/228980/pfx",
            "steam | The \"Quoted\" Game | games/SteamLibrary/steamapps/compatdata/1245620/pfx",
            "steam | Portal | "
            "home/.var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/compatdata/"
            "400/pfx",
            "steam | Portal 2 | flatlib/steamapps/compatdata/620/pfx",
            "steam | Steam app 70 | "
            "home/snap/steam/common/.local/share/Steam/steamapps/compatdata/70/pfx",
            "bottles | Gaming Bottle | home/.local/share/bottles/bottles/gaming",
            "bottles | plain | home/.local/share/bottles/bottles/plain",
            "bottles | Music # 'Studio' | mnt/bottles/music",
            "lutris | gog-galaxy | home/Games/gog-galaxy",
            "lutris | half-life-2 | home/Games/hl2",
            "heroic | Cyberpunk | home/Games/Heroic/Prefixes/Cyberpunk",
            "heroic | Hades | home/Games/Heroic/Prefixes/Hades",
            "playonlinux | Office2010 | home/.PlayOnLinux/wineprefix/Office2010",
            "crossover | Quicken | home/.cxoffice/Quicken",
        }));
    EXPECT_EQ(home.listing(), before);
}

TEST(PrefixCatalogueTest, AnEmptyHomeHasNoPrefixAndGetsNone)
{
    FakeHome home;
    QDir().mkpath(home.path("home"));
    const QStringList before = home.listing();
    EXPECT_TRUE(home.discovered().isEmpty());
    EXPECT_EQ(home.listing(), before);
}

TEST(KeyValuesTextTest, ReadsBothFormsOfTheLibraryList)
{
    const QByteArray current = "// written by Steam\n\"LIBRARYFOLDERS\"\n{\n"
                               "\t\"0\" { \"Path\" \"/data/a \\\"b\\\" \\\\ c\" // the first\n"
                               "\t\t\"apps\" { \"220\" \"1\" } }\n"
                               "\t\"1\" { path /unquoted/lib }\n"
                               "\t\"contentstatsid\" \"5\"\n}\n";
    EXPECT_EQ(steam::libraryFolders(current), QStringList({"/data/a \"b\" \\ c", "/unquoted/lib"}));
    const QByteArray old = "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\"1700000000\"\n"
                           "\t\"1\"\t\"/mnt/games\"\n\t\"2\"\t\"/mnt/more\"\n}";
    EXPECT_EQ(steam::libraryFolders(old), QStringList({"/mnt/games", "/mnt/more"}));
    EXPECT_EQ(steam::appName("\"appstate\" { \"NAME\" \"Portal\" }"), QStringLiteral("Portal"));
    EXPECT_EQ(steam::appName("\"AppState\" { \"appid\" \"1\" }"), QString());
}

TEST(KeyValuesTextTest, DamageGivesNoTree)
{
    for (const QByteArray &damaged : {
             QByteArray("\"libraryfolders\" { \"0\" { \"path\" \"/x\" }"), // cut short
             QByteArray("\"libraryfolders\" { \"0\" \"/x }"),              // open string
             QByteArray("\"a\" \"b\" }"),                                  // stray brace
             QByteArray("\"a\" { \"b\" }"),                                // key without value
             QByteArray("{ \"a\" \"b\" }"),                                // block without key
         })
        EXPECT_FALSE(keyvalues::parse(damaged)) << damaged.constData();
    EXPECT_FALSE(steam::libraryFolders("\"libraryfolders\" { \"1\" \"/x"));

    const auto nested = [](int depth) {
        return QByteArray("\"k\" {").repeated(depth) + QByteArray("}").repeated(depth);
    };
    EXPECT_TRUE(keyvalues::parse(nested(keyvalues::MaxDepth)));
    EXPECT_FALSE(keyvalues::parse(nested(keyvalues::MaxDepth + 1)));
    EXPECT_FALSE(keyvalues::parse(nested(100000)));
}

TEST(YamlKeysTest, ReadsTopLevelScalarsInEveryQuoting)
{
    EXPECT_EQ(yaml::topLevelValue("\xEF\xBB\xBF# bottle\r\nName: Gaming  # mine\r\n", u"Name"),
              QStringLiteral("Gaming"));
    EXPECT_EQ(yaml::topLevelValue("Name: 'It''s #1'\n", u"Name"), QStringLiteral("It's #1"));
    EXPECT_EQ(yaml::topLevelValue("\"Name\": \"caf\\xE9 \\u263A \\\"x\\\"\"\n", u"Name"),
              QStringLiteral("caf\u00E9 \u263A \"x\""));
    EXPECT_EQ(yaml::topLevelValue("Name: a long\n  name\n\n  folded\nPath: x\n", u"Name"),
              QStringLiteral("a long name\nfolded"));
    EXPECT_EQ(yaml::topLevelValue("Name: \"/very/long/\\\n  path\"\n", u"Name"),
              QStringLiteral("/very/long/path"));
    EXPECT_FALSE(yaml::topLevelValue("Name: ~\n", u"Name"));
    EXPECT_FALSE(yaml::topLevelValue("Name:\n  First: x\n", u"Name"));
    EXPECT_FALSE(yaml::topLevelValue("Name: 'open\n", u"Name"));
    EXPECT_FALSE(yaml::topLevelValue("Name: \"bad \\q escape\"\n", u"Name"));
    EXPECT_FALSE(yaml::topLevelValue("Names: x\n  Name: y\n", u"Name"));
}

TEST(YamlKeysTest, ReadsAKeyOnlyDirectlyInsideItsSection)
{
    const QByteArray game = "prefix: /top\n"
                            "game:\n"
                            "  # the game's own\n"
                            "  args: \"a quoted value over lines\n"
                            "  prefix: /inside/the/quotes\"\n"
                            "  options:\n"
                            "    prefix: /deeper\n"
                            "  prefix: /home/u/Games/x # the one\n"
                            "system:\n"
                            "  prefix: /other\n";
    EXPECT_EQ(yaml::sectionValue(game, u"game", u"prefix"), QStringLiteral("/home/u/Games/x"));
    EXPECT_EQ(yaml::topLevelValue(game, u"prefix"), QStringLiteral("/top"));
    EXPECT_FALSE(yaml::sectionValue("game:\n  exe: /x\nprefix: /y\n", u"game", u"prefix"));
    EXPECT_FALSE(yaml::sectionValue("game: {prefix: /x}\n", u"game", u"prefix"));
}

TEST(GamesConfigTest, TakesEachGamesPrefixAndRefusesDamage)
{
    EXPECT_EQ(heroic::winePrefixes(R"({"b": {"winePrefix": "/p/b"}, "version": "v0",
                                      "c": {"winePrefix": 5}, "a": {"winePrefix": "/p/a"}})"),
              QStringList({"/p/a", "/p/b"}));
    EXPECT_FALSE(heroic::winePrefixes(R"([{"winePrefix": "/p"}])"));
    EXPECT_FALSE(heroic::winePrefixes(R"({"a": {"winePrefix": "/p)"));
}

} // namespace
