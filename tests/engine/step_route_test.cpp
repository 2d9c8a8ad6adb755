// Windows of the modern UI frameworks get the steps as input, routed by the system; fullscreen
// windows keep the raw notch.
#include "engine_test_support.h"

#include "engine/wheel_route.h"

#include <cmath>
#include <numeric>

namespace {

using S = SmoothScroller;

// A Store app as Windows shows it: the frame host's top-level window, and the app's core
// window inside it, in a process of its own.
class StepRoute : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_frame = sim().addWindow(sim().addProcess(L"C:\\Windows\\System32\\ApplicationFrameHost.exe"),
                                  {0, 0, 1000, 800});
        sim().setWindowClass(m_frame, L"ApplicationFrameWindow");
        m_core = sim().addChildWindow(m_frame, L"Windows.UI.Core.CoreWindow", {0, 30, 1000, 800},
                                      sim().addProcess(L"C:\\Program Files\\WindowsApps\\Calculator.exe"));
    }

    // The deltas delivered as input (ours, tagged) to hwnd, or to any window within the
    // top-level window hwnd (where focus routing sends it).
    static std::vector<int> inputTo(HWND hwnd, UINT message = WM_MOUSEWHEEL)
    {
        std::vector<int> deltas;
        for (const SimDesktop::InputEvent &e : sim().receivedInput()) {
            if ((e.hwnd == hwnd || GetAncestor(e.hwnd, GA_ROOT) == hwnd) && e.message == message && e.injected
                && e.extraInfo == kInjectedStepTag)
                deltas.push_back(e.delta);
        }
        return deltas;
    }
    static int sum(const std::vector<int> &deltas) { return std::accumulate(deltas.begin(), deltas.end(), 0); }
    // The user changes the routing, and the system announces it.
    static void route(std::optional<UINT> routing)
    {
        sim().setWheelRouting(routing);
        S::systemChangeAnnounced(WM_SETTINGCHANGE, 0);
    }

    HWND m_frame = nullptr;
    HWND m_core = nullptr;
};

TEST_F(StepRoute, ModernWindowGetsTheSeriesOfAClassicOneAsInputOnce)
{
    // The series a classic window gets posted, for comparison.
    const HWND classic = addApp();
    EXPECT_TRUE(wheel(120).swallowed());
    runAnimation();
    const std::vector<int> posted = postedDeltas();
    ASSERT_EQ(sum(posted), 1200);
    EXPECT_EQ(posted.front(), 96);
    DestroyWindow(classic);
    sim().clearPosted();

    for (const UINT message : {WM_MOUSEWHEEL, WM_MOUSEHWHEEL}) {
        const int startsBefore = clockStarts();
        EXPECT_TRUE(sim().injectWheel(120, kCursor, message).swallowed());
        runAnimation();
        // Every step came back through the hook flagged as ours and went on: one clock, one
        // series, nothing posted.
        EXPECT_EQ(inputTo(m_core, message), posted);
        EXPECT_EQ(clockStarts() - startsBefore, 1);
        EXPECT_EQ(S::animation(*axisOfWheelMessage(message)).targetPos, 1200);
        EXPECT_TRUE(sim().posted().empty());
    }

    // The class may sit on any ancestor; a longer name that merely begins like one does not
    // count.
    sim().setWindowClass(m_frame, L"Frame");
    setClass(m_core, L"Microsoft.UI.Content.DesktopChildSiteBridge");
    const HWND leaf = sim().addChildWindow(m_core, std::wstring(L"Windows.UI.Core.CoreWindow") + std::wstring(300, L'x'),
                                           {0, 30, 1000, 800});
    sim().clearReceivedInput();
    wheel(-120);
    runAnimation();
    EXPECT_EQ(sum(inputTo(leaf)), -1200);
    setClass(m_core, L"Plain");
    wheel(-120);
    runAnimation();
    EXPECT_EQ(postedSum(), -1200);
}

