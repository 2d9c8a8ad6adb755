// The hook keeps what it learns of a window per handle: an entry holds only while the same
// window of the same thread and process lies under the same root, a Store frame's content is
// looked for until it is there, and every entry is taken afresh after a short age.
#include "engine_test_support.h"

namespace {

using S = SmoothScroller;

class WindowCacheTest : public EngineTest {
protected:
    // A notch over `pt`, its glide run to its end: the set it chose and the distance it took.
    static std::pair<std::string, int> notch(POINT pt = kCursor)
    {
        const bool swallowed = wheel(120, pt).swallowed();
        const int target = swallowed ? vertical().targetPos : 0;
        runAnimation();
        return {vertical().paramSet, target};
    }
};

TEST_F(WindowCacheTest, AnEntryHoldsForTheSameWindowOfTheSameProcessOnly)
{
    set("a.exe")["accelUp"] = 2;
    set("b.exe")["accelUp"] = 3;
    set("c.exe")["accelUp"] = 4;
    const HWND window = sim().addWindow(sim().addProcess(L"C:\\x\\a.exe"), {0, 0, 1000, 800});
    EXPECT_EQ(notch(), std::make_pair(std::string("a.exe"), 240));
    // The next notch over it opens no process.
    const int opened = sim().openedHandleTotal();
    EXPECT_EQ(notch(), std::make_pair(std::string("a.exe"), 240));
    EXPECT_EQ(sim().openedHandleTotal(), opened);

    // Destroyed, and its handle given to a window of another process.
    DestroyWindow(window);
    const DWORD b = sim().addProcess(L"C:\\x\\b.exe");
    ASSERT_EQ(sim().addWindowReusing(window, b, {0, 0, 1000, 800}), window);
    EXPECT_EQ(notch(), std::make_pair(std::string("b.exe"), 360));
    // Its process ends while the entry is kept; a new process gets its pid, and the handle again.
    sim().endProcess(b);
    ASSERT_EQ(sim().addWindowReusing(window, sim().addProcess(L"C:\\x\\c.exe", true, b), {0, 0, 1000, 800}), window);
    EXPECT_EQ(notch(), std::make_pair(std::string("c.exe"), 480));

    // However well the checks hold, an entry is taken afresh once it is old.
    notch();
    const int before = sim().openedHandleTotal();
    sim().advanceTime(WindowCache::kMostAgeMs);
    notch();
    EXPECT_EQ(sim().openedHandleTotal(), before + 1);
}

TEST_F(WindowCacheTest, ANewRootOrAFramesLateContentIsSeenAtTheNextNotch)
{
    // A browser moves a tab from a fullscreen window to an ordinary one: fullscreen windows keep
    // the raw notch, the ordinary one has it smoothed.
    const DWORD browser = sim().addProcess(L"C:\\x\\browser.exe");
    const HWND ordinary = sim().addWindow(browser, {0, 0, 1000, 800});
    const HWND fullscreen = sim().addWindow(browser, {0, 0, 1920, 1080});
    const HWND tab = sim().addChildWindow(fullscreen, L"Chrome_RenderWidgetHostHWND", {0, 0, 1000, 800});
    ASSERT_EQ(WindowFromPoint(kCursor), tab);
    EXPECT_TRUE(wheel(120).passedOn());
    sim().setWindowParent(tab, ordinary);
    sim().setWindowRect(fullscreen, {1920, 0, 3840, 1080});
    ASSERT_EQ(WindowFromPoint(kCursor), tab);
    EXPECT_TRUE(wheel(120).swallowed());
    runAnimation();
    sim().endProcess(browser);

    // A Store app's frame goes by the host's name until its content attaches, then by the app's.
    set("ApplicationFrameHost.exe")["smoothScrollEnabled"] = false;
    const HWND frame = sim().addWindow(sim().addProcess(L"C:\\Windows\\System32\\ApplicationFrameHost.exe"),
                                       {0, 0, 1000, 800});
    sim().setWindowClass(frame, L"ApplicationFrameWindow");
    sim().addChildWindow(frame, L"ApplicationFrameTitleBarWindow", {0, 0, 1000, 40});
    const POINT titleBar{500, 20};
    EXPECT_EQ(notch(titleBar), std::make_pair(std::string("ApplicationFrameHost.exe"), 0));
    sim().addChildWindow(frame, L"Windows.UI.Core.CoreWindow", {0, 40, 1000, 800},
                         sim().addProcess(L"C:\\Program Files\\WindowsApps\\Calc\\CalculatorApp.exe"));
    EXPECT_EQ(notch(titleBar), std::make_pair(std::string("default"), 1200));
    EXPECT_EQ(logLines("process name").back(), "process name ->  CalculatorApp.exe");
}

} // namespace
