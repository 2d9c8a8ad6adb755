// The wheel hook's decisions, one outcome after another, against the simulated desktop; the
// tilt wheel's own animation beside the vertical one.
#include "engine_test_support.h"

#include <cmath>

namespace {

using S = SmoothScroller;

class WheelHook : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_app = addApp();
    }
    HWND m_app = nullptr;
};

TEST_F(WheelHook, NotchOverWindowStartsAnAnimationAndIsSwallowed)
{
    S::s_vertical.pendingFraction = 0.7f; // left by an animation that was stopped half way
    const SimDesktop::HookOutcome outcome = wheel(120);
    EXPECT_TRUE(outcome.swallowed());
    EXPECT_EQ(outcome.result, 1);
    EXPECT_TRUE(S::s_vertical.isAnimating);
    EXPECT_EQ(S::s_vertical.targetHwnd, m_app);
    EXPECT_EQ(S::s_vertical.targetPos, 1200);
    EXPECT_EQ(S::s_vertical.targetPoint.x, kCursor.x);
    EXPECT_EQ(S::s_vertical.targetPoint.y, kCursor.y);
    EXPECT_EQ(S::s_vertical.lastDelta, 120);
    EXPECT_EQ(postedDeltas(), std::vector<int>{96}); // not 97: no fraction carried over
    EXPECT_EQ(S::s_currentParamSet, "default");
    // The multimedia clock beats the 5 ms at a resolution of 1 ms; no window timer runs.
    const std::vector<SimDesktop::MultimediaTimer> clock = sim().multimediaTimers();
    ASSERT_EQ(clock.size(), 1u);
    EXPECT_EQ(clock[0].delay, 5u);
    EXPECT_EQ(clock[0].resolution, 1u);
    EXPECT_EQ(clock[0].flags & TIME_PERIODIC, UINT{TIME_PERIODIC});
    EXPECT_FALSE(sim().timer(m_hidden, S::kAnimationTimerId));
    EXPECT_EQ(S::s_vertical.activeTimerId, S::kAnimationTimerId);
    EXPECT_EQ(logLines(), (std::vector<std::string>{
                              "[LLMouseProc] New animation or window change. Target: 1200",
                              "[LLMouseProc] Initiating new animation instance. Target pos: 1200",
                              "[LLMouseProc] New timer SET with ID: 1"}));
    EXPECT_TRUE(logged("process name ->  app.exe"));

    EXPECT_EQ(runAnimation(), 66);
    EXPECT_EQ(postedSum(), 1200);
}

TEST_F(WheelHook, ReversedDirectionUsesTheDownParameters)
{
    set()["scrollDirectionNormal"] = false;
    set()["accelDown"] = 3;
    set()["rapidIntervalDown"] = 7;
    EXPECT_TRUE(wheel(120).swallowed());
    EXPECT_EQ(S::s_vertical.lastDelta, -120);
    EXPECT_EQ(S::s_vertical.targetPos, -360);
    EXPECT_EQ(clockInterval(), 7u);
}

TEST_F(WheelHook, EventsThatAreNotWheelNotchesPassOn)
{
    EXPECT_TRUE(sim().injectMouse(WM_MOUSEWHEEL, kCursor, 120u << 16, 3).passedOn());
    EXPECT_TRUE(sim().injectMouse(WM_MOUSEWHEEL, kCursor, 120u << 16, -1).passedOn());
    EXPECT_TRUE(mouse(WM_MOUSEMOVE).passedOn());
    EXPECT_FALSE(S::s_vertical.isAnimating);
    EXPECT_EQ(clockStarts(), 0);
    EXPECT_TRUE(logLines().empty());
}

