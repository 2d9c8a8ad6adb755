// The animation tick against the simulated desktop: the clocks, the messages the user's
// applications receive, and what the tick does when the world changes under it. The series
// themselves are the plain functions' (arithmetic_test.cpp).
#include "engine_test_support.h"

#include "config/config_document.h"
#include "engine/animation_clock.h"

#include <cmath>
#include <limits>

namespace {

using S = SmoothScroller;

class AnimationTick : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_app = addApp();
    }
    HWND m_app = nullptr;
};

TEST_F(AnimationTick, OneNotchPostsItsSeriesFirstStepAtOnce)
{
    const POINT pt{-300, 450};
    sim().overrideWindowFromPoint(m_app);
    wheel(120, pt);
    // The first step waits for nothing: the hook takes it.
    EXPECT_EQ(postedDeltas(), std::vector<int>{96});
    EXPECT_EQ(runAnimation(), 66);
    EXPECT_EQ(postedSum(), 1200);
    EXPECT_FALSE(vertical().isAnimating);
    EXPECT_EQ(vertical().activeTimerId, 0u);
    EXPECT_FALSE(timerRunning());
    for (const SimDesktop::PostedMessage &m : sim().posted()) {
        EXPECT_EQ(m.hwnd, m_app);
        EXPECT_EQ(m.message, UINT{WM_MOUSEWHEEL});
        EXPECT_EQ(m.wParam & 0xFFFF, 0u);
        EXPECT_EQ(m.wParam >> 32, 0u);
        EXPECT_EQ(m.lParam, LPARAM{0x01C2FED4}); // (-300, 450) cut to 16 bits each
    }
}

TEST_F(AnimationTick, TicksComeAtTheIntervalTheUserSetDownToOneMillisecond)
{
    for (UINT interval : {5u, 1u, 12u}) {
        set()["rapidIntervalUp"] = interval;
        sim().clearPosted();
        wheel(120);
        EXPECT_EQ(sim().raisedTimerResolution(), 1u);
        sim().advanceTime(10 * interval);
        EXPECT_EQ(postedDeltas().size(), 11u) << interval; // the first at once, ten on time
        sim().advanceTime(56 * interval);
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
    EXPECT_EQ(postedDeltas().size(), 11u);
}

TEST_F(AnimationTick, StalledThreadFindsOneTickWaitingNotABurst)
{
    wheel(120);
    const std::vector<SimDesktop::MultimediaTimer> clock = sim().multimediaTimers();
    ASSERT_EQ(clock.size(), 1u);
    for (int i = 0; i < 5; ++i) // the timer thread keeps beating while the engine's thread is busy
        clock[0].callback(clock[0].id, 0, clock[0].user, 0, 0);
    EXPECT_EQ(sim().queuedMessageCount(), 1u);
    EXPECT_EQ(sim().pumpMessages(), 1);
    EXPECT_EQ(postedDeltas(), (std::vector<int>{96, 88}));
    clock[0].callback(clock[0].id, 0, clock[0].user, 0, 0);
    EXPECT_EQ(sim().queuedMessageCount(), 1u);
}

TEST_F(AnimationTick, ReversedAnimationStartsOverAtOnce)
{
    wheel(120);
    wheel(-240);
    EXPECT_EQ(postedDeltas(), (std::vector<int>{96, -192}));
}

TEST_F(AnimationTick, TickWithoutAnimationKillsTheTimerAndPostsNothing)
{
    wheel(120);
    sim().pumpMessages();
    sim().clearPosted();
    S::s_vertical.isAnimating = false;
    EXPECT_EQ(runAnimation(), 1);
    EXPECT_TRUE(sim().posted().empty());
    EXPECT_FALSE(timerRunning());
    EXPECT_EQ(vertical().activeTimerId, 0u);

    // Also when the engine has lost the timer's identifier.
    SetTimer(m_hidden, S::kAnimationTimerId, 5, nullptr);
    EXPECT_TRUE(sim().fireTimer(m_hidden, S::kAnimationTimerId));
    EXPECT_FALSE(timerRunning());
    EXPECT_TRUE(sim().posted().empty());
}

TEST_F(AnimationTick, TargetHiddenOrDestroyedMidwayStopsWithoutPosting)
{
    wheel(120);
    EXPECT_EQ(runAnimation(9), 9);
    sim().setWindowVisible(m_app, false);
    EXPECT_EQ(runAnimation(), 1);
    EXPECT_EQ(postedDeltas().size(), 10u);
    EXPECT_FALSE(vertical().isAnimating);

    sim().setWindowVisible(m_app, true);
    sim().clearPosted();
    wheel(120);
    EXPECT_EQ(runAnimation(2), 2);
    DestroyWindow(m_app);
    EXPECT_EQ(runAnimation(), 1);
    EXPECT_EQ(postedDeltas().size(), 3u);
}

TEST_F(AnimationTick, ModifierDownAtATickEndsTheAnimationInsteadOfPosting)
{
    // Steps with Ctrl held would zoom, with Shift scroll sideways: the rest is dropped.
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        sim().clearPosted();
        wheel(120);
        runAnimation(1);
        sim().setKeyDown(key, true);
        EXPECT_EQ(runAnimation(), 1) << key;
        sim().setKeyDown(key, false);
        EXPECT_EQ(postedDeltas(), (std::vector<int>{96, 88})) << key;
        EXPECT_FALSE(vertical().isAnimating) << key;
        EXPECT_FALSE(timerRunning()) << key;
    }
    // A posting tick asks Shift, Ctrl and Alt, then composes the step's key flags asking
    // Ctrl first and Shift second; only the high bit means down.
    sim().setKeyStateRaw(VK_CONTROL, 1);
    wheel(120);
    sim().clearPosted();
    sim().clearKeyQueries();
    EXPECT_EQ(runAnimation(1), 1);
    EXPECT_EQ(sim().keyQueries(),
              (std::vector<int>{VK_SHIFT, VK_CONTROL, VK_MENU, VK_CONTROL, VK_SHIFT}));
    ASSERT_EQ(sim().posted().size(), 1u);
    EXPECT_EQ(sim().posted()[0].wParam, WPARAM{88u << 16});
}

