// Starting and stopping the engine: the hook, the hidden window and their diagnostics.
#include "host_test_support.h"

#include <algorithm>
#include <future>
#include <thread>

namespace {

const wchar_t kClassName[] = L"SmoothScrollHiddenWindowClassQt";
const LogLine kStarted{QtInfoMsg,
                       "[SmoothScroller] SmoothScroll started. Hook installed. Waiting for scroll events..."};
const LogLine kNoWindow{QtCriticalMsg,
                        "[SmoothScroller] Failed to create hidden window. Cannot start smooth scrolling."};

using HookHost = HostTest;

TEST_F(HookHost, StartMakesMessageOnlyWindowThenSystemWideHook)
{
    SmoothScroller scroller;
    ASSERT_TRUE(scroller.start());

    HWND hidden = SmoothScroller::s_hWnd;
    ASSERT_TRUE(sim().windowExists(hidden));
    EXPECT_TRUE(sim().isMessageOnly(hidden));
    EXPECT_EQ(sim().windowClassName(hidden), kClassName);
    EXPECT_EQ(sim().windowTitle(hidden), L"Hidden Smooth Scroll Handler Qt");
    WNDCLASSW wc = {};
    ASSERT_TRUE(GetClassInfoW(sim().moduleHandle(), kClassName, &wc));
    EXPECT_EQ(wc.lpfnWndProc, &SmoothScroller::HiddenWndProc);
    EXPECT_EQ(wc.style, 0u);

    EXPECT_EQ(sim().installedHookCount(), 1);
    EXPECT_EQ(sim().installedHookProc(), &SmoothScroller::LLMouseProc);
    EXPECT_EQ(sim().installedHookModule(), sim().moduleHandle());
    EXPECT_EQ(sim().installedHookThread(), 0u);
    EXPECT_EQ(hostLog(), std::vector<LogLine>{kStarted});
}

TEST_F(HookHost, RepeatedStartsAndStopsAreHarmless)
{
    SmoothScroller scroller;
    scroller.stop(); // before any start: nothing at all
    EXPECT_TRUE(hostLog().empty());

    ASSERT_TRUE(scroller.start());
    clearLog();
    EXPECT_TRUE(scroller.start());
    SmoothScroller other; // a second object drives the same one engine
    EXPECT_TRUE(other.start());
    EXPECT_EQ(sim().installedHookCount(), 1);
    EXPECT_EQ(sim().createdWindows().size(), 1u);
    const LogLine already{QtDebugMsg, "[SmoothScroller] Already started."};
    EXPECT_EQ(hostLog(), (std::vector<LogLine>{already, already}));

    scroller.stop();
    clearLog();
    scroller.stop();
    other.stop();
    EXPECT_TRUE(hostLog().empty());
    EXPECT_EQ(sim().installedHookCount(), 0);
    EXPECT_EQ(sim().liveWindowCount(), 0);
}

TEST_F(HookHost, StopDuringAnimationRemovesHookThenTimerThenWindow)
{
    SmoothScroller scroller;
    ASSERT_TRUE(scroller.start());
    HWND hidden = SmoothScroller::s_hWnd;
    addAppWindow();
    ASSERT_TRUE(notchOver().swallowed());
    ASSERT_TRUE(sim().injectWheel(-120, POINT{100, 200}, WM_MOUSEHWHEEL).swallowed());
    ASSERT_TRUE(clockRunning());
    const int killsBefore = sim().killTimerCalls();
    clearLog();

    scroller.stop();

    const std::vector<LogLine> expected = {
        {QtInfoMsg, "[SmoothScroller] Stopping SmoothScroll..."},
        {QtInfoMsg, "[SmoothScroller] Mouse hook uninstalled."},
        {QtInfoMsg, "[SmoothScroller] Active animation timer killed."},
        {QtInfoMsg, "[SmoothScroller] Active animation timer killed."},
        {QtInfoMsg, "[SmoothScroller] Hidden window destroyed."},
        {QtInfoMsg, "[SmoothScroller] SmoothScroll stopped."},
    };
    EXPECT_EQ(hostLog(), expected);
    // One kill per clock: the window's own WM_DESTROY, which it did receive, found nothing left.
    EXPECT_EQ(sim().killTimerCalls() - killsBefore, 2);
    const std::vector<UINT> delivered = sim().deliveredMessages(hidden);
    EXPECT_NE(std::find(delivered.begin(), delivered.end(), UINT(WM_DESTROY)), delivered.end());
    EXPECT_FALSE(sim().windowExists(hidden));
    EXPECT_EQ(sim().installedHookCount(), 0);
    EXPECT_FALSE(SmoothScroller::s_vertical.isAnimating);
    EXPECT_EQ(SmoothScroller::s_vertical.activeTimerId, 0u);
    EXPECT_EQ(SmoothScroller::s_vertical.targetHwnd, nullptr);
    EXPECT_FALSE(SmoothScroller::s_horizontal.isAnimating);
    EXPECT_TRUE(sim().multimediaTimers().empty());
    EXPECT_EQ(sim().raisedTimerResolution(), 0u);
    EXPECT_TRUE(notchOver().passedOn());
}

TEST_F(HookHost, StartAfterStopBuildsAgainAndReusesTheClass)
{
    {
        SmoothScroller scroller;
        ASSERT_TRUE(scroller.start());
    } // the destructor stops the engine
    ASSERT_EQ(sim().liveWindowCount(), 0);
    ASSERT_EQ(sim().installedHookCount(), 0);

    SmoothScroller scroller;
    ASSERT_TRUE(scroller.start());
    EXPECT_EQ(sim().registerClassCalls(), 1);
    EXPECT_EQ(sim().createdWindows().size(), 2u);
    EXPECT_EQ(sim().installedHookCount(), 1);
    addAppWindow();
    EXPECT_TRUE(notchOver().swallowed());
    EXPECT_TRUE(clockRunning());
}

TEST_F(HookHost, RefusedHookTakesTheWindowAwayAgain)
{
    SmoothScroller scroller;
    sim().failHookInstall(ERROR_HOOK_NEEDS_HMOD);

    EXPECT_FALSE(scroller.start());
    EXPECT_EQ(sim().liveWindowCount(), 0);
    EXPECT_EQ(SmoothScroller::s_hWnd, nullptr);
    EXPECT_FALSE(SmoothScroller::s_isRunning);
    const LogLine refused{QtCriticalMsg, "[SmoothScroller] Failed to install mouse hook! Error:  1428"};
    EXPECT_EQ(hostLog(), std::vector<LogLine>{refused});

    sim().failHookInstall(0);
    EXPECT_TRUE(scroller.start());
    EXPECT_EQ(sim().createdWindows().size(), 2u);
    EXPECT_TRUE(sim().windowExists(SmoothScroller::s_hWnd));
}

TEST_F(HookHost, RefusedMessageOnlyWindowFallsBackToHiddenTopLevelWindow)
{
    sim().failCreateMessageOnlyWindow(ERROR_NOT_ENOUGH_MEMORY);
    SmoothScroller scroller;

    EXPECT_TRUE(scroller.start());

    HWND hidden = SmoothScroller::s_hWnd;
    ASSERT_TRUE(sim().windowExists(hidden));
    EXPECT_FALSE(sim().isMessageOnly(hidden));
    EXPECT_EQ(sim().windowTitle(hidden), L"Hidden Smooth Scroll Handler Qt Alt");
    EXPECT_EQ(sim().windowStyle(hidden) & WS_OVERLAPPEDWINDOW, DWORD(WS_OVERLAPPEDWINDOW));
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_EQ(hostLog(), std::vector<LogLine>{kStarted});
    addAppWindow();
    EXPECT_TRUE(notchOver().swallowed());
    EXPECT_TRUE(clockRunning());
}

TEST_F(HookHost, FailuresBeforeTheHookInstallNothing)
{
    struct Case {
        const char *name;
        void (SimDesktop::*inject)(DWORD);
        DWORD error;
        std::vector<LogLine> log;
    };
    const Case cases[] = {
        {"both windows", &SimDesktop::failCreateTopLevelWindow, ERROR_NOT_ENOUGH_QUOTA,
         {{QtCriticalMsg, "[SmoothScroller] Window Creation Failed (even for Alt)! Error:  1816"}, kNoWindow}},
        {"class", &SimDesktop::failRegisterClass, ERROR_NOT_ENOUGH_MEMORY,
         {{QtCriticalMsg, "[SmoothScroller] Window Registration Failed! Error: 8"}, kNoWindow}},
        {"module", &SimDesktop::failModuleHandle, ERROR_MOD_NOT_FOUND,
         {{QtCriticalMsg, "[SmoothScroller] Failed to get module handle in start()."}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        sim().reset();
        SmoothScroller::s_hInstance = nullptr;
        sim().failCreateMessageOnlyWindow(ERROR_NOT_ENOUGH_MEMORY);
        (sim().*c.inject)(c.error);
        SmoothScroller scroller;
        clearLog();

        EXPECT_FALSE(scroller.start());
        EXPECT_EQ(hostLog(), c.log);
        EXPECT_EQ(sim().installedHookCount(), 0);
        EXPECT_EQ(sim().liveWindowCount(), 0);
        EXPECT_FALSE(SmoothScroller::s_isRunning);

        // Once the system is willing again, the next start succeeds.
        (sim().*c.inject)(0);
        sim().failCreateMessageOnlyWindow(0);
        EXPECT_TRUE(scroller.start());
        EXPECT_TRUE(sim().isMessageOnly(SmoothScroller::s_hWnd));
        scroller.stop();
    }
}

TEST_F(HookHost, CreateWindowWithoutModuleSaysSo)
{
    SmoothScroller::createWindow();
    EXPECT_TRUE(logged(QtCriticalMsg, "[SmoothScroller] createWindow: s_hInstance is NULL."));
    EXPECT_TRUE(sim().createdWindows().empty());
}

TEST_F(HookHost, HiddenWindowLostWhileRunningIsRebuiltByTheNextStart)
{
    SmoothScroller scroller;
    ASSERT_TRUE(scroller.start());
    HWND lost = SmoothScroller::s_hWnd;
    sim().destroyOnOwnerThread(lost);
    SmoothScroller::s_vertical.activeTimerId = SmoothScroller::kAnimationTimerId; // died with the window
    clearLog();

    scroller.stop();
    EXPECT_FALSE(logged(QtInfoMsg, "[SmoothScroller] Hidden window destroyed."));
    EXPECT_EQ(SmoothScroller::s_vertical.activeTimerId, 0u);

    ASSERT_TRUE(scroller.start());
    EXPECT_NE(SmoothScroller::s_hWnd, lost);
    EXPECT_TRUE(sim().windowExists(SmoothScroller::s_hWnd));
}

TEST_F(HookHost, HookRemovedBySystemIsInstalledAgainWhenTheEngineThreadWakesNext)
{
    SmoothScroller scroller;
    ASSERT_TRUE(scroller.start());
    addAppWindow();
    // The hook belongs to the engine's own thread, which wakes once a second to look at it.
    const DWORD engineThread = sim().hookOwnerThread();
    ASSERT_NE(engineThread, sim().currentThreadId());

    // A still mouse, keyboard input alone and a hook that hears every move are no loss.
    sim().advanceTime(1000);
    sim().injectMouse(WM_MOUSEMOVE, POINT{300, 300});
    sim().advanceTime(1000);
    EXPECT_EQ(sim().setWindowsHookCalls(), 1);

    // The engine's thread stalls while the mouse moves: Windows drops the hook in silence.
    sim().blockThread(engineThread, true);
    EXPECT_TRUE(sim().injectMouse(WM_MOUSEMOVE, POINT{100, 200}).passedOn());
    sim().blockThread(engineThread, false);
    ASSERT_EQ(sim().installedHookCount(), 0);
    EXPECT_TRUE(notchOver().passedOn());
    clearLog();

    sim().advanceTime(1000);
    EXPECT_EQ(sim().installedHookCount(), 1);
    EXPECT_EQ(sim().hookOwnerThread(), engineThread);
    EXPECT_EQ(sim().installedHookProc(), &SmoothScroller::LLMouseProc);
    EXPECT_EQ(hostLog(), (std::vector<LogLine>{
                             {QtInfoMsg, "[SmoothScroller] Mouse hook was removed by the system. "
                                         "Hook reinstalled."}}));
    EXPECT_TRUE(notchOver().swallowed());
    sim().advanceTime(1000);
    EXPECT_EQ(sim().setWindowsHookCalls(), 2);

    // A stopped engine has no thread left to watch anything.
    scroller.stop();
    EXPECT_EQ(sim().queueThreadCount(), 0);
    sim().injectMouse(WM_MOUSEMOVE, POINT{5, 5});
    sim().advanceTime(1000);
    EXPECT_EQ(sim().installedHookCount(), 0);
}

TEST_F(HookHost, HookIsAnsweredWhileTheThreadThatStartedTheEngineIsBlocked)
{
    addAppWindow();
    std::promise<DWORD> blocked;
    std::promise<void> release;
    std::thread gui([&] {
        SmoothScroller scroller;
        const bool started = scroller.start();
        // The GUI thread stalls, as in a save to a slow disk: it answers nothing.
        const DWORD self = sim().currentThreadId();
        sim().blockThread(self, true);
        blocked.set_value(started ? self : 0);
        release.get_future().wait();
        sim().blockThread(self, false);
        scroller.stop();
    });
    const DWORD guiThread = blocked.get_future().get();

    const SimDesktop::HookOutcome outcome = notchOver();
    sim().advanceTime(1000);
    const std::vector<SimDesktop::PostedMessage> steps = sim().posted();
    release.set_value();
    gui.join();

    ASSERT_NE(guiThread, 0u);
    EXPECT_TRUE(outcome.swallowed());
    EXPECT_EQ(sim().hooksRemovedBySystem(), 0);
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(steps.front().wParam), 96);
    int sum = 0;
    for (const SimDesktop::PostedMessage &m : steps)
        sum += GET_WHEEL_DELTA_WPARAM(m.wParam);
    EXPECT_EQ(sum, 1200);
    EXPECT_EQ(sim().installedHookCount(), 0); // the engine stopped with its thread
}

} // namespace
