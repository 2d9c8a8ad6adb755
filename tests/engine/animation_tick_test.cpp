// The animation tick against the simulated desktop: the step series the user sees, the end
// of an animation, and what the tick does when the world changes under it.
#include "engine_test_support.h"

#include "config/config_document.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

using S = SmoothScroller;

class AnimationTick : public EngineTest {
protected:
    // An animation as the hook begins one: target, direction, counters at 0, timer set.
    void begin(HWND target, int targetPos, int lastDelta)
    {
        publish();
        S::s_targetHwnd = target;
        S::s_targetPoint = POINT{-300, 450};
        S::s_targetPos = targetPos;
        S::s_lastDelta = lastDelta;
        S::s_scrolledSoFar = 0.0f;
        S::s_pendingFraction = 0.0f;
        S::s_currentParamSet = "default";
        S::s_isAnimating = true;
        S::s_activeTimerId = SetTimer(m_hidden, S::kAnimationTimerId, 5, nullptr);
        ASSERT_NE(S::s_activeTimerId, 0u);
    }

    static bool allEqual(const std::vector<int> &values, size_t from, int value)
    {
        return std::all_of(values.begin() + from, values.end(), [&](int v) { return v == value; });
    }
};

TEST_F(AnimationTick, OneNotchAtFourPercentEasesOutOverSixtySevenTicks)
{
    const HWND app = addApp();
    begin(app, 1200, 120);

    EXPECT_EQ(runAnimation(), 67);
    const std::vector<int> steps = postedDeltas();
    ASSERT_GE(steps.size(), 10u);
    EXPECT_EQ(std::vector<int>(steps.begin(), steps.begin() + 5),
              (std::vector<int>{96, 88, 82, 74, 69}));
    EXPECT_EQ(postedSum(), 1200);
    EXPECT_TRUE(allEqual(steps, steps.size() - 5, 1)); // ends in single units
    EXPECT_FALSE(S::s_isAnimating);
    EXPECT_EQ(S::s_activeTimerId, 0u);
    EXPECT_FALSE(timerRunning());

    for (const SimDesktop::PostedMessage &m : sim().posted()) {
        EXPECT_EQ(m.hwnd, app);
        EXPECT_EQ(m.message, UINT{WM_MOUSEWHEEL});
        EXPECT_EQ(m.wParam & 0xFFFF, 0u);
        EXPECT_EQ(m.wParam >> 32, 0u);
        EXPECT_EQ(m.lParam, LPARAM{0x01C2FED4}); // (-300, 450) cut to 16 bits each
    }
}

TEST_F(AnimationTick, DownwardNotchMirrorsTheSeriesWithTheDownPercentage)
{
    set()["scrollDistanceUp"] = 50; // must not be the one used
    begin(addApp(), -1200, -120);

    EXPECT_EQ(runAnimation(), 67);
    const std::vector<int> steps = postedDeltas();
    ASSERT_GE(steps.size(), 5u);
    EXPECT_EQ(std::vector<int>(steps.begin(), steps.begin() + 5),
              (std::vector<int>{-96, -88, -82, -74, -69}));
    EXPECT_EQ(postedSum(), -1200);
    EXPECT_TRUE(allEqual(steps, steps.size() - 5, -1));

    // A last delta of 0 is not upward either: the Down percentage applies.
    sim().clearPosted();
    begin(S::s_targetHwnd, 1200, 0);
    EXPECT_EQ(runAnimation(1), 1);
    EXPECT_EQ(postedDeltas(), std::vector<int>{96});
}

TEST_F(AnimationTick, CarriedFractionsShapeSmallAndSlowAnimations)
{
    begin(addApp(), 120, 120);
    EXPECT_EQ(runAnimation(), 40);
    std::vector<int> steps = postedDeltas();
    ASSERT_GE(steps.size(), 6u);
    EXPECT_EQ(std::vector<int>(steps.begin(), steps.begin() + 6),
              (std::vector<int>{10, 8, 9, 7, 7, 6}));
    EXPECT_EQ(postedSum(), 120);

    sim().clearPosted();
    set()["scrollDistanceUp"] = 0; // behaves as 1 percent
    begin(S::s_targetHwnd, 1200, 120);
    EXPECT_EQ(runAnimation(), 207);
    steps = postedDeltas();
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), 24);
    EXPECT_EQ(postedSum(), 1200);

    sim().clearPosted();
    begin(S::s_targetHwnd, 7, 120);
    EXPECT_EQ(runAnimation(), 7);
    EXPECT_EQ(postedDeltas(), std::vector<int>(7, 1));

    // Float rounding can leave just under half a unit to consume and just under half a unit
    // pending (0.49976 and 0.49990 here): together a whole unit, which is still posted.
    for (const auto &[percent, target] : {std::pair{19, 3251}, std::pair{4, 7063}, std::pair{4, -7063}}) {
        sim().clearPosted();
        set()["scrollDistanceUp"] = percent;
        set()["scrollDistanceDown"] = percent;
        begin(S::s_targetHwnd, target, target);
        runAnimation();
        EXPECT_EQ(postedSum(), target) << percent << " percent";
    }
}

