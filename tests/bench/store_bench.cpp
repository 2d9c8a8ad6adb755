// Cost of the store's operations through the real window for documents of 1, 10 and 100
// profiles: load, show, collect, publish and save (temporary file, flush and rename
// included), plus the file text and the write alone, with and without the flush to disk.
// A save runs on the thread that serves the mouse hook, so it must stay far below the
// second after which Windows drops a stalled hook.
// Run: QT_QPA_PLATFORM=offscreen store_bench [--benchmark_repetitions=3]
#include "app/main_window.h"
#include "config/config_document.h"
#include "config/config_file.h"
#include "config/config_text.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <memory>
#include <string>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

// One window per document size, over a config.json of that many profiles.
MainWindow &windowWith(int profiles)
{
    static std::map<int, std::unique_ptr<MainWindow>> windows;
    auto &window = windows[profiles];
    if (!window) {
        nlohmann::json document = initialConfig();
        for (int i = 1; i < profiles; ++i)
            document["parameters"]["application" + std::to_string(i) + ".exe"] = defaultParameters();
        writeConfigFile(configFilePath(), configFileText(document));
        window = std::make_unique<MainWindow>();
    }
    return *window;
}

void BM_Load(benchmark::State &state)
{
    MainWindow &window = windowWith(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(window.loadConfig());
}

void BM_Show(benchmark::State &state)
{
    MainWindow &window = windowWith(int(state.range(0)));
    for (auto _ : state)
        window.showProfile(QStringLiteral("default"));
}

void BM_Collect(benchmark::State &state)
{
    MainWindow &window = windowWith(int(state.range(0)));
    for (auto _ : state)
        window.collectProfile(QStringLiteral("default"));
}

void BM_Publish(benchmark::State &state)
{
    MainWindow &window = windowWith(int(state.range(0)));
    for (auto _ : state)
        window.publishConfig();
}

void BM_Save(benchmark::State &state)
{
    MainWindow &window = windowWith(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(window.saveConfig());
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

BENCHMARK(BM_Load)->Arg(1)->Arg(10)->Arg(100);
BENCHMARK(BM_Show)->Arg(1)->Arg(10)->Arg(100);
BENCHMARK(BM_Collect)->Arg(1)->Arg(10)->Arg(100);
BENCHMARK(BM_Publish)->Arg(1)->Arg(10)->Arg(100);
BENCHMARK(BM_Save)->Arg(1)->Arg(10)->Arg(100);
BENCHMARK(BM_FileText)->Arg(1)->Arg(10)->Arg(100);
BENCHMARK(BM_WriteFlushed)->Arg(1)->Arg(10)->Arg(100);
BENCHMARK(BM_WriteUnflushed)->Arg(1)->Arg(10)->Arg(100);

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
    return 0;
}
