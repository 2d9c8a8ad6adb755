// The hidden window's procedure: what it does with timer, creation and destruction messages.
#include "host_test_support.h"

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

TEST_F(HiddenWindow, OneNotchRunsToTheEndOnTimerMessagesAlone)
{
    ASSERT_TRUE(notchOver(120).swallowed());
    ASSERT_TRUE(sim().posted().empty());

    // Every WM_TIMER reaches the engine through the window procedure of the registered class.
    const int ticks = sim().runTimers(1000);

    EXPECT_EQ(ticks, 67);
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
    EXPECT_FALSE(SmoothScroller::s_isAnimating);
    EXPECT_FALSE(clockRunning());
}

TEST_F(HiddenWindow, OnlyTheAnimationTimerIdentifierMovesTheAnimation)
{
    ASSERT_TRUE(notchOver(120).swallowed());

    EXPECT_EQ(sim().sendMessage(m_hidden, WM_TIMER, 2, 0), 0);
    EXPECT_EQ(SmoothScroller::HiddenWndProc(m_hidden, WM_TIMER, 2, 0), 0);
    EXPECT_TRUE(sim().posted().empty());
    EXPECT_EQ(SmoothScroller::s_scrolledSoFar, 0.0f);
    EXPECT_TRUE(SmoothScroller::s_isAnimating);

    EXPECT_EQ(sim().sendMessage(m_hidden, WM_TIMER, SmoothScroller::kAnimationTimerId, 0), 0);
    EXPECT_EQ(postedDeltas(), std::vector<int>{96});
}

TEST_F(HiddenWindow, WindowDestroyedUnderARunningAnimationStopsIt)
{
    ASSERT_TRUE(notchOver(120).swallowed());
    ASSERT_TRUE(SmoothScroller::s_isAnimating);
    const int killsBefore = sim().killTimerCalls();

    DestroyWindow(m_hidden);

    EXPECT_EQ(sim().killTimerCalls() - killsBefore, 1);
    EXPECT_FALSE(SmoothScroller::s_isAnimating);
    EXPECT_EQ(SmoothScroller::s_activeTimerId, 0u);
    EXPECT_FALSE(clockRunning());
    EXPECT_TRUE(sim().posted().empty());
}

} // namespace