TEST_F(AnimationTick, HalfOrMoreFinishesInTheFirstTick)
{
    const HWND app = addApp();
    for (int percent : {50, 100}) {
        sim().clearPosted();
        set()["scrollDistanceUp"] = percent;
        begin(app, 1200, 120);
        EXPECT_EQ(runAnimation(), 1) << percent;
        EXPECT_EQ(postedDeltas(), std::vector<int>{1200}) << percent;
        EXPECT_FALSE(S::s_isAnimating);
    }
}

TEST_F(AnimationTick, FractionalPercentageIsTruncated)
{
    set()["scrollDistanceUp"] = 4.9;
    begin(addApp(), 1200, 120);
    EXPECT_EQ(runAnimation(), 67);
    EXPECT_EQ(postedDeltas().front(), 96);
}

TEST_F(AnimationTick, TicksComeAtTheIntervalTheUserSetDownToOneMillisecond)
{
    addApp();
    for (UINT interval : {5u, 1u, 12u}) {
        set()["rapidIntervalUp"] = interval;
        sim().clearPosted();
        wheel(120);
        EXPECT_EQ(sim().raisedTimerResolution(), 1u);
        sim().advanceTime(10 * interval);
        EXPECT_EQ(postedDeltas().size(), 10u) << interval;
        sim().advanceTime(57 * interval);
        EXPECT_EQ(postedSum(), 1200) << interval;
        EXPECT_FALSE(timerRunning()) << interval;
        EXPECT_EQ(sim().raisedTimerResolution(), 0u) << interval;
    }
    // Without the multimedia service the window timer runs, raised to its 10 ms minimum.
    sim().failMultimediaTimers(true);
    set()["rapidIntervalUp"] = 5;
    sim().clearPosted();
    wheel(120);
    sim().advanceTime(100);
    EXPECT_EQ(postedDeltas().size(), 10u);
}

TEST_F(AnimationTick, StalledThreadFindsOneTickWaitingNotABurst)
{
    addApp();
    wheel(120);
    const std::vector<SimDesktop::MultimediaTimer> clock = sim().multimediaTimers();
    ASSERT_EQ(clock.size(), 1u);
    for (int i = 0; i < 5; ++i) // the timer thread keeps beating while the GUI thread is busy
        clock[0].callback(clock[0].id, 0, clock[0].user, 0, 0);
    EXPECT_EQ(sim().queuedMessageCount(), 1u);
    EXPECT_EQ(sim().pumpMessages(), 1);
    EXPECT_EQ(postedDeltas(), std::vector<int>{96});
    clock[0].callback(clock[0].id, 0, clock[0].user, 0, 0);
    EXPECT_EQ(sim().queuedMessageCount(), 1u);
}

TEST_F(AnimationTick, TickWithoutAnimationKillsTheTimerAndPostsNothing)
{
    begin(addApp(), 1200, 120);
    S::s_isAnimating = false;
    EXPECT_TRUE(sim().fireTimer(m_hidden, S::kAnimationTimerId));
    EXPECT_TRUE(sim().posted().empty());
    EXPECT_FALSE(timerRunning());
    EXPECT_EQ(S::s_activeTimerId, 0u);

    // Also when the engine has lost the timer's identifier.
    SetTimer(m_hidden, S::kAnimationTimerId, 5, nullptr);
    S::s_activeTimerId = 0;
    EXPECT_TRUE(sim().fireTimer(m_hidden, S::kAnimationTimerId));
    EXPECT_FALSE(timerRunning());
    EXPECT_TRUE(sim().posted().empty());
}

TEST_F(AnimationTick, TargetHiddenOrDestroyedMidwayStopsWithoutPosting)
{
    const HWND app = addApp();
    begin(app, 1200, 120);
    EXPECT_EQ(runAnimation(10), 10);
    sim().setWindowVisible(app, false);
    EXPECT_EQ(runAnimation(), 1);
    EXPECT_EQ(postedDeltas().size(), 10u);
    EXPECT_FALSE(S::s_isAnimating);

    sim().setWindowVisible(app, true);
    sim().clearPosted();
    begin(app, 1200, 120);
    EXPECT_EQ(runAnimation(3), 3);
    DestroyWindow(app);
    EXPECT_EQ(runAnimation(), 1);
    EXPECT_EQ(postedDeltas().size(), 3u);
}

