// The simulated desktop must behave as Windows does where the program relies on it;
// otherwise engine tests would pass against a model that real Windows contradicts.
#include "platform/sim_desktop.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

SimDesktop &desk() { return SimDesktop::instance(); }

std::vector<UINT> g_procLog;
bool g_isWindowDuringDestroy = false;
bool g_killDuringDestroy = false;

LRESULT CALLBACK recordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    g_procLog.push_back(msg);
    if (msg == WM_DESTROY) {
        g_isWindowDuringDestroy = IsWindow(hwnd) != FALSE;
        g_killDuringDestroy = KillTimer(hwnd, 1) != FALSE;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK refusingCreateProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE)
        return -1;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int g_swallowCalls = 0;
LRESULT CALLBACK swallowingHook(int, WPARAM, LPARAM) { ++g_swallowCalls; return 1; }

int g_passCalls = 0;
DWORD g_seenMouseData = 0;
LRESULT CALLBACK passingHook(int code, WPARAM wParam, LPARAM lParam)
{
    ++g_passCalls;
    g_seenMouseData = reinterpret_cast<MSLLHOOKSTRUCT *>(lParam)->mouseData;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

const wchar_t kClass[] = L"TestClass";

class SimDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        desk().reset();
        g_procLog.clear();
        g_swallowCalls = g_passCalls = 0;
    }

    HWND createWindow(WNDPROC proc, HWND parent = nullptr, const wchar_t *className = kClass)
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        if (!GetClassInfoW(wc.hInstance, className, &wc)) {
            EXPECT_NE(RegisterClassW(&wc), 0);
        }
        return CreateWindowExW(0, className, L"t", 0, 0, 0, 0, 0, parent, nullptr, wc.hInstance, nullptr);
    }
};

