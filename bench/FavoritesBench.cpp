// Opening a favourites folder of thousands of links: the list view reads, types and sorts every
// entry once, and fetches icons only for the rows on screen. Goal: 5,000 links open without a
// visible pause (well under 200 ms from Reload to the first painted screen).

#include "browserdata/FavoritesListView.h"
#include "platform/context/DefaultPrefix.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A prefix whose favourites folder holds `links` internet shortcuts and a few sub-folders.
QTemporaryDir *favouritesPrefix(int links)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> prefixes;
    auto &dir = prefixes[links];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        DefaultPrefix::ensure(dir->path(), "user");
        const QString folder = dir->path() + "/drive_c/users/user/Favorites";
        for (int i = 0; i < 20; ++i)
            QDir().mkpath(folder + QStringLiteral("/Folder %1").arg(i));
        for (int i = 0; i < links; ++i) {
            QFile file(folder + QStringLiteral("/Site %1 of the list.url").arg((i * 7919) % links));
            if (file.open(QIODevice::WriteOnly))
                file.write("[InternetShortcut]\r\nURL=http://www.example.com/\r\n");
        }
    }
    qputenv("WINEPREFIX", QFile::encodeName(dir->path()));
    return dir.get();
}

void BM_OpenFavourites(benchmark::State &state)
{
    favouritesPrefix(int(state.range(0)));
    TFavoritesListView view;
    view.resize(300, 270);
    view.show();
    for (auto _ : state) {
        view.Reload();
        view.grab(); // the first screen, with its icons
    }
    state.counters["entries"] = view.count();
}
BENCHMARK(BM_OpenFavourites)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
