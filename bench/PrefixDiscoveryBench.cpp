// Finding the prefixes of a Steam user whose games are spread over three libraries, each game
// with its manifest: what a list of every prefix costs before it shows.
#include "prefixes/PrefixCatalogue.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void write(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

// An app's manifest as Steam writes it, `@` standing for the app's number.
QByteArray manifest(const QByteArray &appId)
{
    QByteArray text = R"("AppState"
{
	"appid"		"@"
	"Universe"		"1"
	"LauncherPath"		"/home/user/.local/share/Steam/ubuntu12_32/steam"
	"name"		"Game number @"
	"StateFlags"		"4"
	"installdir"		"Game @"
	"LastUpdated"		"1700000000"
	"SizeOnDisk"		"12345678901"
	"buildid"		"12345678"
	"LastOwner"		"76561190000000000"
	"BytesToDownload"		"0"
	"BytesDownloaded"		"0"
	"AutoUpdateBehavior"		"0"
	"AllowOtherDownloadsWhileRunning"		"0"
	"ScheduledAutoUpdate"		"0"
	"InstalledDepots"
	{
		"@1"
		{
			"manifest"		"1234567890123456789"
			"size"		"12345678901"
		}
	}
	"SharedDepots"
	{
		"228988"		"228980"
	}
	"UserConfig"
	{
		"language"		"english"
	}
}
)";
    return text.replace('@', appId);
}

// A home whose Steam keeps `games` prefixes in its own library and two more, reached through
// the link ~/.steam/steam as Steam makes it.
prefixes::Places steamHome(const QTemporaryDir &dir, int games)
{
    prefixes::Places places;
    places.home = dir.path() + "/home";
    places.dataHome = places.home + "/.local/share";
    places.configHome = places.home + "/.config";
    places.ownPrefix = places.dataHome + "/navolis/prefix";
    const QString root = places.dataHome + "/Steam";
    const QStringList libraries = {root, dir.path() + "/games", dir.path() + "/ssd"};

    QByteArray list = "\"libraryfolders\"\n{\n";
    for (int n = 0; n < libraries.size(); ++n)
        list += "\t\"" + QByteArray::number(n) + "\"\n\t{\n\t\t\"path\"\t\t\"" +
                libraries[n].toUtf8() + "\"\n\t\t\"label\"\t\t\"\"\n\t}\n";
    write(root + "/steamapps/libraryfolders.vdf", list + "}\n");
    QDir().mkpath(places.home + "/.steam");
    QFile::link(root, places.home + "/.steam/steam");

    for (int game = 0; game < games; ++game) {
        const QString library = libraries[game % libraries.size()];
        const QByteArray appId = QByteArray::number(200000 + game * 10);
        const QString prefix = library + "/steamapps/compatdata/" + appId + "/pfx";
        QDir().mkpath(prefix + "/drive_c");
        write(prefix + "/user.reg", "WINE REGISTRY Version 2\n;; All keys relative to "
                                    "\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n");
        write(library + "/steamapps/appmanifest_" + appId + ".acf", manifest(appId));
    }
    return places;
}

void BM_DiscoverSteamPrefixes(benchmark::State &state)
{
    const QTemporaryDir dir;
    const prefixes::Places places = steamHome(dir, int(state.range(0)));
    size_t found = 0;
    for (auto _ : state) {
        found = prefixes::discover(places).size();
        benchmark::DoNotOptimize(found);
    }
    if (found != size_t(state.range(0)))
        state.SkipWithError("not every prefix was found");
    state.counters["prefixes"] = double(found);
}
BENCHMARK(BM_DiscoverSteamPrefixes)->Arg(200)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