TEST_F(SimDesktopTest, DestroyWindowDeliversDestroyWhileTheWindowStillExists)
{
    HWND hwnd = createWindow(recordingProc);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_NE(SetTimer(hwnd, 1, 5, nullptr), 0u);
    EXPECT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(g_isWindowDuringDestroy);
    EXPECT_TRUE(g_killDuringDestroy);
    EXPECT_EQ(g_procLog, (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
    // A second destroy fails as it does on Windows.
    EXPECT_FALSE(DestroyWindow(hwnd));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(desk().timerCount(), 0);
}

TEST_F(SimDesktopTest, ClassRegistrationAndWindowCreationFailures)
{
    // No class yet: creation fails.
    EXPECT_EQ(CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));

    WNDCLASSW wc{};
    wc.lpfnWndProc = recordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    EXPECT_FALSE(GetClassInfoW(wc.hInstance, kClass, &wc));
    EXPECT_NE(RegisterClassW(&wc), 0);
    EXPECT_EQ(RegisterClassW(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    WNDCLASSW out{};
    EXPECT_TRUE(GetClassInfoW(wc.hInstance, kClass, &out));
    EXPECT_EQ(out.lpfnWndProc, recordingProc);

    desk().failCreateMessageOnlyWindow(ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(createWindow(recordingProc, HWND_MESSAGE), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    HWND top = createWindow(recordingProc);
    EXPECT_NE(top, nullptr);

    // A procedure that answers WM_CREATE with -1 makes the creation fail.
    const int live = desk().liveWindowCount();
    EXPECT_EQ(createWindow(refusingCreateProc, nullptr, L"Refusing"), nullptr);
    EXPECT_EQ(desk().liveWindowCount(), live);
}

TEST_F(SimDesktopTest, MessageOnlyWindowsAreNeverUnderTheCursor)
{
    HWND messageOnly = createWindow(recordingProc, HWND_MESSAGE);
    ASSERT_NE(messageOnly, nullptr);
    EXPECT_TRUE(desk().isMessageOnly(messageOnly));
    EXPECT_FALSE(IsWindowVisible(messageOnly));
    ShowWindow(messageOnly, SW_SHOW);
    EXPECT_FALSE(IsWindowVisible(messageOnly));

    const DWORD pid = desk().addProcess(L"C:\\a.exe");
    HWND below = desk().addWindow(pid, {0, 0, 100, 100});
    HWND above = desk().addWindow(pid, {50, 50, 150, 150});
    EXPECT_EQ(WindowFromPoint({60, 60}), above);
    EXPECT_EQ(WindowFromPoint({10, 10}), below);
    EXPECT_EQ(WindowFromPoint({500, 500}), nullptr);
    desk().setWindowVisible(above, false);
    EXPECT_EQ(WindowFromPoint({60, 60}), below);
    desk().overrideWindowFromPoint(above);
    EXPECT_EQ(WindowFromPoint({500, 500}), above);
}

TEST_F(SimDesktopTest, TimersReplaceByWindowAndIdAndKillUnknownFailsQuietly)
{
    HWND hwnd = createWindow(recordingProc);
    EXPECT_EQ(SetTimer(hwnd, 1, 5, nullptr), 1u);
    EXPECT_EQ(SetTimer(hwnd, 1, 40, nullptr), 1u);
    EXPECT_EQ(desk().timerCount(), 1);
    EXPECT_EQ(desk().timer(hwnd, 1)->requestedInterval, 40u);
    EXPECT_EQ(SetTimer(hwnd, 2, 1, nullptr), 2u);
    EXPECT_EQ(desk().timer(hwnd, 2)->effectiveInterval, static_cast<UINT>(USER_TIMER_MINIMUM));

    EXPECT_FALSE(KillTimer(hwnd, 7));
    EXPECT_TRUE(KillTimer(hwnd, 2));
    EXPECT_FALSE(KillTimer(hwnd, 2));

    g_procLog.clear();
    EXPECT_EQ(desk().advanceTime(120), 3); // 40 ms timer: due at 40, 80, 120
    EXPECT_EQ(g_procLog, (std::vector<UINT>{WM_TIMER, WM_TIMER, WM_TIMER}));
    EXPECT_FALSE(desk().fireTimer(hwnd, 9));

    desk().failSetTimer(ERROR_NOT_ENOUGH_QUOTA);
    EXPECT_EQ(SetTimer(hwnd, 1, 5, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_QUOTA));
}

TEST_F(SimDesktopTest, AsyncKeyStateReportsDownInTheHighBitOnly)
{
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0);
    desk().setKeyDown(VK_SHIFT, true);
    EXPECT_NE(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
    EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
    desk().setKeyStateRaw(VK_CONTROL, 0x0001); // pressed since the last call, not down now
    EXPECT_EQ(GetAsyncKeyState(VK_CONTROL) & 0x8000, 0);
    EXPECT_EQ(desk().keyQueries(), (std::vector<int>{VK_SHIFT, VK_SHIFT, VK_SHIFT, VK_CONTROL}));
}

TEST_F(SimDesktopTest, ProcessImageNameQueryTakesCapacityAndGivesLength)
{
    const DWORD pid = desk().addProcess(L"C:\\Tools\\app.exe");
    HWND hwnd = desk().addWindow(pid, {0, 0, 10, 10});
    DWORD owner = 0;
    EXPECT_NE(GetWindowThreadProcessId(hwnd, &owner), 0u);
    EXPECT_EQ(owner, pid);

    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(desk().openHandleCount(), 1);
    wchar_t buffer[MAX_PATH];
    DWORD size = 5;
    EXPECT_FALSE(QueryFullProcessImageNameW(h, 0, buffer, &size));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    size = MAX_PATH;
    EXPECT_TRUE(QueryFullProcessImageNameW(h, 0, buffer, &size));
    EXPECT_EQ(size, 16u);
    EXPECT_EQ(std::wstring(buffer), L"C:\\Tools\\app.exe");
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(desk().openHandleCount(), 0);
    EXPECT_EQ(desk().badCloseCount(), 1);

    desk().setProcessOpenable(pid, false);
    EXPECT_EQ(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0), nullptr);

    desk().setProcessOpenable(pid, true);
    desk().setImageNameQueryError(pid, ERROR_GEN_FAILURE);
    h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    size = MAX_PATH;
    EXPECT_FALSE(QueryFullProcessImageNameW(h, 0, buffer, &size));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
    CloseHandle(h);

    HWND noProcess = desk().addWindow(0, {0, 0, 1, 1});
    EXPECT_NE(GetWindowThreadProcessId(noProcess, &owner), 0u);
    EXPECT_EQ(owner, 0u);
}

TEST_F(SimDesktopTest, HookChainPassesOnOrSwallows)
{
    EXPECT_TRUE(desk().injectWheel(120, {1, 1}).passedOn());

    HHOOK first = SetWindowsHookExA(WH_MOUSE_LL, passingHook, GetModuleHandleA(nullptr), 0);
    ASSERT_NE(first, nullptr);
    SimDesktop::HookOutcome out = desk().injectWheel(-120, {1, 1});
    EXPECT_TRUE(out.passedOn());
    EXPECT_EQ(g_seenMouseData, 0xFF880000u);

    HHOOK second = SetWindowsHookExA(WH_MOUSE_LL, swallowingHook, GetModuleHandleA(nullptr), 0);
    out = desk().injectWheel(120, {1, 1});
    EXPECT_TRUE(out.swallowed());
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(g_swallowCalls, 1);
    EXPECT_EQ(g_passCalls, 1); // the newer hook is asked first and did not call on

    EXPECT_TRUE(UnhookWindowsHookEx(second));
    EXPECT_FALSE(UnhookWindowsHookEx(second));
    EXPECT_TRUE(desk().injectWheel(120, {1, 1}).passedOn());
    EXPECT_TRUE(UnhookWindowsHookEx(first));

    desk().failHookInstall(ERROR_ACCESS_DENIED);
    EXPECT_EQ(SetWindowsHookExA(WH_MOUSE_LL, passingHook, GetModuleHandleA(nullptr), 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    desk().failHookInstall(0);
    EXPECT_EQ(SetWindowsHookExA(WH_MOUSE_LL, passingHook, nullptr, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOOK_NEEDS_HMOD));
}

// A hook that injects one tilt step from inside its call, as the engine's first step does.
int g_injectingCalls = 0;
DWORD g_injectedFlags = 0;
LRESULT CALLBACK injectingHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto *event = reinterpret_cast<MSLLHOOKSTRUCT *>(lParam);
    if (++g_injectingCalls == 1) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_HWHEEL;
        input.mi.mouseData = static_cast<DWORD>(-30);
        input.mi.dwExtraInfo = 77;
        EXPECT_EQ(SendInput(1, &input, sizeof input), 1u);
        EXPECT_EQ(g_injectingCalls, 1); // not re-entered: the system takes it after this call
        return 1;
    }
    g_injectedFlags = event->flags;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SimDesktopTest, InjectedInputComesBackThroughTheHookAndGoesWhereTheWheelIsRouted)
{
    const DWORD pid = desk().addProcess(L"C:\\x\\app.exe");
    const HWND frame = desk().addWindow(pid, {0, 0, 500, 500});
    const HWND child = desk().addChildWindow(frame, L"Windows.UI.Core.CoreWindow", {0, 50, 500, 500});
    EXPECT_EQ(WindowFromPoint({10, 100}), child);
    EXPECT_EQ(WindowFromPoint({10, 10}), frame);
    EXPECT_EQ(GetAncestor(child, GA_ROOT), frame);
    EXPECT_EQ(GetAncestor(frame, GA_PARENT), SimDesktop::desktopWindow());
    WCHAR name[5];
    EXPECT_EQ(GetClassNameW(child, name, 5), 4);
    EXPECT_EQ(std::wstring(name), L"Wind");

    ASSERT_NE(SetWindowsHookExA(WH_MOUSE_LL, injectingHook, GetModuleHandleA(nullptr), 0), nullptr);
    EXPECT_TRUE(desk().injectWheel(120, {10, 100}).swallowed());
    EXPECT_EQ(g_injectingCalls, 2);
    EXPECT_EQ(g_injectedFlags, DWORD{LLMHF_INJECTED});
    ASSERT_EQ(desk().receivedInput().size(), 1u);
    const SimDesktop::InputEvent e = desk().receivedInput()[0];
    EXPECT_EQ(e.hwnd, child);
    EXPECT_EQ(e.message, UINT{WM_MOUSEHWHEEL});
    EXPECT_EQ(e.delta, -30);
    EXPECT_TRUE(e.injected);
    EXPECT_EQ(e.extraInfo, ULONG_PTR{77});

    // Focus routing takes the foreground window; injected input towards higher rights is
    // dropped without a word.
    desk().clearReceivedInput();
    desk().setWheelRouting(MOUSEWHEEL_ROUTING_FOCUS);
    desk().setForegroundWindow(frame);
    desk().setProcessIntegrity(pid, SECURITY_MANDATORY_HIGH_RID);
    g_injectingCalls = 0;
    EXPECT_TRUE(desk().injectWheel(120, {10, 100}).swallowed());
    EXPECT_TRUE(desk().receivedInput().empty());
    desk().setProcessIntegrity(pid, SECURITY_MANDATORY_MEDIUM_RID);
    g_injectingCalls = 1;
    EXPECT_TRUE(desk().injectWheel(120, {10, 100}).passedOn());
    ASSERT_EQ(desk().receivedInput().size(), 1u);
    EXPECT_EQ(desk().receivedInput()[0].hwnd, frame);
    EXPECT_FALSE(desk().receivedInput()[0].injected);

    // Off every monitor, a window has none.
    desk().setWindowRect(frame, {5000, 5000, 5100, 5100});
    EXPECT_EQ(MonitorFromWindow(frame, MONITOR_DEFAULTTONULL), nullptr);
}

TEST_F(SimDesktopTest, PostsAreLoggedOrRefused)
{
    const DWORD pid = desk().addProcess(L"C:\\a.exe");
    HWND hwnd = desk().addWindow(pid, {0, 0, 10, 10});
    EXPECT_TRUE(PostMessageA(hwnd, WM_MOUSEWHEEL, 1, 2));
    desk().failPostTo(hwnd, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(PostMessageA(hwnd, WM_MOUSEWHEEL, 3, 4));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ASSERT_EQ(desk().posted().size(), 1u);
    EXPECT_EQ(desk().posted()[0].wParam, 1u);
    EXPECT_EQ(desk().postAttempts(), 2);
    EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x99999), WM_MOUSEWHEEL, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(SimDesktopTest, WheelLinesAndThreadLocalLastError)
{
    EXPECT_EQ(desk().wheelScrollLines(), 3u);
    EXPECT_TRUE(SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, 1, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE));
    UINT lines = 0;
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    EXPECT_EQ(lines, 1u);

    desk().failSystemParameters(ERROR_ACCESS_DENIED);
    SetLastError(0);
    DWORD workerError = 0;
    std::thread worker([&] {
        SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, 1, nullptr, 3);
        workerError = GetLastError();
    });
    worker.join();
    EXPECT_EQ(workerError, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(GetLastError(), 0u); // another thread's failure does not show here
}

} // namespace
