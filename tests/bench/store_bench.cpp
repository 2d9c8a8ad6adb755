// Cost of the store's operations through the real window for documents of 1, 100 and 5,000
// profiles: load, show, collect, publish and save (temporary file, flush and rename
// included), plus the file text and the write alone, with and without the flush to disk.
// A save runs on the thread that serves the mouse hook, so it must stay far below the
// second after which Windows drops a stalled hook.
// The refill of the profile list is timed from its start until the event loop is idle again
// (the deferred remove buttons made and the replaced entries released), with the list's popup
// closed and open; it should stay under 100 ms at 5,000 profiles.
// Run: QT_QPA_PLATFORM=offscreen store_bench [--benchmark_repetitions=3]
#include "app/main_window.h"
#include "config/config_document.h"
#include "config/config_file.h"
#include "config/config_text.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <map>
#include <memory>
#include <string>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

// One window per document size, over a config.json of that many profiles. They are released
// before the application object and the simulated desktop their engines use.
std::map<int, std::unique_ptr<MainWindow>> s_windows;

MainWindow &windowWith(int profiles)
{
    auto &window = s_windows[profiles];
    if (!window) {
        nlohmann::json document = initialConfig();
        for (int i = 1; i < profiles; ++i)
            document["parameters"]["application" + std::to_string(i) + ".exe"] = defaultParameters();
        writeConfigFile(configFilePath(), configFileText(document));
        window = std::make_unique<MainWindow>();
    }
    return *window;
}

// Runs the event loop until it has nothing left to do: posted events, zero timers scheduled
// before this call and deferred deletions.
void runUntilIdle()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// One store operation of the window over that many profiles, again and again.
template <typename Operation>
void BM_Store(benchmark::State &state, Operation operation)
{
    MainWindow &window = windowWith(int(state.range(0)));
    for (auto _ : state)
        operation(window);
}

const QString kDefault = QString::fromLatin1(kDefaultProfileName);

// Argument 1: the list's popup is open while the list is refilled (a removal from the list).
void BM_Refill(benchmark::State &state)
{
    MainWindow &window = windowWith(int(state.range(0)));
    QComboBox *combo = window.findChild<QComboBox *>(QStringLiteral("appComboBox"));
    window.show();
    runUntilIdle();
    if (state.range(1))
        combo->showPopup();
    runUntilIdle();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        window.populateAppCombo();
        runUntilIdle();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
    combo->hidePopup();
    window.hide();
    runUntilIdle();
}

void BM_FileText(benchmark::State &state)
{
    const nlohmann::json document = windowWith(int(state.range(0))).workingConfig;
    for (auto _ : state)
        benchmark::DoNotOptimize(configFileText(document));
}

// The atomic write alone: temporary file, flush to disk, rename.
void BM_WriteFlushed(benchmark::State &state)
{
    const std::string text = configFileText(windowWith(int(state.range(0))).workingConfig);
    for (auto _ : state)
        benchmark::DoNotOptimize(writeConfigFile(configFilePath(), text));
}

// The same bytes written in place without a flush: the difference is what the flush costs.
void BM_WriteUnflushed(benchmark::State &state)
{
    const std::string text = configFileText(windowWith(int(state.range(0))).workingConfig);
    for (auto _ : state) {
        QFile file(configFilePath() + QStringLiteral(".plain"));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
        benchmark::DoNotOptimize(file.write(text.data(), qint64(text.size())));
    }
}

BENCHMARK_CAPTURE(BM_Store, Load, [](MainWindow &w) { benchmark::DoNotOptimize(w.loadConfig()); })
    ->Arg(1)->Arg(100)->Arg(5000);
BENCHMARK_CAPTURE(BM_Store, Show, [](MainWindow &w) { w.showProfile(kDefault); })->Arg(1)->Arg(100)->Arg(5000);
BENCHMARK_CAPTURE(BM_Store, Collect, [](MainWindow &w) { w.collectProfile(kDefault); })->Arg(1)->Arg(100)->Arg(5000);
BENCHMARK_CAPTURE(BM_Store, Publish, [](MainWindow &w) { w.publishConfig(); })->Arg(1)->Arg(100)->Arg(5000);
BENCHMARK_CAPTURE(BM_Store, Save, [](MainWindow &w) { benchmark::DoNotOptimize(w.saveConfig()); })
    ->Arg(1)->Arg(100)->Arg(5000);
BENCHMARK(BM_Refill)
    ->Args({5000, 0})
    ->Args({5000, 1})
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileText)->Arg(1)->Arg(100)->Arg(5000);
BENCHMARK(BM_WriteFlushed)->Arg(1)->Arg(100)->Arg(5000);
BENCHMARK(BM_WriteUnflushed)->Arg(1)->Arg(100)->Arg(5000);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir scratch;
    qputenv("SORVELLA_REGISTRY_ROOT", scratch.filePath("registry").toLocal8Bit());
    setConfigDirectory(scratch.path());
    qInstallMessageHandler(quiet);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    s_windows.clear();
    return 0;
}