TEST_F(WheelHook, ButtonPressStopsTheAnimationAndPassesOn)
{
    for (UINT button : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
        wheel(120);
        ASSERT_TRUE(S::s_vertical.isAnimating);
        EXPECT_TRUE(mouse(button).passedOn());
        EXPECT_FALSE(S::s_vertical.isAnimating) << button;
        EXPECT_FALSE(timerRunning()) << button;
        EXPECT_TRUE(logged("[LLMouseProc] Mouse button pressed. Stopping active animation."));
    }
    // A press with no animation, a side button or a release changes nothing.
    const size_t lines = logLines().size();
    EXPECT_TRUE(mouse(WM_LBUTTONDOWN).passedOn());
    wheel(120);
    EXPECT_TRUE(mouse(WM_XBUTTONDOWN).passedOn());
    EXPECT_TRUE(mouse(WM_LBUTTONUP).passedOn());
    EXPECT_TRUE(S::s_vertical.isAnimating);
    EXPECT_EQ(logLines().size(), lines + 3); // only the new animation's lines
}

TEST_F(WheelHook, ModifierPassesTheNotchOnAndStopsTheAnimation)
{
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        wheel(120);
        sim().setKeyDown(key, true);
        EXPECT_TRUE(wheel(120).passedOn()) << key;
        EXPECT_FALSE(S::s_vertical.isAnimating) << key;
        EXPECT_FALSE(timerRunning()) << key;
        EXPECT_EQ(logLines().back(),
                  "[LLMouseProc] Modifier key (Shift/Ctrl/Alt) is down. Bypassing custom scroll.");
        sim().setKeyDown(key, false);
    }
    // Shift, Ctrl, Alt in that order, stopping at the first key that is down.
    sim().setKeyDown(VK_CONTROL, true);
    sim().clearKeyQueries();
    wheel(120);
    EXPECT_EQ(sim().keyQueries(), (std::vector<int>{VK_SHIFT, VK_CONTROL}));
    // Only the high bit counts as down.
    sim().setKeyDown(VK_CONTROL, false);
    sim().setKeyStateRaw(VK_SHIFT, 1);
    EXPECT_TRUE(wheel(120).swallowed());
}

TEST_F(WheelHook, ExcludedProcessesPassOnButStillChooseTheirSet)
{
    set("SearchHost.exe");
    const HWND search = addApp(L"C:\\Windows\\SystemApps\\SearchHost.exe");
    EXPECT_TRUE(wheel(-120).passedOn());
    EXPECT_EQ(S::s_currentParamSet, "SearchHost.exe");
    EXPECT_EQ(S::s_vertical.lastDelta, -120);
    EXPECT_FALSE(S::s_vertical.isAnimating);
    DestroyWindow(search);

    for (const wchar_t *path : {L"C:\\Windows\\SystemSettings.exe",
                                L"C:\\Windows\\StartMenuExperienceHost.exe"}) {
        const HWND window = addApp(path);
        EXPECT_TRUE(wheel(120).passedOn());
        DestroyWindow(window);
    }
    // Letter case matters: this one is animated.
    addApp(L"C:\\Tools\\searchhost.exe");
    EXPECT_TRUE(wheel(120).swallowed());
}

TEST_F(WheelHook, ZeroDeltaOrSmoothingOffPassesOn)
{
    wheel(120);
    EXPECT_TRUE(wheel(0).passedOn());
    EXPECT_EQ(S::s_vertical.lastDelta, 0);
    EXPECT_EQ(S::s_vertical.targetPos, 1200);

    set()["smoothScrollEnabled"] = false;
    EXPECT_TRUE(wheel(-120).passedOn());
    EXPECT_EQ(S::s_vertical.lastDelta, -120);
    EXPECT_EQ(S::s_vertical.targetPos, 1200);
    EXPECT_TRUE(S::s_vertical.isAnimating);

    // A hand-edited multiplier of 0 would scroll nothing: the notch keeps its native effect.
    set()["smoothScrollEnabled"] = true;
    set()["accelDown"] = 0;
    S::stopAnimation();
    const int starts = clockStarts();
    EXPECT_TRUE(wheel(-120).passedOn());
    EXPECT_EQ(S::s_vertical.lastDelta, -120);
    EXPECT_FALSE(S::s_vertical.isAnimating);
    EXPECT_EQ(clockStarts(), starts);
    EXPECT_TRUE(wheel(120).swallowed());
}

