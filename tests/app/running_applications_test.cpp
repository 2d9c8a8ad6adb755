// The applications the chooser of "+" offers, read from the simulated desktop's windows.
#include "app/running_applications.h"
#include "platform/sim_desktop.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

class RunningApplications : public ::testing::Test {
protected:
    void SetUp() override { sim().reset(); }
    static SimDesktop &sim() { return SimDesktop::instance(); }

    // A visible, titled, unowned top-level window of a new process running imagePath.
    static HWND addApp(const std::wstring &imagePath, const std::wstring &title, DWORD *pid = nullptr)
    {
        const DWORD process = sim().addProcess(imagePath);
        if (pid)
            *pid = process;
        return addWindow(process, title);
    }
    static HWND addWindow(DWORD pid, const std::wstring &title)
    {
        const HWND hwnd = sim().addWindow(pid, {0, 0, 800, 600});
        sim().setWindowTitle(hwnd, title);
        return hwnd;
    }
    static QStringList names(const std::vector<RunningApplication> &applications)
    {
        QStringList result;
        for (const RunningApplication &application : applications)
            result << application.name;
        return result;
    }
};

int messagesTo = 0;
LRESULT CALLBACK countingProc(HWND, UINT, WPARAM, LPARAM)
{
    ++messagesTo;
    return 0;
}

TEST_F(RunningApplications, OneEntryPerNameSortedWithoutCaseAndOnlyWindowsTheUserSees)
{
    DWORD notepad = 0;
    addApp(L"C:\\Windows\\notepad.exe", L"Untitled - Notepad", &notepad);
    addWindow(notepad, L"Second - Notepad"); // above the first: its title is shown
    addApp(L"D:\\Tools\\Zed.exe", L"zed");
    addApp(L"C:\\Apps\\alpha.exe", L"alpha");
    addApp(L"C:\\Apps\\Beta.exe", L"beta");
    // A second process of a name already listed adds nothing.
    addApp(L"C:\\Other\\Beta.exe", L"beta again");

    // Left out: hidden, cloaked, untitled, owned, tool windows.
    sim().setWindowVisible(addApp(L"C:\\x\\hidden.exe", L"hidden"), false);
    sim().setWindowCloaked(addApp(L"C:\\x\\cloaked.exe", L"other desktop"), DWM_CLOAKED_SHELL);
    addApp(L"C:\\x\\untitled.exe", L"");
    const HWND owner = addApp(L"C:\\x\\Owner.exe", L"owner");
    DWORD ownedPid = 0;
    sim().setWindowOwner(addApp(L"C:\\x\\owned.exe", L"owned", &ownedPid), owner);
    sim().setWindowExStyle(addApp(L"C:\\x\\tool.exe", L"tool"), WS_EX_TOOLWINDOW);
    // An owned window or a tool window asking for a taskbar button is listed.
    const HWND appWindow = addApp(L"C:\\x\\Palette.exe", L"palette");
    sim().setWindowOwner(appWindow, owner);
    sim().setWindowExStyle(appWindow, WS_EX_APPWINDOW | WS_EX_TOOLWINDOW);
    // Left out: ourselves, the frame host, the system's fixed exclusions, unreadable names.
    addWindow(SimDesktop::kSelfPid, L"Sorvella");
    sim().addProcess(L"C:\\Program Files\\Sorvella\\Sorvella.exe", true, SimDesktop::kSelfPid);
    addApp(L"C:\\Windows\\System32\\ApplicationFrameHost.exe", L"host");
    addApp(L"C:\\Windows\\SystemApps\\SearchHost.exe", L"Search");
    DWORD locked = 0;
    addApp(L"C:\\x\\locked.exe", L"locked", &locked);
    sim().setProcessOpenable(locked, false);

    const std::vector<RunningApplication> listed = runningApplications();
    EXPECT_EQ(names(listed), QStringList({"alpha.exe", "Beta.exe", "notepad.exe", "Owner.exe", "Palette.exe", "Zed.exe"}));
    ASSERT_EQ(listed.size(), 6u);
    EXPECT_EQ(listed[1].title, QString("beta again")); // the topmost window of the name
    EXPECT_EQ(listed[2].title, QString("Second - Notepad"));
    EXPECT_EQ(listed[2].imagePath, QString("C:\\Windows\\notepad.exe"));
    EXPECT_FALSE(listed[2].elevated);
    EXPECT_EQ(sim().openHandleCount(), 0);
}

