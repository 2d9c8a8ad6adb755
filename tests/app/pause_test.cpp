// The tray's pause: the engine stopped and started again, the entry's and the tooltip's
// texts, a second launch, a resume that fails and a quit while paused; and the announcement
// of a change of the wheel settings, handed to the engine while it runs.
#include "app/event_hub.h"
#include "app/main_window.h"
#include "app/process_end.h"
#include "engine/wheel_units.h"
#include "main_window_test_access.h"
#include "panel_test_support.h"
#include "platform/sim_desktop.h"

#include "wait_for.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>

namespace {

using Access = MainWindowTestAccess;

class PauseTest : public ::testing::Test {
protected:
    void SetUp() override { SimDesktop::instance().reset(); }

    static SimDesktop &sim() { return SimDesktop::instance(); }
    static void togglePause(MainWindow &window) { Access::pauseAction(window)->trigger(); }
    static QString toolTip(MainWindow &window) { return Access::trayIcon(window)->toolTip(); }
    static bool engineRuns()
    {
        return SmoothScroller::s_isRunning && sim().installedHookCount() == 1 && sim().queueThreadCount() == 1;
    }
    static bool engineGone() { return !SmoothScroller::s_isRunning && sim().installedHookCount() == 0 && sim().queueThreadCount() == 0; }
    static void announce(MainWindow &window, WPARAM what)
    {
        MSG msg{};
        msg.message = WM_SETTINGCHANGE;
        msg.wParam = what;
        long result = 0;
        EXPECT_FALSE(Access::nativeEvent(window, "windows_generic_MSG", &msg, &result));
    }
};

} // namespace

TEST_F(PauseTest, PauseEndsTheEngineAndResumeStartsItAgainWithTheEntryAndTooltipSaying)
{
    const HWND app = sim().addWindow(sim().addProcess(L"C:\\App\\app.exe"), {0, 0, 800, 600});
    MainWindow window;
    QMenu *menu = Access::trayMenu(window);
    const QString styleSheet = menu->styleSheet();
    ASSERT_TRUE(engineRuns());
    ASSERT_TRUE(sim().injectWheel(120, POINT{100, 100}).swallowed()); // a glide runs

    togglePause(window);
    EXPECT_TRUE(window.isPaused());
    EXPECT_TRUE(engineGone());
    EXPECT_EQ(Access::pauseAction(window)->text(), QString("恢复平滑滚动"));
    EXPECT_EQ(toolTip(window), QString("Sorvella（已暂停）"));
    EXPECT_EQ(menu->actions().at(1), Access::pauseAction(window));
    EXPECT_EQ(menu->styleSheet(), styleSheet);
    sim().clearPosted();
    EXPECT_TRUE(sim().injectWheel(120, POINT{100, 100}).passedOn());
    EXPECT_EQ(sim().receivedInput().back().hwnd, app);
    EXPECT_TRUE(sim().posted().empty());

    // Quickly again and again: one engine at the end, or none.
    for (int i = 0; i < 9; ++i)
        togglePause(window);
    EXPECT_FALSE(window.isPaused());
    EXPECT_TRUE(engineRuns());
    EXPECT_EQ(Access::pauseAction(window)->text(), QString("暂停平滑滚动"));
    EXPECT_EQ(toolTip(window), QString("Sorvella"));
    EXPECT_TRUE(sim().injectWheel(120, POINT{100, 100}).swallowed());
}

TEST_F(PauseTest, WhilePausedTheUsersPageSettingIsBackAndTheWindowWorks)
{
    sim().setWheelScrollLines(WHEEL_PAGESCROLL);
    MainWindow window;
    ASSERT_TRUE(waitFor([] { return sim().wheelScrollLines() == 1; }));
    togglePause(window);
    EXPECT_EQ(sim().wheelScrollLines(), WHEEL_PAGESCROLL);

    // The panel saves while paused and touches no setting; an announced change is read on
    // resuming, not before.
    smoothCheckBox(window)->toggle();
    sim().setWheelScrollChars(6);
    announce(window, SPI_SETWHEELSCROLLCHARS);
    EXPECT_EQ(publishedWheelUnits().chars, 3u);
    QTest::qWait(50);
    EXPECT_EQ(sim().wheelScrollLines(), WHEEL_PAGESCROLL);

    // A second launch shows the window and leaves the pause alone.
    EventHub::publish(kShowMainWindowEvent, nullptr, 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isPaused());
    EXPECT_TRUE(engineGone());

    togglePause(window);
    EXPECT_TRUE(engineRuns());
    EXPECT_EQ(publishedWheelUnits().chars, 6u);
    EXPECT_TRUE(waitFor([] { return sim().wheelScrollLines() == 1; }));
}