TEST_F(StepRoute, InjectsOnlyWhereTheSystemRoutesTheWheelToTheTarget)
{
    const HWND other = sim().addWindow(sim().addProcess(L"C:\\x\\other.exe"), {1200, 0, 1800, 800});
    struct Case {
        std::optional<UINT> routing;
        HWND foreground;
        bool injects;
    };
    const Case cases[] = {
        {MOUSEWHEEL_ROUTING_MOUSE_POS, other, true},   {MOUSEWHEEL_ROUTING_FOCUS, other, false},
        {MOUSEWHEEL_ROUTING_FOCUS, m_frame, true},     {MOUSEWHEEL_ROUTING_HYBRID, other, false},
        {MOUSEWHEEL_ROUTING_HYBRID, m_frame, true},    {std::nullopt, other, false},
        {std::nullopt, m_frame, true},                 {7u, m_frame, true},
    };
    for (const Case &c : cases) {
        route(c.routing);
        sim().setForegroundWindow(c.foreground);
        sim().clearReceivedInput();
        const SimDesktop::HookOutcome outcome = wheel(120);
        runAnimation();
        EXPECT_EQ(outcome.swallowed(), c.injects) << c.routing.value_or(99);
        EXPECT_EQ(sum(inputTo(m_frame)), c.injects ? 1200 : 0) << c.routing.value_or(99);
    }

    // Under way, the animation ends once its steps would go elsewhere, and nothing reaches
    // the other window: the cursor leaving with mouse-position routing, the foreground
    // changing with focus routing.
    route(MOUSEWHEEL_ROUTING_MOUSE_POS);
    sim().clearReceivedInput();
    wheel(120);
    sim().injectMouse(WM_MOUSEMOVE, {1300, 100});
    runAnimation();
    EXPECT_EQ(inputTo(m_frame).size(), 1u);
    route(MOUSEWHEEL_ROUTING_FOCUS);
    sim().setForegroundWindow(m_frame);
    wheel(120);
    sim().setForegroundWindow(other);
    runAnimation();
    EXPECT_EQ(inputTo(m_frame).size(), 2u);
    // The same when the routing itself changes under the glide (its read failing counts as
    // needing both): the steps follow the system's routing of now, not the notch's.
    for (const std::optional<UINT> changed : {std::optional<UINT>{MOUSEWHEEL_ROUTING_FOCUS}, std::optional<UINT>{}}) {
        route(MOUSEWHEEL_ROUTING_MOUSE_POS);
        wheel(120);
        route(changed);
        runAnimation();
    }
    EXPECT_EQ(inputTo(m_frame).size(), 4u);
    EXPECT_TRUE(inputTo(other).empty());
    EXPECT_FALSE(S::s_vertical.isAnimating);
}

TEST_F(StepRoute, ARoutingChangeNobodyAnnouncedIsSeenWithinASecond)
{
    const HWND other = sim().addWindow(sim().addProcess(L"C:\\x\\other.exe"), {1200, 0, 1800, 800});
    sim().setForegroundWindow(other);
    set()["rapidIntervalUp"] = 20; // a glide of two seconds
    route(MOUSEWHEEL_ROUTING_MOUSE_POS);
    ASSERT_TRUE(wheel(120).swallowed());
    const long long readAt = sim().now();
    sim().advanceTime(100);
    // A program changes it without SPIF_SENDCHANGE: the steps go to the foreground window
    // until the routing is read again, a second after the notch read it, and stop there.
    sim().setWheelRouting(MOUSEWHEEL_ROUTING_FOCUS);
    sim().advanceTime(readAt + 1000 + 20 - sim().now());
    EXPECT_FALSE(S::s_vertical.isAnimating);
    EXPECT_FALSE(timerRunning());
    const std::size_t reachedOther = inputTo(other).size();
    EXPECT_LE(reachedOther, 45u);
    runAnimation();
    EXPECT_EQ(inputTo(other).size(), reachedOther);
}