TEST_F(WheelHook, NoUsableWindowUnderTheCursorPassesOn)
{
    EXPECT_TRUE(wheel(120, POINT{5000, 5000}).passedOn());
    sim().overrideWindowFromPoint(m_hidden);
    EXPECT_TRUE(wheel(120).passedOn());
    sim().setWindowVisible(m_app, false);
    sim().overrideWindowFromPoint(m_app);
    EXPECT_TRUE(wheel(120).passedOn());
    sim().setWindowVisible(m_app, true);
    DestroyWindow(m_app);
    EXPECT_TRUE(wheel(120).passedOn());
    EXPECT_FALSE(S::s_vertical.isAnimating);
    EXPECT_EQ(clockStarts(), 0);
}

TEST_F(WheelHook, SameDirectionExtendsTheRunningAnimation)
{
    wheel(120);
    runAnimation(3);
    EXPECT_TRUE(wheel(120).swallowed());
    EXPECT_EQ(S::s_vertical.targetPos, 2400);
    EXPECT_EQ(clockStarts(), 1);
    runAnimation();
    EXPECT_EQ(postedSum(), 2400);
}

TEST_F(WheelHook, SlightOppositeNotchSettlesWhereItIs)
{
    wheel(120);
    S::s_vertical.scrolledSoFar = 100.3f;
    S::s_vertical.pendingFraction = 0.3f; // 100 units posted
    S::s_vertical.postedUnits = 100;
    sim().clearPosted();
    EXPECT_TRUE(wheel(-120).swallowed());
    EXPECT_EQ(S::s_vertical.targetPos, 100);
    EXPECT_EQ(S::s_vertical.pendingFraction, 0.0f);
    EXPECT_EQ(logLines().back(),
              "[LLMouseProc] Slight opposite scroll (raw: -120 ). Stopping current animation.");
    EXPECT_EQ(runAnimation(), 1);
    EXPECT_TRUE(sim().posted().empty());
    EXPECT_FALSE(S::s_vertical.isAnimating);
}

TEST_F(WheelHook, StrongOppositeNotchReversesTheAnimation)
{
    wheel(120);
    runAnimation(5);
    S::s_vertical.pendingFraction = 0.4f;
    sim().clearPosted();
    EXPECT_TRUE(wheel(-240).swallowed());
    EXPECT_EQ(S::s_vertical.targetPos, -2400);
    EXPECT_EQ(postedDeltas(), std::vector<int>{-192}); // from nothing, at once
    EXPECT_EQ(sim().multimediaTimers().size(), 1u); // the new clock replaced the old one
    const std::vector<std::string> lines = logLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
              (std::vector<std::string>{
                  "[LLMouseProc] Significant opposite scroll (raw: -240 ). Reversing animation.",
                  "[LLMouseProc] Stopping previous timer for new animation setup.",
                  "[LLMouseProc] Initiating new animation instance. Target pos: -2400",
                  "[LLMouseProc] New timer SET with ID: 1"}));
    runAnimation();
    EXPECT_EQ(postedSum(), -2400);
}

TEST_F(WheelHook, NotchOverAnotherWindowMovesTheAnimationThere)
{
    wheel(120);
    runAnimation(5);
    const HWND other = sim().addWindow(sim().addProcess(L"D:\\b.exe"), {0, 0, 200, 200});
    sim().clearPosted();
    EXPECT_TRUE(wheel(120, POINT{50, 60}).swallowed());
    EXPECT_EQ(S::s_vertical.targetHwnd, other);
    EXPECT_EQ(S::s_vertical.targetPos, 1200);
    EXPECT_TRUE(logged("[LLMouseProc] Target window changed. Previous animation on other window "
                       "will be effectively stopped."));
    EXPECT_TRUE(logged("[LLMouseProc] New animation or window change. Target: 1200"));
    runAnimation();
    EXPECT_EQ(postedSum(), 1200);
    for (const SimDesktop::PostedMessage &m : sim().posted())
        EXPECT_EQ(m.hwnd, other);
}

