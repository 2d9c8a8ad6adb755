// The hidden window's procedure: what it does with timer, creation and destruction messages.
#include "host_test_support.h"

#include "config/config_document.h"
#include "engine/animation_clock.h"

#include <algorithm>
#include <numeric>

namespace {

class HiddenWindow : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        ASSERT_TRUE(m_scroller.start());
        m_hidden = SmoothScroller::s_hWnd;
        m_app = addAppWindow();
    }

    std::vector<int> postedDeltas() const
    {
        std::vector<int> deltas;
        for (const SimDesktop::PostedMessage &m : SimDesktop::instance().posted())
            deltas.push_back(GET_WHEEL_DELTA_WPARAM(m.wParam));
        return deltas;
    }

    SmoothScroller m_scroller;
    HWND m_hidden = nullptr;
    HWND m_app = nullptr;
};

TEST_F(HiddenWindow, OneNotchRunsToTheEndOnItsClockAlone)
{
    ASSERT_TRUE(notchOver(120).swallowed());
    ASSERT_EQ(sim().posted().size(), 1u); // the first step comes with the notch

    // Every later tick reaches the engine through the window procedure of the registered class.
    EXPECT_EQ(sim().runTimers(1000), 66);
    const std::vector<int> deltas = postedDeltas();
    ASSERT_EQ(deltas.size(), 67u);
    const std::vector<int> head(deltas.begin(), deltas.begin() + 5);
    EXPECT_EQ(head, (std::vector<int>{96, 88, 82, 74, 69}));
    EXPECT_EQ(deltas.back(), 1);
    EXPECT_EQ(std::accumulate(deltas.begin(), deltas.end(), 0), 1200);
    for (const SimDesktop::PostedMessage &m : sim().posted()) {
        EXPECT_EQ(m.hwnd, m_app);
        EXPECT_EQ(m.message, UINT(WM_MOUSEWHEEL));
        EXPECT_EQ(GET_KEYSTATE_WPARAM(m.wParam), 0);
        EXPECT_EQ(GET_X_LPARAM(m.lParam), 100);
        EXPECT_EQ(GET_Y_LPARAM(m.lParam), 200);
    }
    EXPECT_FALSE(SmoothScroller::s_vertical.isAnimating);
    EXPECT_FALSE(clockRunning());
}

TEST_F(HiddenWindow, APacedGlideWakesTheEngineThreadThroughItsFrameTimer)
{
    nlohmann::json document = initialConfig();
    setDisplayPaced(document, true);
    publishSharedConfig(document);
    ASSERT_TRUE(notchOver(120).swallowed());
    const int starts = sim().multimediaTimerStarts(); // the notch starts the interval's clock
    sim().advanceTime(1000);
    publishSharedConfig(initialConfig());

    // The display runs at 60 Hz: a step a frame over the 330 ms the ticks would take, each
    // frame waking the thread's loop, never a multimedia timer.
    const std::vector<int> deltas = postedDeltas();
    EXPECT_EQ(std::accumulate(deltas.begin(), deltas.end(), 0), 1200);
    EXPECT_GE(deltas.size(), 18u);
    EXPECT_LE(deltas.size(), 21u);
    EXPECT_EQ(sim().multimediaTimerStarts(), starts);
    EXPECT_EQ(sim().armedWaitableTimers(), 0);
    EXPECT_FALSE(clockRunning());
}

TEST_F(HiddenWindow, TicksGoToTheAnimationOfTheirClock)
{
    ASSERT_TRUE(notchOver(120).swallowed());
    ASSERT_TRUE(sim().injectWheel(-120, POINT{100, 200}, WM_MOUSEHWHEEL).swallowed());
    sim().clearPosted();
    for (UINT message : {UINT(WM_TIMER), kClockTickMessage})
        EXPECT_EQ(sim().sendMessage(m_hidden, message, 3, 0), 0);
    EXPECT_TRUE(sim().posted().empty());

    EXPECT_EQ(sim().sendMessage(m_hidden, WM_TIMER, SmoothScroller::kHorizontalTimerId, 0), 0);
    EXPECT_EQ(sim().sendMessage(m_hidden, kClockTickMessage, SmoothScroller::kAnimationTimerId, 0), 0);
    ASSERT_EQ(sim().posted().size(), 2u);
    EXPECT_EQ(sim().posted()[0].message, UINT(WM_MOUSEHWHEEL));
    EXPECT_EQ(postedDeltas(), (std::vector<int>{-88, 88}));
    EXPECT_TRUE(SmoothScroller::s_vertical.isAnimating);
    EXPECT_TRUE(SmoothScroller::s_horizontal.isAnimating);
}

TEST_F(HiddenWindow, WindowDestroyedUnderRunningAnimationsStopsThem)
{
    ASSERT_TRUE(notchOver(120).swallowed());
    ASSERT_TRUE(sim().injectWheel(120, POINT{100, 200}, WM_MOUSEHWHEEL).swallowed());
    const int killsBefore = sim().killTimerCalls();

    sim().destroyOnOwnerThread(m_hidden);

    EXPECT_EQ(sim().killTimerCalls() - killsBefore, 2);
    EXPECT_FALSE(SmoothScroller::s_vertical.isAnimating);
    EXPECT_FALSE(SmoothScroller::s_horizontal.isAnimating);
    EXPECT_EQ(SmoothScroller::s_vertical.activeTimerId, 0u);
    EXPECT_FALSE(clockRunning());
    const std::size_t posted = sim().posted().size();
    sim().runTimers(10);
    EXPECT_EQ(sim().posted().size(), posted);
}

} // namespace