TEST_F(StepRoute, FailuresNeverLoseTheNotchOrReachAnotherWindow)
{
    // Windows of higher rights would drop our input without a word: they keep their wheel.
    DWORD corePid = 0;
    GetWindowThreadProcessId(m_core, &corePid);
    sim().setProcessIntegrity(corePid, SECURITY_MANDATORY_HIGH_RID);
    EXPECT_TRUE(wheel(120).passedOn());
    EXPECT_EQ(sim().sendInputCalls(), 0);
    setIntegrity(corePid, SECURITY_MANDATORY_LOW_RID);

    // SendInput refusing the first step leaves the notch to the window; refusing a later one
    // ends the animation, with a critical line each time.
    sim().failSendInput(ERROR_ACCESS_DENIED);
    EXPECT_TRUE(wheel(120).passedOn());
    EXPECT_FALSE(S::s_vertical.isAnimating);
    EXPECT_FALSE(timerRunning());
    sim().failSendInput(0);
    sim().clearReceivedInput();
    EXPECT_TRUE(wheel(120).swallowed());
    sim().failSendInput(ERROR_ACCESS_DENIED);
    runAnimation();
    EXPECT_FALSE(timerRunning());
    // The refused step is not counted as delivered: what the animation still owes is exactly
    // what the window did not get.
    const ScrollAnimation &a = S::s_vertical;
    EXPECT_EQ(std::lround(remainingDistance(a) + a.pendingFraction), 1200 - sum(inputTo(m_frame)));
    EXPECT_EQ(logTypes("[LLMouseProc] SendInput FAILED"), (std::vector<QtMsgType>{QtCriticalMsg, QtCriticalMsg}));
    sim().failSendInput(0);

    // The window going between two steps ends the animation.
    wheel(120);
    DestroyWindow(m_frame);
    runAnimation();
    EXPECT_FALSE(S::s_vertical.isAnimating);

    // Our tag counts only on injected input: a device's notch carrying it, and another
    // program's injected notch, are animated as any.
    const HWND classic = addApp();
    sim().clearPosted();
    EXPECT_TRUE(sim().injectMouse(WM_MOUSEWHEEL, kCursor, 120u << 16, HC_ACTION, 0, kInjectedStepTag).swallowed());
    runAnimation();
    EXPECT_TRUE(sim().injectMouse(WM_MOUSEWHEEL, kCursor, 120u << 16, HC_ACTION, LLMHF_INJECTED, 0xFF515700).swallowed());
    runAnimation();
    EXPECT_EQ(postedSum(), 2400);
    EXPECT_TRUE(sim().injectMouse(WM_MOUSEWHEEL, kCursor, 120u << 16, HC_ACTION, LLMHF_INJECTED, kInjectedStepTag).passedOn());
    EXPECT_FALSE(S::s_vertical.isAnimating);
    DestroyWindow(classic);
}

TEST_F(StepRoute, FullscreenWindowKeepsTheRawNotchUnlessItHasASetOfItsOwn)
{
    // An animation on a second monitor, then a game covering the first.
    sim().addMonitor({1920, 0, 3840, 1080});
    const HWND side = sim().addWindow(sim().addProcess(L"C:\\x\\reader.exe"), {2000, 0, 3000, 800});
    wheel(120, {2100, 100});
    const HWND game = sim().addWindow(sim().addProcess(L"D:\\Games\\game.exe"), {0, 0, 1920, 1080});
    const std::size_t postedBefore = sim().posted().size();
    EXPECT_TRUE(wheel(120).passedOn());
    EXPECT_TRUE(tilt(-120).passedOn());
    EXPECT_TRUE(S::s_vertical.isAnimating);
    EXPECT_EQ(S::s_vertical.targetHwnd, side);
    EXPECT_EQ(sim().posted().size(), postedBefore);
    runAnimation();

    // Maximized, it is an ordinary window; with a set of its own it is smoothed.
    sim().setWindowZoomed(game, true);
    EXPECT_TRUE(wheel(120).swallowed());
    runAnimation();
    sim().setWindowZoomed(game, false);
    set("game.exe");
    EXPECT_TRUE(wheel(120).swallowed());
    runAnimation();
    config()["parameters"].erase("game.exe");

    // Larger than the screen counts; once its monitor is gone, it is judged by what is left.
    sim().setWindowRect(game, {-8, -8, 1928, 1088});
    EXPECT_TRUE(wheel(120).passedOn());
    sim().removeMonitor(MonitorFromWindow(game, MONITOR_DEFAULTTONULL));
    EXPECT_TRUE(wheel(120).swallowed());
}

TEST(WheelRouteDecisions, MonitorCoverage)
{
    const RECT monitor{0, 0, 1920, 1080};
    EXPECT_TRUE(coversWholeMonitor({0, 0, 1920, 1080}, monitor, false));
    EXPECT_FALSE(coversWholeMonitor({0, 0, 1920, 1080}, monitor, true));
    EXPECT_FALSE(coversWholeMonitor({0, 0, 1920, 1040}, monitor, false)); // above the taskbar
    EXPECT_FALSE(coversWholeMonitor({1, 0, 1920, 1080}, monitor, false));
    EXPECT_FALSE(coversWholeMonitor({0, 0, 10, 10}, RECT{5, 5, 5, 5}, false)); // no real monitor
}

} // namespace
