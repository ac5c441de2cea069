// How the windows answer over big profiles: the longest gap between two ticks of a 10 ms timer
// while the cache panel empties its entries or the cookie window removes all cookies (goal: no
// gap above 100 ms), and the time the cache panel, the history window and the cookie window
// take to fill (goal: 150 ms at most for 60,000 cache entries, 50,000 visits, 30,000 cookies).

#include "ModalAnswerer.h"
#include "PrefixBuilder.h"
#include "TestEnvironment.h"
#include "app/CompanionFiles.h"
#include "app/Program.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "controls/ClickLabel.h"
#include "panels/BrowsercachePanel.h"
#include "platform/urlcache/WinInetCache.h"
#include "privacy/u_cookieForm.h"
#include "privacy/u_history.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <unistd.h>

namespace {

// The sample prefix filled by navolis-seed with `count` entries of `kind`; made once.
QString seededPrefix(const QString &kind, int count)
{
    static std::map<std::pair<QString, int>, std::unique_ptr<QTemporaryDir>> prepared;
    auto &dir = prepared[{kind, count}];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        PrefixBuilder::copySampleTo(dir->path());
        QProcess seed;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("WINEPREFIX", dir->path());
        seed.setProcessEnvironment(env);
        seed.start(NAVOLIS_SEED, {kind, QString::number(count)});
        if (!seed.waitForFinished(-1) || seed.exitCode() != 0)
            qFatal("navolis-seed failed");
    }
    return dir->path();
}

void usePrefix(const QString &root)
{
    qputenv("WINEPREFIX", QFile::encodeName(root));
    wininet::setUrlCacheEnvironment(nullptr);
}

// A copy that the removal may change, with the links of the seeded one.
void copyPrefix(const QString &from, const QString &to)
{
    if (QProcess::execute("cp", {"-a", from + "/.", to}) != 0)
        qFatal("cannot copy the prefix");
}

// The longest wait between two ticks of a 10 ms timer while `work` runs.
class TickGaps
{
public:
    TickGaps()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_clock.restart()); });
    }
    void measure(const std::function<void()> &work)
    {
        m_clock.start();
        m_timer.start();
        work();
        m_timer.stop();
        m_longest = std::max(m_longest, m_clock.elapsed());
    }
    qint64 longest() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

// A removal over a fresh copy of the seeded prefix, the window filled before the timing starts.
void removal(benchmark::State &state, const QString &kind, const std::function<void()> &fill,
             const std::function<void()> &remove)
{
    const QString seeded = seededPrefix(kind, int(state.range(0)));
    qint64 longest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir copy;
        copyPrefix(seeded, copy.path());
        // The copy's own writes are not the removal's to wait for.
        ::sync();
        usePrefix(copy.path());
        fill();
        ModalAnswerer answerer;
        TickGaps gaps;
        state.ResumeTiming();
        gaps.measure(remove);
        state.PauseTiming();
        longest = std::max(longest, gaps.longest());
        usePrefix(seeded);
        state.ResumeTiming();
    }
    state.counters["longest_gap_ms"] = double(longest);
}

void BM_EmptyCachePanel(benchmark::State &state)
{
    TBrowsercachePanel *panel = Form1->browsercachePanel();
    removal(
        state, QStringLiteral("cache"), [panel] { panel->FillPanel(); },
        [panel] { emit panel->findChild<ClickLabel *>(QStringLiteral("Label41"))->clicked(); });
}
BENCHMARK(BM_EmptyCachePanel)
    ->Arg(20000)
    ->Arg(60000)
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

void BM_RemoveAllCookies(benchmark::State &state)
{
    removal(
        state, QStringLiteral("cookies"), [] { CookieForm->show(); },
        [] { emit CookieForm->findChild<ClickLabel *>(QStringLiteral("Label6"))->clicked(); });
    CookieForm->hide();
}
BENCHMARK(BM_RemoveAllCookies)
    ->Arg(3000)
    ->Arg(30000)
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

void BM_FillCachePanel(benchmark::State &state)
{
    usePrefix(seededPrefix(QStringLiteral("cache"), int(state.range(0))));
    for (auto _ : state)
        Form1->browsercachePanel()->FillPanel();
}
BENCHMARK(BM_FillCachePanel)->Arg(20000)->Arg(60000)->Unit(benchmark::kMillisecond);

// From the showing to the window filled; the window closes between the rounds.
void fillWindow(benchmark::State &state, QWidget *window, const QString &kind)
{
    usePrefix(seededPrefix(kind, int(state.range(0))));
    for (auto _ : state) {
        window->show();
        state.PauseTiming();
        window->hide();
        state.ResumeTiming();
    }
}

void BM_FillHistoryWindow(benchmark::State &state)
{
    fillWindow(state, HistoryForm, QStringLiteral("history"));
}
BENCHMARK(BM_FillHistoryWindow)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_FillCookieWindow(benchmark::State &state)
{
    fillWindow(state, CookieForm, QStringLiteral("cookies"));
}
BENCHMARK(BM_FillCookieWindow)->Arg(30000)->Unit(benchmark::kMillisecond);

// The windows as start-up builds them, the language already chosen.
void createWindows()
{
    QFile choice(CompanionFiles::forRunningProgram().languageChoiceFile());
    if (choice.open(QIODevice::WriteOnly))
        choice.write("1.5a");
    choice.close();
    createWindowSet();
    prepareRun({}, [] {});
    if (Form1->Timer1->isActive())
        Form1->Timer1Timer();
    Form1->show();
}

} // namespace

int main(int argc, char **argv)
{
    testenv::isolateHome();
    testenv::isolateProgramFiles(argv[0]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    createWindows();
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
