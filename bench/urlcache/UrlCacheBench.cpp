// Enumeration, lookup and deletion over prefixes filled by navolis-seed, and the time
// msiecfexport needs to export the same containers.

#include "browserdata/IECache.h"
#include "browserdata/UrlHistory.h"
#include "platform/urlcache/PrefixUrlCacheEnvironment.h"
#include "platform/urlcache/WinInetCache.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <map>
#include <memory>
#include <unistd.h>

namespace {

const char *const ContainerPaths[] = {
    "/drive_c/users/user/AppData/Local/Microsoft/Windows/INetCache/Content.IE5/index.dat",
    "/drive_c/users/user/AppData/Local/Microsoft/Windows/INetCookies/index.dat",
    "/drive_c/users/user/AppData/Local/Microsoft/Windows/History/History.IE5/index.dat",
};

void copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (it.fileInfo().isSymLink())
            QFile::link(it.fileInfo().symLinkTarget(), target);
        else
            QFile::copy(source, target);
    }
}

bool runSeed(const QString &prefix, const QStringList &args)
{
    QProcess seed;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("WINEPREFIX", prefix);
    seed.setProcessEnvironment(env);
    seed.start(NAVOLIS_SEED, args);
    return seed.waitForFinished(-1) && seed.exitCode() == 0;
}

// The sample prefix without its containers, so that the seed creates native ones.
QString emptyPrefix(QTemporaryDir &dir)
{
    const QString root = dir.path();
    copyTree(NAVOLIS_SAMPLE_PREFIX, root);
    QFile::remove(root + "/dosdevices/c:");
    QFile::link("../drive_c", root + "/dosdevices/c:");
    for (const char *path : ContainerPaths)
        QDir(QFileInfo(root + path).absolutePath()).removeRecursively();
    return root;
}

// Filled once per size and kind ("mixed" shares the entries out over the three containers).
QString seededPrefix(int entries, const QString &kind = QStringLiteral("mixed"))
{
    static std::map<std::pair<int, QString>, std::unique_ptr<QTemporaryDir>> prepared;
    auto &dir = prepared[{entries, kind}];
    if (dir)
        return dir->path();
    dir = std::make_unique<QTemporaryDir>();
    const QString root = emptyPrefix(*dir);
    bool ok = true;
    if (kind == "mixed") {
        const int cache = entries * 34 / 100;
        const int cookies = entries * 33 / 100;
        const int history = entries - cache - cookies;
        ok = runSeed(root, {"cache", QString::number(cache)}) &&
             runSeed(root, {"cookies", QString::number(cookies)}) &&
             runSeed(root, {"history", QString::number(history)});
    } else {
        ok = runSeed(root, {kind, QString::number(entries)});
    }
    if (!ok)
        qFatal("navolis-seed failed");
    return root;
}

void usePrefix(const QString &root)
{
    qputenv("WINEPREFIX", QFile::encodeName(root));
    wininet::setUrlCacheEnvironment(urlcache::prefixUrlCacheEnvironment());
}

TIECache &allEntries()
{
    static TIECache cache;
    cache.SetFilterOptions({NORMAL_ENTRY, STABLE_ENTRY, STICKY_ENTRY, COOKIE_ENTRY,
                            URLHISTORY_ENTRY, TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY, SPARSE_ENTRY,
                            OCX_ENTRY});
    cache.SearchPattern = spAll;
    return cache;
}

