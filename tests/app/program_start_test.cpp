// The real program on a real X display: it starts with no visible window, and a later launch
// shows its window. Needs Xvfb and xwininfo (the test dependencies install both).
#include "tests/support/program_desktop.h"
#include "wait_for.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

TEST(ProgramStartTest, StartsHiddenAndALaterLaunchShowsTheWindow)
{
    ProgramDesktop desktop(QStringLiteral(SORVELLA_PROGRAM_PATH));
    if (!desktop.unavailable().isEmpty())
        GTEST_SKIP() << desktop.unavailable().toStdString();

    auto first = desktop.launch();
    ASSERT_TRUE(first->waitForStarted(5000));
    ASSERT_TRUE(waitFor([&] { return QFile::exists(desktop.endpoint()); }, 10000))
        << "the program did not start listening";
    // Long enough for a window that was only shown to be mapped and seen.
    QTest::qWait(1500);
    EXPECT_EQ(desktop.viewableSettingsWindows(), 0) << "the window is visible at start";

    auto later = desktop.launch();
    ASSERT_TRUE(later->waitForFinished(10000));
    EXPECT_EQ(later->exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return desktop.viewableSettingsWindows() == 1; }, 10000))
        << "a later launch did not show the window";

    first->kill();
    first->waitForFinished(5000);
}