TEST_F(AnimationTick, StepBeyondSixteenBitsIsSplitWithoutFlippingDirection)
{
    set()["scrollDistanceUp"] = 100;
    set()["scrollDistanceDown"] = 100;
    set()["accelUp"] = 1000;
    set()["accelDown"] = 500;
    wheel(120);
    EXPECT_EQ(postedDeltas(), (std::vector<int>{32767, 32767, 32767, 21699}));

    sim().clearPosted();
    tilt(-240);
    EXPECT_EQ(postedDeltas(WM_MOUSEHWHEEL), (std::vector<int>{-32767, -32767, -32767, -21699}));
    EXPECT_FALSE(timerRunning()); // the first step finished both
}

TEST_F(AnimationTick, AWheelSpunFreelyStillPostsExactlyItsTarget)
{
    // A notch every other tick, 151 of them: one glide of 181,200 units over some 600 ticks,
    // along which the float sums of progress and pending fraction drift apart by a unit.
    for (int notch = 0; notch < 151; ++notch) {
        wheel(120);
        sim().advanceTime(10);
    }
    runAnimation();
    EXPECT_EQ(postedSum(), 151 * 1200);
    EXPECT_FALSE(vertical().isAnimating);
}

TEST_F(AnimationTick, SetRemovedWhileRunningFinishesWithDefaultThenBuiltInPercentage)
{
    set("app.exe")["scrollDistanceUp"] = 4;
    set()["scrollDistanceUp"] = 100;
    wheel(120);
    config()["parameters"].erase("app.exe");
    EXPECT_EQ(runAnimation(), 1);
    EXPECT_EQ(postedDeltas(), (std::vector<int>{96, 1104}));

    // With `default` unusable too, the built-in 4 percent carries it to its end.
    sim().clearPosted();
    set()["scrollDistanceUp"] = "fast";
    const nlohmann::json before = config();
    wheel(120);
    EXPECT_EQ(runAnimation(), 66);
    EXPECT_EQ(postedDeltas().front(), 96);
    EXPECT_EQ(postedSum(), 1200);
    EXPECT_EQ(sharedConfig(), before);
}

TEST_F(AnimationTick, RefusedPostStopsTheAnimationAndIsLoggedOnceOtherFailuresCountAsDelivered)
{
    sim().failPostTo(m_app, ERROR_NOT_ENOUGH_QUOTA);
    wheel(120);
    EXPECT_EQ(runAnimation(), 66);
    EXPECT_TRUE(sim().posted().empty());
    EXPECT_EQ(S::s_refusedProcesses.size(), 0u);

    sim().failPostTo(m_app, ERROR_ACCESS_DENIED);
    const int attempts = sim().postAttempts();
    wheel(120); // refused at its first step
    EXPECT_EQ(runAnimation(), 0);
    EXPECT_FALSE(vertical().isAnimating);
    EXPECT_FALSE(timerRunning());
    EXPECT_EQ(sim().postAttempts() - attempts, 1);
    EXPECT_EQ(S::s_refusedProcesses.size(), 1u);
    int refusals = 0;
    for (const std::string &line : logLines())
        refusals += line.find("refused") != std::string::npos;
    EXPECT_EQ(refusals, 1);
}

TEST_F(AnimationTick, TickToleratesAnyState)
{
    const std::vector<std::pair<int, float>> states = {
        {0, 0.0f}, {1, 1.0f}, {std::numeric_limits<int>::min(), 0.0f},
        {std::numeric_limits<int>::max(), 2.0e9f}, {5, std::nanf("")}, {-5, 1.0e30f}};
    for (const auto &state : states) {
        set()["scrollDistanceUp"] = 4;
        wheel(120);
        set()["scrollDistanceUp"] = 100;
        set()["scrollDistanceDown"] = 100;
        S::s_vertical.targetPos = state.first;
        S::s_vertical.scrolledSoFar = state.second;
        EXPECT_LE(runAnimation(1000), 999) << state.first;
        EXPECT_FALSE(timerRunning());
    }
    // Ticks delivered to no window or with a vanished target do not fail either.
    S::s_vertical.isAnimating = true;
    S::s_vertical.targetHwnd = reinterpret_cast<HWND>(0x7777);
    S::onAnimationTick(nullptr);
    EXPECT_FALSE(vertical().isAnimating);
}

} // namespace