TEST_F(WheelHook, PostedStepsCarryThePointInTheTargetWindowsOwnCoordinates)
{
    // A DPI-unaware window reads logical coordinates: at 150 % the physical point over 1.5.
    sim().setMonitorScale(MonitorFromWindow(m_app, MONITOR_DEFAULTTONEAREST), 150);
    EXPECT_TRUE(wheel(120, POINT{300, 450}).swallowed());
    runAnimation();
    // A per-monitor-aware one reads the physical point.
    sim().setWindowDpiAwareness(m_app, SimDesktop::DpiAwareness::PerMonitorAware);
    EXPECT_TRUE(wheel(-120, POINT{300, 450}).swallowed());
    runAnimation();

    ASSERT_EQ(postedSum(), 0);
    for (const SimDesktop::PostedMessage &m : sim().posted()) {
        const bool up = GET_WHEEL_DELTA_WPARAM(m.wParam) > 0;
        EXPECT_EQ(m.lParam, up ? MAKELPARAM(200, 300) : MAKELPARAM(300, 450));
    }
}

TEST_F(WheelHook, FailedTimerStartsAreLoggedAndTheNotchIsStillSwallowed)
{
    sim().failMultimediaTimers(true);
    sim().failSetTimer(ERROR_NOT_ENOUGH_QUOTA);
    EXPECT_TRUE(wheel(120).swallowed());
    EXPECT_FALSE(S::s_vertical.isAnimating);
    EXPECT_EQ(S::s_vertical.activeTimerId, 0u);
    EXPECT_EQ(logLines().back(), "[LLMouseProc] SetTimer FAILED for new animation! Animation will "
                                 "be inactive. Error: 1816");
    EXPECT_EQ(logTypes().back(), QtCriticalMsg);

    // An animation that lost its timer restarts it for an accumulated notch.
    S::s_vertical.isAnimating = true;
    S::s_vertical.targetHwnd = m_app;
    EXPECT_TRUE(wheel(120).swallowed());
    EXPECT_EQ(logLines().back(), "[LLMouseProc] SetTimer FAILED! (Restart for accumulation)");
    EXPECT_EQ(logTypes().back(), QtCriticalMsg);
    EXPECT_FALSE(S::s_vertical.isAnimating);

    // The restart aims at where this notch was turned; the window timer stands in for the
    // missing multimedia clock at the requested interval.
    sim().failSetTimer(0);
    S::s_vertical.isAnimating = true;
    const POINT elsewhere{700, 20};
    EXPECT_TRUE(wheel(120, elsewhere).swallowed());
    EXPECT_TRUE(logged("[LLMouseProc] Restarting timer for accumulated scroll."));
    EXPECT_TRUE(S::s_vertical.isAnimating);
    EXPECT_EQ(clockInterval(), 5u);
    EXPECT_EQ(S::s_vertical.targetPos, 3600);
    EXPECT_EQ(S::s_vertical.targetPoint.x, elsewhere.x);
    EXPECT_EQ(S::s_vertical.targetPoint.y, elsewhere.y);
    runAnimation(1);
    ASSERT_FALSE(sim().posted().empty());
    EXPECT_EQ(sim().posted().back().lParam, MAKELPARAM(700, 20));
}

TEST_F(WheelHook, MissingHiddenWindowLosesTheNotchWithACriticalLine)
{
    S::s_hWnd = nullptr;
    EXPECT_TRUE(wheel(120).swallowed());
    EXPECT_FALSE(S::s_vertical.isAnimating);
    EXPECT_EQ(logLines().back(), "[LLMouseProc] Main window handle is invalid, cannot set timer "
                                 "for new animation.");
    EXPECT_EQ(logTypes().back(), QtCriticalMsg);
}

