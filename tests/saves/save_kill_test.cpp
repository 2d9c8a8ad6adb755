// A process saving config.json in a loop is killed at random moments. After every kill the
// file must be one of the two documents, whole, and a start must read it; whatever temporary
// file the killed save left behind must not get in the way of the next save or start.
#include "save_loop.h"

#include "config/config_document.h"
#include "config/config_file.h"
#include "config/config_text.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <thread>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bytes the file writer leaves for a document, taken from a save that nothing disturbs.
QByteArray savedBytes(const nlohmann::json &document)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("config.json");
    EXPECT_TRUE(writeConfigFile(path, configFileText(document)));
    return bytesOf(path);
}

// What a start makes of the folder's config.json, as the store loads it.
std::optional<nlohmann::json> startWith(const QString &path)
{
    removeLeftoverSaves(path);
    const std::optional<QByteArray> bytes = readConfigFile(path);
    if (!bytes)
        return std::nullopt;
    const auto parsed = parseConfigText(std::string_view(bytes->constData(), std::size_t(bytes->size())));
    if (!parsed)
        return std::nullopt;
    nlohmann::json working = initialConfig();
    mergeLoadedConfig(working, *parsed);
    return working;
}

unsigned seed()
{
    const char *given = std::getenv("SORVELLA_KILL_SEED");
    return given ? unsigned(std::strtoul(given, nullptr, 10)) : 20240612u;
}

} // namespace

TEST(SaveKillTest, EveryKillLeavesOneWholeDocumentThatTheNextStartReads)
{
    constexpr int kTrials = 200;
    const unsigned trialSeed = seed();
    std::cout << "kill trials: " << kTrials << ", seed " << trialSeed
              << " (SORVELLA_KILL_SEED repeats a run)" << std::endl;
    std::mt19937 random(trialSeed);
    std::uniform_int_distribution<int> delayMicroseconds(0, 30000);

    const QByteArray small = savedBytes(smallDocument());
    const QByteArray large = savedBytes(largeDocument());
    ASSERT_FALSE(small.isEmpty());
    ASSERT_NE(small, large);

    QTemporaryDir folder;
    const QString path = folder.filePath("config.json");
    int smallLeft = 0;
    int largeLeft = 0;
    int mostTemporaries = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        QProcess saver;
        saver.start(QCoreApplication::applicationFilePath(), {"--save-loop", folder.path()});
        // The first save of each process also proves that the files a killed save left
        // behind do not stop the next one.
        ASSERT_TRUE(saver.waitForReadyRead(10000)) << "trial " << trial << ": no first save";
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        saver.kill();
        ASSERT_TRUE(saver.waitForFinished(10000));

        const QByteArray left = bytesOf(path);
        ASSERT_TRUE(left == small || left == large)
            << "trial " << trial << ": config.json holds " << left.size() << " bytes of neither document";
        (left == small ? smallLeft : largeLeft)++;
        const auto files = [&] { return int(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size()); };
        mostTemporaries = std::max(mostTemporaries, files() - 1);
        const std::optional<nlohmann::json> started = startWith(path);
        ASSERT_TRUE(started.has_value()) << "trial " << trial << ": a start cannot read the file";
        EXPECT_EQ(*started, left == small ? smallDocument() : largeDocument()) << "trial " << trial;
        EXPECT_EQ(files(), 1) << "trial " << trial << ": the start left a temporary file behind";
    }
    std::cout << "outcomes: " << smallLeft << " small document, " << largeLeft
              << " large document, 0 other; temporary files left behind by a kill: up to "
              << mostTemporaries << ", each removed by the next start" << std::endl;
    // Both documents were cut off mid-loop at least once, so kills fell on both saves.
    EXPECT_GT(smallLeft, 0);
    EXPECT_GT(largeLeft, 0);
}
