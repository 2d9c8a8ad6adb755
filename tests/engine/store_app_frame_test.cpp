// A Store app's frame belongs to ApplicationFrameHost.exe, its content to the app: the set and
// the exclusion go by the app's name wherever the cursor is inside the frame.
#include "engine_test_support.h"

namespace {

class StoreAppFrame : public EngineTest {
protected:
    // A frame of the frame host at (0,0)-(1000,800): its content (a process of its own,
    // lowest), then the host's title bar along the top and its input sink over the top of
    // the content. Returns the content's process.
    DWORD addFrame(const std::wstring &contentImage, bool withContent = true)
    {
        if (!m_host)
            m_host = sim().addProcess(L"C:\\Windows\\System32\\ApplicationFrameHost.exe");
        const HWND frame = sim().addWindow(m_host, {0, 0, 1000, 800});
        sim().setWindowClass(frame, L"ApplicationFrameWindow");
        DWORD content = 0;
        if (withContent) {
            content = sim().addProcess(contentImage);
            sim().addChildWindow(frame, L"Windows.UI.Core.CoreWindow", {0, 40, 1000, 800}, content);
        }
        sim().addChildWindow(frame, L"ApplicationFrameTitleBarWindow", {0, 0, 1000, 40});
        sim().addChildWindow(frame, L"ApplicationFrameInputSinkWindow", {0, 40, 1000, 120});
        return content;
    }

    static constexpr POINT kTitleBar = {500, 20};
    static constexpr POINT kInputSink = {500, 80};
    static constexpr POINT kContent = {500, 400};
    DWORD m_host = 0;
};

TEST_F(StoreAppFrame, TheAppsOwnSetAppliesOverTitleBarInputSinkAndContent)
{
    addFrame(L"C:\\Program Files\\WindowsApps\\Microsoft.WindowsCalculator\\CalculatorApp.exe");
    // A set under the host's name no longer reaches the app.
    set("ApplicationFrameHost.exe")["accelUp"] = 3;
    for (POINT pt : {kTitleBar, kInputSink, kContent}) {
        wheel(120, pt);
        EXPECT_EQ(vertical().paramSet, "default") << pt.y;
    }
    EXPECT_EQ(logLines("process name"), std::vector<std::string>(3, "process name ->  CalculatorApp.exe"));

    set("CalculatorApp.exe")["smoothScrollEnabled"] = false;
    for (POINT pt : {kTitleBar, kInputSink, kContent}) {
        EXPECT_TRUE(wheel(120, pt).passedOn()) << pt.y;
        EXPECT_EQ(vertical().paramSet, "CalculatorApp.exe") << pt.y;
    }
}

TEST_F(StoreAppFrame, ExclusionGoesByTheAppAndTheOtherChecksByTheWindowUnderTheCursor)
{
    // Settings is never animated, over its frame's title bar as over its content.
    addFrame(L"C:\\Windows\\ImmersiveControlPanel\\SystemSettings.exe");
    EXPECT_TRUE(wheel(120, kTitleBar).passedOn());
    EXPECT_TRUE(wheel(120, kContent).passedOn());

    // Content with higher rights drops our steps; the host's title bar above it takes them.
    const DWORD elevated = addFrame(L"C:\\Program Files\\WindowsApps\\Admin\\Tool.exe");
    sim().setProcessIntegrity(elevated, SECURITY_MANDATORY_HIGH_RID);
    EXPECT_TRUE(wheel(120, kContent).passedOn());
    EXPECT_TRUE(wheel(120, kTitleBar).swallowed());
    EXPECT_EQ(vertical().paramSet, "default");
    EXPECT_TRUE(logged("process name ->  Tool.exe"));
}

TEST_F(StoreAppFrame, AFrameWithoutContentGoesByTheHostsName)
{
    set("ApplicationFrameHost.exe")["smoothScrollEnabled"] = false;
    addFrame(L"", false);
    EXPECT_TRUE(wheel(120, kTitleBar).passedOn());
    EXPECT_EQ(vertical().paramSet, "ApplicationFrameHost.exe");

    // A window of another class is no frame, whatever its children.
    const HWND plain = addApp(L"C:\\Apps\\Host.exe");
    sim().addChildWindow(plain, L"Child", {0, 0, 1000, 800}, sim().addProcess(L"C:\\Apps\\Guest.exe"));
    set("Host.exe")["smoothScrollEnabled"] = false;
    sim().addChildWindow(plain, L"Bar", {0, 0, 1000, 40});
    EXPECT_TRUE(wheel(120, kTitleBar).passedOn());
    EXPECT_EQ(vertical().paramSet, "Host.exe");
}

} // namespace