TEST_F(WheelHook, ProcessWithHigherRightsKeepsItsNativeWheel)
{
    // Where its integrity level can be read, no notch over it is ever swallowed.
    const DWORD admin = sim().addProcess(L"C:\\Windows\\regedit.exe");
    sim().setProcessIntegrity(admin, SECURITY_MANDATORY_HIGH_RID);
    const HWND adminWindow = sim().addWindow(admin, {0, 0, 1000, 800});
    EXPECT_TRUE(wheel(120).passedOn());
    EXPECT_EQ(clockStarts(), 0);
    DestroyWindow(adminWindow);

    // Where it cannot, the first refused post is remembered for the whole process.
    const DWORD elevated = sim().addProcess(L"C:\\Tools\\elevated.exe");
    sim().setProcessIntegrity(elevated, SECURITY_MANDATORY_HIGH_RID, false);
    const HWND first = sim().addWindow(elevated, {0, 0, 1000, 800});
    sim().failPostTo(first, ERROR_ACCESS_DENIED);
    EXPECT_TRUE(wheel(120).swallowed());
    runAnimation();
    EXPECT_FALSE(S::s_vertical.isAnimating);
    EXPECT_TRUE(wheel(120).passedOn());
    const HWND child = sim().addWindow(elevated, {0, 0, 1000, 800});
    EXPECT_TRUE(wheel(120).passedOn());
    EXPECT_EQ(clockStarts(), 1);
    int refusals = 0;
    for (const std::string &line : logLines())
        refusals += line.find("refused") != std::string::npos;
    EXPECT_EQ(refusals, 1);

    // Once it has ended, its pid belongs to whoever gets it next; the list keeps only the
    // living.
    DestroyWindow(child);
    sim().endProcess(elevated);
    sim().addProcess(L"C:\\Apps\\reader.exe", true, elevated);
    const HWND reused = sim().addWindow(elevated, {0, 0, 1000, 800});
    EXPECT_TRUE(wheel(120).swallowed());
    sim().failPostTo(reused, ERROR_ACCESS_DENIED);
    runAnimation();
    const HWND other = sim().addWindow(sim().addProcess(L"C:\\x\\other.exe"), {0, 0, 1000, 800});
    sim().failPostTo(other, ERROR_ACCESS_DENIED);
    sim().endProcess(elevated);
    EXPECT_TRUE(wheel(120).swallowed());
    runAnimation();
    EXPECT_EQ(S::s_refusedProcesses.size(), 1u);
    EXPECT_TRUE(wheel(120).passedOn());
}

TEST_F(WheelHook, TiltIsAnimatedOnItsOwnAxisLikeANotch)
{
    EXPECT_TRUE(tilt(120).swallowed());
    EXPECT_TRUE(horizontal().isAnimating);
    EXPECT_EQ(horizontal().targetPos, 1200);
    EXPECT_EQ(horizontal().lastDelta, 120);
    EXPECT_EQ(horizontal().paramSet, "default");
    EXPECT_FALSE(vertical().isAnimating);
    EXPECT_EQ(vertical().lastDelta, 0);
    EXPECT_TRUE(logged("[LLMouseProc] New timer SET with ID: 2"));
    EXPECT_EQ(runAnimation(), 66);
    // Tilt right scrolls as a notch up: the same series, as horizontal wheel messages.
    const std::vector<int> right = postedDeltas(WM_MOUSEHWHEEL);
    ASSERT_EQ(right.size(), 67u);
    EXPECT_EQ(std::vector<int>(right.begin(), right.begin() + 5), (std::vector<int>{96, 88, 82, 74, 69}));
    EXPECT_EQ(postedSum(WM_MOUSEHWHEEL), 1200);
    for (const SimDesktop::PostedMessage &m : sim().posted()) {
        EXPECT_EQ(m.hwnd, m_app);
        EXPECT_EQ(m.message, UINT{WM_MOUSEHWHEEL});
        EXPECT_EQ(m.wParam & 0xFFFF, 0u);
        EXPECT_EQ(m.lParam, MAKELPARAM(kCursor.x, kCursor.y));
    }
    sim().clearPosted();
    tilt(-120);
    runAnimation();
    EXPECT_EQ(postedSum(WM_MOUSEHWHEEL), -1200);

    // The set's direction turns both axes, and the Down keys follow the adjusted delta.
    set()["scrollDirectionNormal"] = false;
    set()["accelDown"] = 3;
    set()["rapidIntervalDown"] = 7;
    EXPECT_TRUE(tilt(120).swallowed());
    EXPECT_EQ(horizontal().targetPos, -360);
    EXPECT_EQ(clockInterval(), 7u);
    // Smoothing off (with the direction normal), an excluded process and a modifier let the
    // tilt through.
    set()["smoothScrollEnabled"] = false;
    set()["scrollDirectionNormal"] = true;
    EXPECT_TRUE(tilt(120).passedOn());
    set()["smoothScrollEnabled"] = true;
    set()["scrollDirectionNormal"] = false;
    sim().setKeyDown(VK_SHIFT, true);
    EXPECT_TRUE(tilt(120).passedOn());
    EXPECT_FALSE(horizontal().isAnimating);
    sim().setKeyDown(VK_SHIFT, false);
    addApp(L"C:\\Windows\\SystemSettings.exe");
    EXPECT_TRUE(tilt(-32760).passedOn());
    EXPECT_EQ(horizontal().lastDelta, 32760);
}