TEST_F(PauseTest, AResumeThatFailsStaysPausedAndSaysSo)
{
    MainWindow window;
    togglePause(window);
    sim().failHookInstall(ERROR_ACCESS_DENIED);
    togglePause(window);
    EXPECT_TRUE(window.isPaused());
    EXPECT_TRUE(engineGone());
    EXPECT_EQ(toolTip(window), QString("Sorvella（已暂停，无法恢复平滑滚动）"));
    EXPECT_EQ(Access::pauseAction(window)->text(), QString("恢复平滑滚动"));
    sim().failHookInstall(0);
    togglePause(window);
    EXPECT_FALSE(window.isPaused());
    EXPECT_TRUE(engineRuns());
    EXPECT_EQ(toolTip(window), QString("Sorvella"));
}

TEST_F(PauseTest, AnnouncedChangesOfTheWheelSettingsReachTheEngine)
{
    MainWindow window;
    sim().setWheelScrollLines(5);
    announce(window, 0x002F); // another setting: not read
    EXPECT_EQ(publishedWheelUnits().lines, 3u);
    announce(window, SPI_SETWHEELSCROLLLINES);
    EXPECT_EQ(publishedWheelUnits().lines, 5u);
    sim().setWheelScrollChars(0); // no unit: 1 for the session
    announce(window, SPI_SETWHEELSCROLLCHARS);
    EXPECT_EQ(publishedWheelUnits().chars, 1u);
    EXPECT_TRUE(waitFor([] { return sim().wheelScrollChars() == 1; }));
}

TEST_F(PauseTest, QuitWhilePausedEndsCleanly)
{
    static QTemporaryDir dir;
    if (qEnvironmentVariableIsEmpty("SORVELLA_QUIT_TEST_DIR"))
        qputenv("SORVELLA_QUIT_TEST_DIR", dir.path().toLocal8Bit());
    setConfigDirectory(qEnvironmentVariable("SORVELLA_QUIT_TEST_DIR"));
    EXPECT_EXIT(
        {
            sim().setWheelScrollLines(0);
            MainWindow window;
            togglePause(window);
            Access::quitAction(window)->trigger();
        },
        ::testing::ExitedWithCode(0), "SmoothScroll stopped");
}

TEST_F(PauseTest, AnEngineThreadThatDoesNotAnswerHoldsNeitherPauseNorResumeNorQuit)
{
    sim().setWheelScrollLines(WHEEL_PAGESCROLL);
    MainWindow window;
    ASSERT_TRUE(waitFor([] { return sim().wheelScrollLines() == 1; }));
    const DWORD engineThread = sim().hookOwnerThread();
    sim().holdThread(engineThread, true);

    // Paused all the same, saying so, with the user's page setting back.
    togglePause(window);
    EXPECT_TRUE(window.isPaused());
    EXPECT_EQ(toolTip(window), QString("Sorvella（已暂停，平滑滚动未及时停止）"));
    EXPECT_EQ(sim().wheelScrollLines(), WHEEL_PAGESCROLL);

    // A resume while it is still stuck starts no second engine beside it.
    togglePause(window);
    EXPECT_TRUE(window.isPaused());
    EXPECT_EQ(toolTip(window), QString("Sorvella（已暂停，无法恢复平滑滚动）"));
    EXPECT_EQ(sim().queueThreadCount(), 1);

    // Once it answers it ends as it was asked, and the next resume starts one engine.
    sim().holdThread(engineThread, false);
    ASSERT_TRUE(waitFor([] { return sim().queueThreadCount() == 0; }));
    togglePause(window);
    EXPECT_FALSE(window.isPaused());
    EXPECT_TRUE(engineRuns());
    EXPECT_EQ(toolTip(window), QString("Sorvella"));

    // A quit whose engine or log did not answer ends at once, without static destructors.
    EXPECT_EQ(processEndAfter(true, true), ProcessEnd::Exit);
    EXPECT_EQ(processEndAfter(false, false), ProcessEnd::AtOnce);
    EXPECT_EQ(processEndAfter(true, false), ProcessEnd::AtOnce);
}