TEST_F(AnimationTick, ModifierDownAtATickEndsTheAnimationInsteadOfPosting)
{
    // Steps with Ctrl held would zoom, with Shift scroll sideways: the rest is dropped.
    const HWND app = addApp();
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        sim().clearPosted();
        begin(app, 1200, 120);
        runAnimation(2);
        sim().setKeyDown(key, true);
        EXPECT_EQ(runAnimation(), 1) << key;
        sim().setKeyDown(key, false);
        EXPECT_EQ(postedDeltas(), (std::vector<int>{96, 88})) << key;
        EXPECT_FALSE(S::s_isAnimating) << key;
        EXPECT_FALSE(timerRunning()) << key;
    }
    // A posting tick asks Shift, Ctrl and Alt, then composes the step's key flags asking
    // Ctrl first and Shift second; only the high bit means down.
    sim().clearPosted();
    sim().setKeyStateRaw(VK_CONTROL, 1);
    begin(app, 1200, 120);
    sim().clearKeyQueries();
    EXPECT_EQ(runAnimation(1), 1);
    EXPECT_EQ(sim().keyQueries(),
              (std::vector<int>{VK_SHIFT, VK_CONTROL, VK_MENU, VK_CONTROL, VK_SHIFT}));
    ASSERT_EQ(sim().posted().size(), 1u);
    EXPECT_EQ(sim().posted()[0].wParam, WPARAM{96u << 16});
}

TEST_F(AnimationTick, StepBeyondSixteenBitsIsSplitWithoutFlippingDirection)
{
    set()["scrollDistanceUp"] = 100;
    set()["scrollDistanceDown"] = 100;
    const HWND app = addApp();
    begin(app, 120000, 120);
    EXPECT_EQ(runAnimation(), 1);
    EXPECT_EQ(postedDeltas(), (std::vector<int>{32767, 32767, 32767, 21699}));

    sim().clearPosted();
    begin(app, -70000, -120);
    EXPECT_EQ(runAnimation(), 1);
    EXPECT_EQ(postedDeltas(), (std::vector<int>{-32767, -32767, -4466}));
}

TEST_F(AnimationTick, SetRemovedWhileRunningFinishesWithDefaultThenBuiltInPercentage)
{
    const HWND app = addApp();
    set("app.exe")["scrollDistanceUp"] = 4;
    set()["scrollDistanceUp"] = 100;
    begin(app, 1200, 120);
    S::s_currentParamSet = "app.exe";
    runAnimation(1);
    config()["parameters"].erase("app.exe");
    EXPECT_EQ(runAnimation(), 1);
    EXPECT_EQ(postedDeltas(), (std::vector<int>{96, 1104}));

    // With `default` unusable too, the built-in 4 percent carries it to its end.
    sim().clearPosted();
    set()["scrollDistanceUp"] = "fast";
    begin(app, 1200, 120);
    const nlohmann::json before = config();
    EXPECT_EQ(runAnimation(), 67);
    EXPECT_EQ(postedDeltas().front(), 96);
    EXPECT_EQ(postedSum(), 1200);
    EXPECT_EQ(sharedConfig(), before);
}

TEST_F(AnimationTick, RefusedPostStopsTheAnimationAndIsLoggedOnce)
{
    const HWND app = addApp();
    sim().failPostTo(app, ERROR_ACCESS_DENIED);
    begin(app, 1200, 120);
    EXPECT_EQ(runAnimation(), 1);
    EXPECT_FALSE(S::s_isAnimating);
    EXPECT_FALSE(timerRunning());
    EXPECT_EQ(sim().postAttempts(), 1);
    EXPECT_EQ(S::s_refusedProcesses.size(), 1u);
    const std::vector<std::string> lines = logLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(logTypes(), std::vector<QtMsgType>{QtInfoMsg});
}

TEST_F(AnimationTick, OtherPostFailuresAreIgnoredAndCountAsDelivered)
{
    const HWND app = addApp();
    sim().failPostTo(app, ERROR_NOT_ENOUGH_QUOTA);
    begin(app, 1200, 120);
    EXPECT_EQ(runAnimation(), 67);
    EXPECT_TRUE(sim().posted().empty());
    EXPECT_EQ(S::s_refusedProcesses.size(), 0u);
    EXPECT_TRUE(logLines().empty());
}

TEST_F(AnimationTick, TickToleratesAnyState)
{
    const HWND app = addApp();
    const std::vector<std::pair<int, float>> states = {
        {0, 0.0f}, {1, 1.0f}, {std::numeric_limits<int>::min(), 0.0f},
        {std::numeric_limits<int>::max(), 2.0e9f}, {5, std::nanf("")}, {-5, 1.0e30f}};
    for (const auto &state : states) {
        begin(app, state.first, state.first);
        S::s_scrolledSoFar = state.second;
        set()["scrollDistanceUp"] = 100;
        set()["scrollDistanceDown"] = 100;
        EXPECT_LE(runAnimation(1000), 999) << state.first;
        EXPECT_FALSE(timerRunning());
    }
    // Ticks delivered to no window or with a vanished target do not fail either.
    S::s_isAnimating = true;
    S::s_targetHwnd = reinterpret_cast<HWND>(0x7777);
    S::onAnimationTick(nullptr);
    EXPECT_FALSE(S::s_isAnimating);
}

} // namespace
