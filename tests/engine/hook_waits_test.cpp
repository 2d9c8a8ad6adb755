// Windows gives a low-level hook a second at most for each mouse event, the cursor waiting
// meanwhile. No hook call may wait on anything outside the engine: it starts and joins no
// thread and asks neither the display nor the compositor, on every way a notch or a button
// takes, with the compositor's clock of Windows 11 pacing the glides, and writes no log line.
#include "engine_test_support.h"

#include "config/config_document.h"
#include "engine/compositor_clock_thread.h"
#include "engine/frame_clock.h"

#include <atomic>
#include <functional>
#include <thread>

namespace {

using S = SmoothScroller;

class HookWaits : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        setDisplayPaced(config(), true);
        publish();
        refreshFrameGrid(); // as the engine does when it starts
        useCompositorClock();
    }

    // What a hook call may not do, counted over the whole desktop (display queries, threads)
    // or on the hook's own thread (compositor waits).
    struct Waits {
        long long displayQueries, compositorWaits, monitorQueries;
        int threadStarts, threadJoins;
    };
    static Waits waits()
    {
        return {sim().displayQueries(), sim().compositorWaitsOf(sim().hookOwnerThread()), sim().monitorQueries(),
                CompositorClockThread::threadStarts(), CompositorClockThread::threadJoins()};
    }

    static SimDesktop::HookOutcome checked(const char *path, const std::function<SimDesktop::HookOutcome()> &call)
    {
        const Waits before = waits();
        s_hookThread = std::this_thread::get_id();
        s_linesOnHookThread = 0;
        const QtMessageHandler previous = qInstallMessageHandler(countOnHookThread);
        const SimDesktop::HookOutcome outcome = call();
        qInstallMessageHandler(previous);
        const Waits after = waits();
        EXPECT_EQ(after.threadStarts, before.threadStarts) << path << ": a thread started inside the hook";
        EXPECT_EQ(after.threadJoins, before.threadJoins) << path << ": a thread joined inside the hook";
        EXPECT_EQ(after.displayQueries, before.displayQueries) << path << ": the display or the compositor asked";
        EXPECT_EQ(after.compositorWaits, before.compositorWaits) << path << ": the hook waited for a frame";
        // The fullscreen check asks for the window's own monitor, as a window moves between
        // monitors without notice; nothing else in the hook asks for one.
        EXPECT_LE(after.monitorQueries - before.monitorQueries, 2) << path;
        // Nor does it write a log line: the message log can wait on a debug monitor.
        EXPECT_EQ(s_linesOnHookThread.load(), 0) << path << ": a log line written inside the hook";
        return outcome;
    }
    static void countOnHookThread(QtMsgType, const QMessageLogContext &, const QString &)
    {
        if (std::this_thread::get_id() == s_hookThread)
            ++s_linesOnHookThread;
    }
    static inline std::thread::id s_hookThread;
    static inline std::atomic<int> s_linesOnHookThread{0};

    // A frame or two of the glide, delivered by the helper thread.
    static void frames() { sim().advanceTime(20); }
};

TEST_F(HookWaits, NoHookCallStartsOrJoinsAThreadOrAsksTheDisplayOnAnyPath)
{
    addApp();
    const HWND other = sim().addWindow(sim().addProcess(L"C:\\x\\other.exe"), {1200, 0, 1800, 800});
    const POINT overOther{1300, 100};
    const int startsBefore = CompositorClockThread::threadStarts();

    EXPECT_TRUE(checked("start", [] { return wheel(120); }).swallowed());
    frames();
    EXPECT_TRUE(checked("extend", [] { return wheel(120); }).swallowed());
    frames();
    EXPECT_TRUE(checked("settle", [] { return wheel(-120); }).swallowed());
    EXPECT_EQ(runAnimation(), 1);
    EXPECT_FALSE(timerRunning());

    checked("start", [] { return wheel(120); });
    frames();
    checked("reverse", [] { return wheel(-240); });
    frames();
    checked("the other axis", [] { return tilt(120); });
    frames();
    checked("retarget", [&] { return wheel(120, overOther); });
    EXPECT_EQ(vertical().targetHwnd, other);
    frames();
    EXPECT_TRUE(checked("stop by a button", [] { return mouse(WM_LBUTTONDOWN); }).passedOn());
    EXPECT_FALSE(vertical().isAnimating || horizontal().isAnimating);

    checked("start", [] { return wheel(120); });
    frames();
    sim().setKeyDown(VK_CONTROL, true);
    EXPECT_TRUE(checked("stop by a modifier", [] { return wheel(120); }).passedOn());
    sim().setKeyDown(VK_CONTROL, false);
    EXPECT_FALSE(vertical().isAnimating);

    checked("start", [] { return wheel(120); });
    frames();
    EXPECT_TRUE(checked("stop by fine input", [] { return wheel(40); }).passedOn());
    EXPECT_FALSE(vertical().isAnimating);

    // The glides ran on the compositor's frames, from the one helper thread the engine started.
    EXPECT_GT(sim().compositorWaits(), 0);
    EXPECT_EQ(CompositorClockThread::threadStarts(), startsBefore);
    EXPECT_EQ(logLines("[SmoothScroller] Paced glides wake at each frame by the compositor's clock").size(), 1u);
    EXPECT_GT(postedSum(), 0);
    EXPECT_FALSE(timerRunning());
}

} // namespace