void BM_RetrieveEntries(benchmark::State &state)
{
    usePrefix(seededPrefix(int(state.range(0))));
    TIECache &cache = allEntries();
    qint64 count = 0;
    size_t heapBefore = 0;
    size_t heapDuring = 0;
    cache.OnEntry = [&](QObject *, bool &) {
        if (++count == 1000)
            heapBefore = mallinfo2().uordblks;
        heapDuring = mallinfo2().uordblks;
    };
    for (auto _ : state) {
        count = 0;
        cache.RetrieveEntries(0);
    }
    state.counters["entries"] = double(count);
    state.counters["heap_growth_after_1000"] = double(heapDuring) - double(heapBefore);
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_GetEntryInfo(benchmark::State &state)
{
    usePrefix(seededPrefix(int(state.range(0))));
    TIECache &cache = allEntries();
    QStringList urls;
    cache.OnEntry = [&](QObject *, bool &) { urls << cache.Entry.SourceUrlName; };
    cache.RetrieveEntries(0);
    QRandomGenerator random(7);
    for (auto _ : state) {
        const quint32 r = cache.GetEntryInfo(urls[random.bounded(int(urls.size()))]);
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}

// A whole-container clean-up as the unattended run makes it: walk and delete, files included.
void deleteAll(benchmark::State &state, const QString &kind, TSearchPattern pattern)
{
    const QString seeded = seededPrefix(int(state.range(0)), kind);
    TIECache &cache = allEntries();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir copy;
        copyTree(seeded, copy.path());
        // The copy's own writes are not the clean-up's to wait for.
        ::sync();
        usePrefix(copy.path());
        cache.SearchPattern = pattern;
        state.ResumeTiming();
        cache.DeleteAllEntries();
        state.PauseTiming();
        qint64 left = 0;
        cache.OnEntry = [&](QObject *, bool &) { ++left; };
        cache.RetrieveEntries(0);
        state.counters["left"] = double(left);
        usePrefix(seeded);
        state.ResumeTiming();
    }
    cache.SearchPattern = spAll;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_DeleteAllEntries(benchmark::State &state)
{
    deleteAll(state, QStringLiteral("mixed"), spAll);
}

// Goal: 20,000 entries with their files in 2 s at most, and at most 12 times the time of
// 2,000.
void BM_DeleteAllCacheEntries(benchmark::State &state)
{
    deleteAll(state, QStringLiteral("cache"), spUrl);
}

// Goal: 3,000 cookies in 0.5 s at most.
void BM_DeleteAllCookies(benchmark::State &state)
{
    deleteAll(state, QStringLiteral("cookies"), spCookies);
}

// Goal: 20,000 entries in 5 s at most, the whole navolis-seed process.
void BM_SeedCacheEntries(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString root = emptyPrefix(dir);
        state.ResumeTiming();
        if (!runSeed(root, {"cache", QString::number(state.range(0))}))
            state.SkipWithError("navolis-seed failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The history window's listing: every visit read, its title decoded, sorted by visit time.
void BM_HistoryEnumerate(benchmark::State &state)
{
    usePrefix(seededPrefix(int(state.range(0)), QStringLiteral("history")));
    TUrlHistory history;
    history.Loaded();
    history.SortField = sfLastVisited;
    qint32 count = 0;
    for (auto _ : state)
        count = history.Enumerate();
    state.counters["entries"] = count;
    state.SetItemsProcessed(state.iterations() * count);
}

// The reference: libmsiecf's exporter over the same three containers.
void BM_MsiecfExport(benchmark::State &state)
{
    const QString exporter = QStandardPaths::findExecutable("msiecfexport");
    if (exporter.isEmpty()) {
        state.SkipWithError("msiecfexport not installed (Debian libmsiecf-utils)");
        return;
    }
    const QString root = seededPrefix(int(state.range(0)));
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        for (const char *path : ContainerPaths) {
            QProcess run;
            run.setStandardOutputFile(QProcess::nullDevice());
            run.setStandardErrorFile(QProcess::nullDevice());
            run.start(exporter, {root + path});
            run.waitForFinished(-1);
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}

} // namespace

BENCHMARK(BM_RetrieveEntries)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MsiecfExport)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetEntryInfo)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteAllEntries)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteAllCacheEntries)
    ->Arg(2000)
    ->Arg(20000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteAllCookies)->Arg(3000)->Iterations(3)->Unit(benchmark::kMillisecond);
// A history container holds at most 126,336 blocks; visits with titles take two each, so 50,000
// visits is near the most one container can hold.
BENCHMARK(BM_HistoryEnumerate)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeedCacheEntries)->Arg(20000)->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