TEST_F(WheelHook, AxesNeitherStopNorExtendNorRetargetEachOther)
{
    const HWND other = sim().addWindow(sim().addProcess(L"D:\\b.exe"), {0, 0, 100, 100});
    set("b.exe")["accelUp"] = 2;
    tilt(120);
    wheel(120);
    EXPECT_EQ(sim().multimediaTimers().size(), 2u); // a clock each
    runAnimation(5);

    wheel(-120);                    // settles the vertical animation only
    EXPECT_TRUE(tilt(120).swallowed()); // extends the horizontal one
    EXPECT_EQ(horizontal().targetPos, 2400);
    EXPECT_EQ(vertical().lastDelta, -120);
    EXPECT_EQ(horizontal().lastDelta, 120);
    sim().setKeyDown(VK_CONTROL, true);
    wheel(120);                     // a bypassed notch stops its own axis only
    sim().setKeyDown(VK_CONTROL, false);
    EXPECT_FALSE(vertical().isAnimating);
    EXPECT_TRUE(horizontal().isAnimating);

    sim().clearPosted();
    wheel(120);
    tilt(120, POINT{50, 50});       // moves the horizontal animation, with b.exe's set
    EXPECT_EQ(horizontal().targetHwnd, other);
    EXPECT_EQ(horizontal().targetPos, 240);
    EXPECT_EQ(horizontal().paramSet, "b.exe");
    EXPECT_EQ(S::s_currentParamSet, "default");
    EXPECT_EQ(vertical().targetHwnd, m_app);
    EXPECT_EQ(vertical().targetPos, 1200);

    runAnimation();
    EXPECT_EQ(postedSum(WM_MOUSEWHEEL), 1200);
    EXPECT_EQ(postedSum(WM_MOUSEHWHEEL), 240);

    // A button press stops both, with one line.
    tilt(120);
    wheel(120);
    const std::size_t lines = logLines().size();
    EXPECT_TRUE(mouse(WM_RBUTTONDOWN).passedOn());
    EXPECT_FALSE(vertical().isAnimating);
    EXPECT_FALSE(horizontal().isAnimating);
    EXPECT_FALSE(timerRunning());
    EXPECT_EQ(logLines().size(), lines + 1);
}

TEST_F(WheelHook, OneAxisLosingItsClockLeavesTheOtherRunning)
{
    tilt(120);
    sim().failMultimediaTimers(true);
    sim().failSetTimer(ERROR_NOT_ENOUGH_QUOTA);
    EXPECT_TRUE(wheel(120).swallowed());
    EXPECT_FALSE(vertical().isAnimating);
    EXPECT_TRUE(horizontal().isAnimating);
    sim().failSetTimer(0);
    runAnimation();
    EXPECT_EQ(postedSum(WM_MOUSEHWHEEL), 1200);
    EXPECT_TRUE(postedDeltas(WM_MOUSEWHEEL).empty());
}

} // namespace
