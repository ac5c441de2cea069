#include "platform/kernel/WinTypes.h"
#include "platform/registry/RegHive.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryFile>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char *program = nullptr;

QByteArray utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), (text.size() + 1) * 2);
}

// A hive in Wine's layout: `keys` keys of `valuesPerKey` values each, mixing the value forms.
QByteArray makeHive(int keys, int valuesPerKey)
{
    const auto hive = RegHive::create("WINE REGISTRY Version 2\n;; All keys relative to X\n\n"
                                      "#arch=win64\n");
    for (int k = 0; k < keys; ++k) {
        const RegHive::Key *key = hive->createKey(
            {"Software", QStringLiteral("Vendor%1").arg(k / 100), QStringLiteral("Key %1").arg(k)},
            RegHive::currentFileTime());
        for (int v = 0; v < valuesPerKey; ++v) {
            const QString name = QStringLiteral("url%1").arg(v);
            if (v % 5 == 4) {
                hive->setValue(key, name, win::REG_BINARY, QByteArray(40, char(v)), 0);
            } else if (v % 5 == 3) {
                const quint32 dw = quint32(v);
                hive->setValue(key, name, win::REG_DWORD,
                               QByteArray(reinterpret_cast<const char *>(&dw), 4), 0);
            } else {
                hive->setValue(
                    key, name, win::REG_SZ,
                    utf16(QStringLiteral("http://www.example.com/path/%1?q=\"x\"").arg(v)), 0);
            }
        }
    }
    return hive->serialize();
}

const QByteArray &hiveOf(int keys, int valuesPerKey)
{
    static std::map<std::pair<int, int>, QByteArray> cache;
    auto &text = cache[{keys, valuesPerKey}];
    if (text.isEmpty())
        text = makeHive(keys, valuesPerKey);
    return text;
}

void BM_Parse(benchmark::State &state)
{
    const QByteArray &text = hiveOf(int(state.range(0)), int(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(RegHive::parse(text));
    state.SetBytesProcessed(qint64(state.iterations()) * text.size());
    state.counters["bytes"] = double(text.size());
}

void BM_SaveAfterOneChange(benchmark::State &state)
{
    const QByteArray &text = hiveOf(int(state.range(0)), int(state.range(1)));
    const auto hive = RegHive::parse(text);
    const RegHive::Key *key = hive->findKey({"Software", "Vendor0", "Key 0"});
    hive->setValue(key, "url1", win::REG_SZ, utf16("changed"), RegHive::currentFileTime());
    for (auto _ : state)
        benchmark::DoNotOptimize(hive->serialize());
    state.SetBytesProcessed(qint64(state.iterations()) * text.size());
}

void BM_Lookup(benchmark::State &state)
{
    const QByteArray &text = hiveOf(int(state.range(0)), int(state.range(1)));
    const auto hive = RegHive::parse(text);
    const QStringList path{"software", "VENDOR0", "key 0"};
    for (auto _ : state)
        benchmark::DoNotOptimize(hive->findKey(path)->value(u"URL2"));
}

// Peak memory of one load-change-save cycle, as a multiple of the file's size (goal: at most 3):
// a fresh process of this program reads, parses, changes and saves the file; its peak resident
// size before the load is the baseline. `registry_bench --peak-memory FILE` measures any hive.
// The peak resident size of this process image in bytes; unlike getrusage's, it starts afresh at
// exec and does not carry the parent's peak.
qint64 peakResidentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    return 0;
}

double peakMemoryOfCycle(const char *file)
{
    const qint64 before = peakResidentBytes();
    qint64 size = 0;
    {
        QFile in(QString::fromLocal8Bit(file));
        if (!in.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray text = in.readAll();
        size = text.size();
        const auto hive = RegHive::parse(text);
        const RegHive::Key *key =
            hive->createKey({"Software", "Navolis"}, RegHive::currentFileTime());
        hive->setValue(key, "url1", win::REG_SZ, utf16("changed"), RegHive::currentFileTime());
        const int null = ::open("/dev/null", O_WRONLY);
        hive->serializeTo([null](QByteArrayView piece) {
            return ::write(null, piece.data(), size_t(piece.size())) == piece.size();
        });
        ::close(null);
    }
    return double(peakResidentBytes() - before) / double(size);
}

void BM_LoadChangeSavePeakMemory(benchmark::State &state)
{
    QTemporaryFile file;
    const QByteArray &text = hiveOf(20000, 20);
    if (!file.open() || file.write(text) != text.size() || !file.flush()) {
        state.SkipWithError("cannot write the hive");
        return;
    }
    double ratio = 0;
    for (auto _ : state) {
        QProcess child;
        child.start(QString::fromLocal8Bit(program),
                    {QStringLiteral("--peak-memory"), file.fileName()});
        child.waitForFinished(-1);
        const QByteArray said = child.readAllStandardOutput().trimmed();
        ratio = said.toDouble();
        if (ratio <= 0) {
            state.SkipWithError(("the measuring process said: " + said).constData());
            return;
        }
    }
    state.counters["bytes"] = double(text.size());
    state.counters["peak_per_file_byte"] = ratio;
}
BENCHMARK(BM_LoadChangeSavePeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// About 2 MB in many small keys; one key with 10,000 values; 100,000 values in all.
#define HIVE_SIZES ->Args({6000, 5})->Args({1, 10000})->Args({1000, 100})
BENCHMARK(BM_Parse) HIVE_SIZES->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAfterOneChange) HIVE_SIZES->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lookup)->Args({1, 10})->Args({1, 10000})->Args({6000, 5});

} // namespace

int main(int argc, char **argv)
{
    program = argv[0];
    if (argc == 3 && std::strcmp(argv[1], "--peak-memory") == 0) {
        std::printf("%.3f\n", peakMemoryOfCycle(argv[2]));
        return 0;
    }
    QCoreApplication app(argc, argv); // for the child processes
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
