// Twenty launches of the real program in quick succession, none waiting for the one before:
// exactly one instance keeps running, every other launch ends with status 0, and the running
// one has been asked to show its window.
#include "tests/support/program_desktop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <iostream>
#include <memory>
#include <vector>

TEST(LaunchStormTest, TwentyQuickLaunchesLeaveOneInstanceThatShowsItsWindow)
{
    static char name[] = "storm_tests";
    static char *argv[] = {name, nullptr};
    int argc = 1;
    QCoreApplication app(argc, argv);
    ProgramDesktop desktop(QStringLiteral(SORVELLA_PROGRAM_PATH));
    if (!desktop.unavailable().isEmpty())
        GTEST_SKIP() << desktop.unavailable().toStdString();

    constexpr int kLaunches = 20;
    std::vector<std::unique_ptr<QProcess>> launches;
    for (int i = 0; i < kLaunches; ++i) {
        launches.push_back(desktop.launch());
        QTest::qWait(20);
    }

    // The later launches give up after the guard's one-second probe at the latest.
    QElapsedTimer clock;
    clock.start();
    auto running = [&] {
        int count = 0;
        for (const auto &process : launches)
            count += process->state() != QProcess::NotRunning;
        return count;
    };
    while (running() > 1 && clock.elapsed() < 60000)
        QTest::qWait(100);
    // A second instance that is only slow to give up would still be seen here.
    QTest::qWait(3000);

    int survivors = 0;
    int cleanExits = 0;
    for (const auto &process : launches) {
        if (process->state() != QProcess::NotRunning)
            ++survivors;
        else if (process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0)
            ++cleanExits;
    }
    std::cout << "launch storm: " << kLaunches << " launches, " << survivors << " running, "
              << cleanExits << " ended with status 0, " << clock.elapsed() << " ms" << std::endl;
    EXPECT_EQ(survivors, 1);
    EXPECT_EQ(cleanExits, kLaunches - 1);

    QElapsedTimer shown;
    shown.start();
    while (desktop.viewableSettingsWindows() != 1 && shown.elapsed() < 10000)
        QTest::qWait(200);
    EXPECT_EQ(desktop.viewableSettingsWindows(), 1) << "the running instance did not show its window";

    for (const auto &process : launches) {
        process->kill();
        process->waitForFinished(5000);
    }
}