TEST_F(RunningApplications, HigherRightsAreMarkedAndOddNamesHungWindowsAndManyWindowsAreListed)
{
    DWORD admin = 0;
    addApp(L"C:\\Admin\\regedit.exe", L"Registry Editor", &admin);
    sim().setProcessIntegrity(admin, SECURITY_MANDATORY_HIGH_RID);
    const std::wstring longName = L"记事本" + std::wstring(200, L'長') + L".exe";
    const std::wstring longTitle = L"Ünïcödé " + std::wstring(2000, L'題');
    addApp(L"C:\\Apps\\" + longName, longTitle);
    // A window that does not answer: nothing is sent to it, so it cannot hold the list.
    const HWND hung = sim().addWindow(sim().addProcess(L"C:\\Apps\\hung.exe"), {0, 0, 10, 10}, true, countingProc);
    sim().setWindowTitle(hung, L"Not responding");
    for (int i = 0; i < 300; ++i)
        addApp(L"C:\\Many\\app" + std::to_wstring(i % 150) + L".exe", L"window " + std::to_wstring(i));

    messagesTo = 0;
    const std::vector<RunningApplication> listed = runningApplications();
    EXPECT_EQ(messagesTo, 0);
    ASSERT_EQ(listed.size(), 153u);
    const auto find = [&listed](const QString &name) {
        for (const RunningApplication &application : listed) {
            if (application.name == name)
                return application;
        }
        return RunningApplication{};
    };
    EXPECT_TRUE(find("regedit.exe").elevated);
    EXPECT_EQ(find("hung.exe").title, QString("Not responding"));
    const RunningApplication odd = find(QString::fromStdWString(longName));
    EXPECT_EQ(odd.name.size(), int(longName.size()));
    EXPECT_TRUE(QString::fromStdWString(longTitle).startsWith(odd.title));
    EXPECT_GE(odd.title.size(), 500);
}

TEST_F(RunningApplications, StoreAppsGoByTheirContentAndFramesWithoutContentAreLeftOut)
{
    const DWORD host = sim().addProcess(L"C:\\Windows\\System32\\ApplicationFrameHost.exe");
    const auto addFrame = [&](const std::wstring &title, DWORD content) {
        const HWND frame = addWindow(host, title);
        sim().setWindowClass(frame, L"ApplicationFrameWindow");
        if (content)
            sim().addChildWindow(frame, L"Windows.UI.Core.CoreWindow", {0, 32, 800, 600}, content);
        sim().addChildWindow(frame, L"ApplicationFrameTitleBarWindow", {0, 0, 800, 32});
        sim().addChildWindow(frame, L"ApplicationFrameInputSinkWindow", {0, 32, 800, 600});
        return frame;
    };
    addFrame(L"Calculator", sim().addProcess(L"C:\\Program Files\\WindowsApps\\Calc\\CalculatorApp.exe"));
    addFrame(L"Starting", 0);
    sim().setWindowCloaked(addFrame(L"Suspended", sim().addProcess(L"C:\\Program Files\\WindowsApps\\P\\Photos.exe")),
                           DWM_CLOAKED_SHELL);
    addFrame(L"Settings", sim().addProcess(L"C:\\Windows\\ImmersiveControlPanel\\SystemSettings.exe"));

    const std::vector<RunningApplication> listed = runningApplications();
    ASSERT_EQ(names(listed), QStringList({"CalculatorApp.exe"}));
    EXPECT_EQ(listed[0].title, QString("Calculator"));
    EXPECT_EQ(listed[0].imagePath, QString("C:\\Program Files\\WindowsApps\\Calc\\CalculatorApp.exe"));
}

} // namespace
