#pragma once
// A small model of the Windows desktop that the Win32 names of win32.h run on
// off Windows. Tests script it: they add processes and windows, hold keys, inject
// mouse events into the hook chain, fire timers and read the posted messages.
// It models the platform only; it knows nothing of the program that uses it.

#ifndef _WIN32

#include "platform/win32.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

class SimDesktop {
public:
    struct Rect {
        LONG left = 0;
        LONG top = 0;
        LONG right = 0;
        LONG bottom = 0;
    };

    struct PostedMessage {
        HWND hwnd;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    // What happened to one mouse event handed to the hook chain.
    struct HookOutcome {
        LRESULT result = 0;     // what the first hook returned
        bool reachedEnd = false; // the chain was walked to its end through CallNextHookEx
        int hooksCalled = 0;     // hook procedures that were entered
        // Passed on to the system: every hook called the next one, or no hook is installed.
        bool passedOn() const { return reachedEnd || hooksCalled == 0; }
        bool swallowed() const { return !passedOn(); }
    };

    struct TimerInfo {
        HWND hwnd;
        UINT_PTR id;
        UINT requestedInterval; // as passed to SetTimer
        UINT effectiveInterval; // as Windows runs it (raised to USER_TIMER_MINIMUM)
        long long dueAt;        // virtual milliseconds
        TIMERPROC proc;
    };

    // The process the program under test runs in: it owns the windows it creates.
    static constexpr DWORD kSelfPid = 4;

    // The one desktop of the process.
    static SimDesktop &instance();

    // Back to an empty desktop: no windows, processes, hooks, timers, classes, posted
    // messages or injected failures; keys up; wheel lines 3; virtual clock 0.
    void reset();

    // ---- processes ----------------------------------------------------------------
    // Adds a process with the full path of its image; returns its id (never 0). A pid of a
    // process that has ended may be given again, as Windows reuses them.
    DWORD addProcess(const std::wstring &imagePath, bool canOpen = true, DWORD pid = 0);
    // The process ends: its windows are destroyed and its id is free again.
    void endProcess(DWORD pid);
    // Integrity level of the process's token (SECURITY_MANDATORY_*_RID; medium by default),
    // and whether another process may open that token for query.
    void setProcessIntegrity(DWORD pid, DWORD rid, bool tokenReadable = true);
    void setProcessOpenable(DWORD pid, bool canOpen);
    // Makes QueryFullProcessImageNameW fail for this process with the given error (0: succeed).
    void setImageNameQueryError(DWORD pid, DWORD error);
    // The access rights and inherit flag of the last OpenProcess call.
    DWORD lastOpenProcessAccess() const;
    BOOL lastOpenProcessInherit() const;
    // Handles opened and not yet closed, handles ever opened, CloseHandle calls that failed.
    int openHandleCount() const;
    int openedHandleTotal() const;
    int badCloseCount() const;

    // ---- windows ------------------------------------------------------------------
    // Adds a top-level application window of process pid (0: a window without process)
    // covering rect; later windows lie above earlier ones.
    HWND addWindow(DWORD pid, const Rect &rect, bool visible = true, WNDPROC proc = nullptr);
    // The same with the handle of a window destroyed before, as Windows reuses handles.
    HWND addWindowReusing(HWND destroyed, DWORD pid, const Rect &rect);
    // Moves a child window under another parent (a browser moving a tab to another window).
    void setWindowParent(HWND child, HWND parent);
    void setWindowVisible(HWND hwnd, bool visible);
    void setWindowRect(HWND hwnd, const Rect &rect);
    // Windows the model knows and that are not destroyed.
    bool windowExists(HWND hwnd) const;
    bool isMessageOnly(HWND hwnd) const;
    std::wstring windowClassName(HWND hwnd) const;
    std::wstring windowTitle(HWND hwnd) const;
    DWORD windowStyle(HWND hwnd) const;
    int liveWindowCount() const;
    // Every CreateWindowExW call that succeeded, in order, including destroyed windows.
    std::vector<HWND> createdWindows() const;
    // Messages a window procedure received through the model (WM_NCCREATE, WM_CREATE,
    // WM_DESTROY, WM_NCDESTROY, WM_TIMER), per window, in order.
    std::vector<UINT> deliveredMessages(HWND hwnd) const;
    // Forgets those records (long runs that only look at what comes after).
    void clearDeliveredMessages();
    // Forces WindowFromPoint to return hwnd (which may be hidden or destroyed), as when a
    // window changes between the system's hit test and the hook; nullopt restores hit-testing.
    void overrideWindowFromPoint(std::optional<HWND> hwnd);
    // Destroys hwnd as its own thread would (DestroyWindow from any other thread fails, as on
    // Windows, for a window made by CreateWindowExW).
    BOOL destroyOnOwnerThread(HWND hwnd);
    // Calls the window procedure of hwnd, as a message loop would dispatch a message.
    LRESULT sendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // ---- classes and modules ------------------------------------------------------
    HINSTANCE moduleHandle() const; // what GetModuleHandleA(nullptr) returns
    bool isClassRegistered(HINSTANCE hInstance, const std::wstring &className) const;
    int registerClassCalls() const;

    // ---- keys ---------------------------------------------------------------------
    // Holds or releases a key: GetAsyncKeyState then has its high bit set.
    void setKeyDown(int vk, bool down);
    // Sets the raw value GetAsyncKeyState returns for vk (for example only the low bit).
    void setKeyStateRaw(int vk, SHORT state);
    // Keys asked for through GetAsyncKeyState, in order, since the last clear.
    std::vector<int> keyQueries() const;
    void clearKeyQueries();

    // ---- the hook chain -------------------------------------------------------------
    // Hands one low-level mouse event to the installed WH_MOUSE_LL hooks, newest first. Like
    // any input it moves the cursor to pt and becomes the last input (GetLastInputInfo).
    // flags and extraInfo are the event record's (LLMHF_INJECTED, dwExtraInfo).
    HookOutcome injectMouse(UINT message, POINT pt, DWORD mouseData = 0, int nCode = HC_ACTION,
                            DWORD flags = 0, ULONG_PTR extraInfo = 0);
    // A wheel notch (WM_MOUSEWHEEL, or WM_MOUSEHWHEEL for a tilt): mouseData carries delta in
    // its high word.
    HookOutcome injectWheel(short delta, POINT pt, UINT message = WM_MOUSEWHEEL);
    int installedHookCount() const;
    // Hook procedure and module of the most recently installed hook that is still installed,
    // the thread filter it was installed with, and the thread that installed it (and so
    // answers its calls).
    HOOKPROC installedHookProc() const;
    HINSTANCE installedHookModule() const;
    DWORD installedHookThread() const;
    DWORD hookOwnerThread() const;
    // While blocked, the thread answers no hook call. The next mouse event then waits
    // LowLevelHooksTimeout, and Windows removes every hook of that thread without telling it;
    // the event goes on to the rest of the chain.
    void blockThread(DWORD threadId, bool blocked);
    static constexpr long long kLowLevelHooksTimeout = 1000;
    int hooksRemovedBySystem() const;
    int setWindowsHookCalls() const;
    // ---- timers -------------------------------------------------------------------
    std::optional<TimerInfo> timer(HWND hwnd, UINT_PTR id) const;
    int timerCount() const;
    int setTimerCalls() const;
    int killTimerCalls() const;
    // Delivers WM_TIMER for (hwnd, id) to the window procedure; false if no such timer.
    bool fireTimer(HWND hwnd, UINT_PTR id);
    // Advances the virtual clock, delivering every timer that falls due in order.
    // Returns the number of WM_TIMER messages delivered.
    int advanceTime(long long milliseconds);
    // Delivers the earliest-due timer again and again until no timer is left or
    // maxFires messages were delivered; returns the number delivered.
    int runTimers(int maxFires);
    long long now() const;

    // Multimedia timers (timeSetEvent). The virtual clock calls their callback when due, as
    // the system's timer thread would; runTimers and advanceTime count each call as a firing.
    struct MultimediaTimer {
        UINT id;
        UINT delay;
        UINT resolution;
        UINT flags;
        long long dueAt;
        LPTIMECALLBACK callback;
        DWORD_PTR user;
    };
    std::vector<MultimediaTimer> multimediaTimers() const;
    int multimediaTimerStarts() const; // timeSetEvent calls that succeeded
    // Makes timeSetEvent fail, as on a system without the service.
    void failMultimediaTimers(bool fail);
    // Highest timer resolution requested by running multimedia timers (ms), 0 when none:
    // while it is raised the whole system's timer ticks faster.
    UINT raisedTimerResolution() const;

    // ---- window classes, ancestors, the foreground and monitors -----------------------
    // A child window of `parent` of class className (and of process pid; 0 takes the
    // parent's), covering rect in screen coordinates. WindowFromPoint finds the top-level
    // window at a point, then its deepest visible child there, later children above earlier.
    HWND addChildWindow(HWND parent, const std::wstring &className, const Rect &rect, DWORD pid = 0);
    void setWindowClass(HWND hwnd, const std::wstring &className);
    void setWindowZoomed(HWND hwnd, bool zoomed);
    // What GetAncestor(GA_PARENT) gives for a top-level window.
    static HWND desktopWindow() { return reinterpret_cast<HWND>(INT_PTR{0x18}); }
    // The window GetForegroundWindow returns; nullptr for none.
    void setForegroundWindow(HWND hwnd);
    // Monitors, in screen coordinates: after reset one of 1920 x 1080 at (0, 0).
    HMONITOR addMonitor(const Rect &rect);
    void removeMonitor(HMONITOR monitor);
    // What SPI_GETMOUSEWHEELROUTING answers (MOUSEWHEEL_ROUTING_MOUSE_POS after reset);
    // nullopt makes it fail, as on systems before Windows 10. The system routes wheel input
    // by it: to the window under the cursor, or (focus, hybrid, unknown) to the foreground
    // window.
    void setWheelRouting(std::optional<UINT> routing);

    // ---- what the model served -----------------------------------------------------
    // Calls of the Win32 function `name` (spelt as in win32.h) served since the last reset,
    // and of all of them together.
    long long servedCalls(const char *name) const;
    long long servedCallTotal() const;
    // Of those: queries of the display (its modes, EnumDisplaySettingsW, and the compositor's
    // timing, DwmGetCompositionTimingInfo), of the monitors (MonitorFromWindow,
    // GetMonitorInfoW), and waits for the compositor's clock.
    long long displayQueries() const;
    long long monitorQueries() const;
    long long compositorWaits() const;

    // ---- what a list of the running applications sees ----------------------------------
    // Titles, owners, extended styles (WS_EX_*) and cloaking (DWMWA_CLOAKED) of windows;
    // after addWindow a window has no title, no owner, no extended style and is not cloaked.
    // EnumWindows walks the visible and hidden top-level windows from the top down.
    void setWindowTitle(HWND hwnd, const std::wstring &title);
    void setWindowOwner(HWND hwnd, HWND owner);
    void setWindowExStyle(HWND hwnd, DWORD exStyle);
    void setWindowCloaked(HWND hwnd, DWORD cloaked);
    // None of these calls sends the window a message (deliveredMessages stays as it was), so
    // a window that no longer answers cannot hold the caller.
    BOOL enumWindows(WNDENUMPROC proc, LPARAM lParam);
    HWND findWindowEx(HWND parent, HWND childAfter, LPCWSTR className, LPCWSTR title);
    HWND getWindow(HWND hwnd, UINT cmd);
    LONG getWindowLong(HWND hwnd, int index);
    int getWindowText(HWND hwnd, LPWSTR buffer, int maxCount);
    HRESULT dwmGetWindowAttribute(HWND hwnd, DWORD attribute, PVOID value, DWORD size);

    // ---- input that reaches windows -------------------------------------------------
    // A wheel event the system delivered to a window once every hook passed it on: a notch
    // handed to the chain, or one synthesized by SendInput. Input injected towards a window
    // of a process with higher rights than ours is dropped without a word, as Windows does.
    struct InputEvent {
        HWND hwnd;
        UINT message;
        int delta;
        bool injected;
        ULONG_PTR extraInfo;
    };
    const std::vector<InputEvent> &receivedInput() const;
    void clearReceivedInput();
    // SendInput calls (failed ones included); each wheel event it inserts enters the hook
    // chain flagged LLMHF_INJECTED, after the hook call in progress if there is one.
    int sendInputCalls() const;
    // Makes SendInput fail outright with error (0: succeed).
    void failSendInput(DWORD error);

    // ---- threads --------------------------------------------------------------------
    // A thread gets a message queue with its first PeekMessageW or MsgWaitForMultipleObjects;
    // PostThreadMessageW reaches it from then on, and MsgWaitForMultipleObjects parks it until
    // a message is posted to it or its timeout has passed on the virtual clock. The model
    // delivers hook calls, timer ticks and window messages on the test's thread while every
    // other thread with a queue is parked, one after another, as their own loops would; so
    // injecting input and moving the clock first wait until those threads are parked, and a
    // thread whose timeout the clock passes runs to its next wait before the clock goes on.
    // When a thread ends, the system removes its hooks.
    DWORD currentThreadId();
    int queueThreadCount() const; // threads with a queue that have not ended
    // A held thread stays in its wait for messages (still parked, so that input and the clock
    // go on without it) until it is let go, as a thread stuck in a driver or a debugger: what
    // is posted to it waits. Holding returns once the thread waits.
    void holdThread(DWORD threadId, bool held);

    // ---- DPI ------------------------------------------------------------------------
    // How a window reads coordinates. After reset every window is unaware and every monitor
    // at 100 %, the primary's scale being the system's.
    enum class DpiAwareness { Unaware, SystemAware, PerMonitorAware };
    void setWindowDpiAwareness(HWND hwnd, DpiAwareness awareness);
    void setMonitorScale(HMONITOR monitor, UINT percent);

    // ---- posted messages ----------------------------------------------------------
    // Messages posted to other processes' windows, in order. Messages posted to a window of
    // this process go to its queue instead and are dispatched by the message loop (the
    // virtual clock pumps it, as does pumpMessages).
    const std::vector<PostedMessage> &posted() const;
    int pumpMessages();
    std::size_t queuedMessageCount() const;
    void clearPosted();
    int postAttempts() const; // PostMessageA calls, failed ones included
    int failedPosts() const;  // PostMessageA calls that failed

    // ---- system parameters --------------------------------------------------------
    // The session's values (3 and 3 after reset). A change with SPIF_UPDATEINIFILE also
    // stores the value in the user's profile: "WheelScrollLines" or "WheelScrollChars" of
    // the registry key kDesktopKey (openRegistryKey).
    UINT wheelScrollLines() const;
    UINT wheelScrollChars() const;
    // As a change by another program, for this session.
    void setWheelScrollLines(UINT lines);
    void setWheelScrollChars(UINT chars);
    static constexpr char kDesktopKey[] = "HKEY_CURRENT_USER\\Control Panel\\Desktop";
    // The flags of the latest SystemParametersInfoW call with `action`; 0 when none.
    UINT systemParametersFlags(UINT action) const;
    int systemParametersCalls() const;

    // ---- injectable failures ------------------------------------------------------
    // Each makes the named call fail with the given error code; 0 turns it off.
    void failModuleHandle(DWORD error);
    void failRegisterClass(DWORD error);
    void failCreateMessageOnlyWindow(DWORD error);
    void failCreateTopLevelWindow(DWORD error);
    void failHookInstall(DWORD error);
    void failSetTimer(DWORD error);
    void failSystemParameters(DWORD error);
    // PostMessageA to this window fails with error (ERROR_ACCESS_DENIED for a window of a
    // process with higher rights); 0 lets posts through again.
    void failPostTo(HWND hwnd, DWORD error);

    // ---- reading the wheel settings -----------------------------------------------
    // SPI_GETWHEELSCROLLLINES and SPI_GETWHEELSCROLLCHARS fail with error; 0 turns it off.
    void failWheelSettingReads(DWORD error);

    // ---- the display's frame clock --------------------------------------------------
    // The performance counter runs at kQpcFrequency from the virtual clock's 0. The compositor
    // reports a display of rate numerator / denominator Hz whose vertical blanks fall on
    // phaseQpc + k * periodQpc (60 Hz at phase 0 after reset). Its timing call can fail, its
    // blank can stop advancing (it then keeps the last one reported), and the session can be
    // remote.
    static constexpr long long kQpcFrequency = 10000000;
    void setCompositorClock(UINT numerator, UINT denominator, ULONGLONG periodQpc, ULONGLONG phaseQpc);
    void failCompositionTiming(bool fail);
    void freezeVerticalBlank(bool frozen);
    void setRemoteSession(bool remote);
    int compositionTimingCalls() const;
    // A monitor's refresh rate as its current display mode gives it (60 Hz after addMonitor;
    // 0 as for a driver that reports its default), and its device name "\\.\DISPLAY<n>".
    void setMonitorRefreshRate(HMONITOR monitor, DWORD hz);
    // Reading a display mode takes this long on the virtual clock, as a slow driver's answer.
    void setDisplayModeReadDelay(long long milliseconds);
    BOOL enumDisplaySettings(LPCWSTR deviceName, DWORD mode, DEVMODEW *devMode);
    ULONGLONG performanceCounter() const;
    HRESULT dwmGetCompositionTimingInfo(HWND hwnd, DWM_TIMING_INFO *info);
    int getSystemMetrics(int index) const;

    // ---- waitable timers and events ---------------------------------------------------
    // A waitable timer falls due on the virtual clock (a relative due time, rounded up to the
    // ms); runTimers and advanceTime count it as a firing. A thread of the model parked in
    // MsgWaitForMultipleObjects on it then wakes with WAIT_OBJECT_0; a thread busy elsewhere
    // finds it signalled at its next wait. Tests that make the engine's calls on their own
    // thread, with no other thread in the model, play the engine thread's loop through `loop`,
    // which is handed each timer that falls due.
    void setLoopStandIn(std::function<void(HANDLE timer)> loop);
    // The compositor's clock of Windows 11 (DCompositionWaitForCompositorClock): a thread
    // waiting on it wakes at the next vertical blank after its wait began, `offsetMs` after it
    // (a compositor that wakes a little early or late), at its timeout, or when one of its
    // events is set. With `answer` set the wait answers that at once instead (0: frames).
    void setCompositorFrameOffset(long long offsetMs);
    void failCompositorClock(DWORD answer);
    DWORD waitForCompositorClock(UINT count, const HANDLE *handles, DWORD milliseconds);
    int compositorClockWaiters() const; // threads waiting for its next frame
    long long compositorWaitsOf(DWORD threadId) const; // waits begun by that thread
    // Threads of the model waiting on events. Setting an event lets each thread it wakes run
    // to its next wait before SetEvent returns, as the model runs one thread at a time.
    DWORD waitForEvents(DWORD count, const HANDLE *handles, DWORD milliseconds);
    int armedWaitableTimers() const;
    // CreateWaitableTimerExW fails with this error (0: it succeeds).
    void failWaitableTimers(DWORD error);
    // Events are set by one real thread and seen by another: whether `event` is signalled now.
    bool eventSignalled(HANDLE event) const;
    HANDLE createWaitableTimer(DWORD flags);
    BOOL setWaitableTimer(HANDLE timer, const LARGE_INTEGER *dueTime, LONG period);
    BOOL cancelWaitableTimer(HANDLE timer);
    HANDLE createEvent(BOOL manualReset, BOOL initialState);
    BOOL setEvent(HANDLE event);

    // ---- entry points of the Win32 names (used by win32_sim.cpp) -------------------
    HHOOK setWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE hmod, DWORD threadId);
    LRESULT callNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam);
    BOOL unhookWindowsHookEx(HHOOK hhk);
    HMODULE getModuleHandle(LPCSTR name);
    BOOL getClassInfo(HINSTANCE hInstance, LPCWSTR className, LPWNDCLASSW out);
    ATOM registerClass(const WNDCLASSW *wc);
    HWND createWindow(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                      int width, int height, HWND parent, HMENU menu, HINSTANCE hInstance,
                      LPVOID param);
    BOOL showWindow(HWND hwnd, int cmdShow);
    BOOL destroyWindow(HWND hwnd);
    LRESULT defWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    UINT_PTR setTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
    BOOL killTimer(HWND hwnd, UINT_PTR id);
    HWND windowFromPoint(POINT pt);
    BOOL isWindow(HWND hwnd);
    BOOL isWindowVisible(HWND hwnd);
    SHORT getAsyncKeyState(int vk);
    BOOL postMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL systemParametersInfo(UINT action, UINT uiParam, PVOID pvParam, UINT winIni);
    DWORD getWindowThreadProcessId(HWND hwnd, LPDWORD pid);
    HANDLE openProcess(DWORD access, BOOL inherit, DWORD pid);
    BOOL queryFullProcessImageName(HANDLE process, DWORD flags, LPWSTR buffer, PDWORD size);
    BOOL closeHandle(HANDLE handle);
    BOOL getProcessTimes(HANDLE process, LPFILETIME creation, LPFILETIME exit, LPFILETIME kernel,
                         LPFILETIME user);
    BOOL openProcessToken(HANDLE process, DWORD access, PHANDLE token);
    BOOL getTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS infoClass, LPVOID info,
                             DWORD length, PDWORD returnLength);
    MMRESULT timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user,
                          UINT flags);
    MMRESULT timeKillEvent(UINT id);
    DWORD tickCount() const;
    BOOL getLastInputInfo(PLASTINPUTINFO info);
    BOOL getCursorPos(LPPOINT point);
    int getClassName(HWND hwnd, LPWSTR buffer, int maxCount);
    HWND getAncestor(HWND hwnd, UINT flags);
    HWND getForegroundWindow();
    BOOL getWindowRect(HWND hwnd, LPRECT rect);
    BOOL isZoomed(HWND hwnd);
    HMONITOR monitorFromWindow(HWND hwnd, DWORD flags);
    BOOL getMonitorInfo(HMONITOR monitor, LPMONITORINFO info);
    UINT sendInput(UINT count, LPINPUT inputs, int size);
    BOOL postThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL peekMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg);
    LRESULT dispatchMessage(const MSG *msg);
    DWORD msgWaitForMultipleObjects(DWORD count, const HANDLE *handles, BOOL waitAll,
                                    DWORD milliseconds, DWORD wakeMask);
    BOOL physicalToLogicalPoint(HWND hwnd, LPPOINT point);
    // Called as a thread with a queue ends.
    void threadEnded(DWORD threadId);

    // What GetCurrentProcess returns: a pseudo handle that always means this process.
    static HANDLE currentProcessHandle() { return reinterpret_cast<HANDLE>(INT_PTR{-1}); }

private:
    // Sets the session's lines or characters; with SPIF_UPDATEINIFILE in winIni the user's
    // profile stores the value as well.
    void setWheelValue(bool lines, UINT value, UINT winIni);

    struct Window {
        HWND hwnd = nullptr;
        DWORD pid = 0;
        DWORD style = 0;
        HWND parent = nullptr;
        WNDPROC proc = nullptr;
        HINSTANCE hInstance = nullptr;
        std::wstring className;
        std::wstring title;
        Rect rect;
        bool visible = false;
        bool messageOnly = false;
        bool destroying = false;
        bool zoomed = false;
        DpiAwareness dpiAwareness = DpiAwareness::Unaware;
        DWORD thread = 0; // the thread that made it with CreateWindowExW; 0: one the test added
        HWND owner = nullptr;
        DWORD exStyle = 0;
        DWORD cloaked = 0; // DWM_CLOAKED_* bits
    };

    struct Process {
        std::wstring imagePath;
        bool canOpen = true;
        DWORD queryError = 0;
        DWORD integrity = SECURITY_MANDATORY_MEDIUM_RID;
        bool tokenReadable = true;
        ULONGLONG startTime = 0; // FILETIME units
        DWORD thread = 0;        // the thread its windows belong to
    };

    struct WindowClass {
        HINSTANCE hInstance = nullptr;
        std::wstring name;
        WNDCLASSW record{};
    };

    struct Hook {
        HHOOK handle = nullptr;
        int id = 0;
        HOOKPROC proc = nullptr;
        HINSTANCE module = nullptr;
        DWORD thread = 0;
        DWORD owner = 0; // the installing thread
    };

    struct QueueThread {
        std::deque<MSG> messages;
        bool parked = false;
        bool woken = false;      // its timeout passed: it runs to its next wait
        long long wakeAt = -1;   // virtual time its wait ends; -1: none
        HANDLE waitsOn = nullptr; // the waitable timer it waits on beside its messages
        std::vector<HANDLE> events; // the events it waits on instead
        bool compositor = false;    // it waits for the compositor's next frame
        unsigned parkings = 0;      // waits it has begun
    };
    // Under `lock` (m_threadMutex): parks the calling thread until one of `events` is set
    // (its index; an auto-reset event is taken) or the virtual clock reaches wakeAt (-1).
    int parkOnEvents(std::unique_lock<std::mutex> &lock, const HANDLE *events, DWORD count, long long wakeAt,
                     bool compositor);
    // Waits until each thread in `woken` (id, parkings when woken) has begun its next wait or ended.
    void awaitNextWaits(std::unique_lock<std::mutex> &lock, const std::vector<std::pair<DWORD, unsigned>> &woken);
    // Wakes the thread waiting for the compositor's clock whose frame comes first, if it comes by
    // `until` before every other timer.
    bool wakeCompositorWaiter(long long until, long long otherDueAt);
    long long nextWaitableTimerDue(); // -1: none armed
    struct WaitableTimer {
        long long dueAt = -1; // -1: not armed
        bool signalled = false;
    };
    // Under m_threadMutex: the waitable timer `handle`, or nullptr.
    WaitableTimer *waitableTimerOf(HANDLE handle);
    // Fires the waitable timer due first, if one falls due by `until` before every other timer.
    bool fireWaitableTimer(long long until, long long otherDueAt);
    bool closeWaitHandle(HANDLE handle);


    SimDesktop();
    DWORD processOfHandle(HANDLE handle) const; // 0: none
    // Applies `change` to the record of hwnd, if the window exists.
    template <typename Change>
    void changeWindow(HWND hwnd, Change change)
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (Window *w = findWindow(hwnd))
            change(*w);
    }
    // Destroys every window `pick` chooses, as DestroyWindow does.
    template <typename Pick>
    void destroyWindowsWhere(Pick pick)
    {
        std::vector<HWND> chosen;
        for (const auto &entry : m_windows) {
            if (pick(entry.second))
                chosen.push_back(entry.second.hwnd);
        }
        for (HWND hwnd : chosen)
            destroyOnOwnerThread(hwnd);
    }
    int fireNextTimer(long long until);
    QueueThread &queueOfCurrentThread(); // under m_threadMutex
    // While a procedure runs for its thread on the test's thread, GetCurrentThreadId gives
    // that thread (0: the caller's own).
    struct ActingThread {
        explicit ActingThread(DWORD threadId);
        ~ActingThread();
        DWORD previous;
    };
    void awaitParkedThreads();
    void wakeDueThreads();
    // Hands one event to the hook chain; a wheel event passed on goes to its window.
    HookOutcome runHookChain(UINT message, const MSLLHOOKSTRUCT &info, int nCode);
    void deliverPendingInput();
    void routeWheel(UINT message, const MSLLHOOKSTRUCT &info);
    // The window of a call that answers through `out`: nullptr, with the error Windows sets,
    // when the window is unknown or there is nowhere to answer.
    const Window *windowToAnswer(HWND hwnd, const void *out);
    BOOL wheelRoutingInfo(PVOID value); // SPI_GETMOUSEWHEELROUTING
    HWND deepestChildAt(HWND hwnd, POINT pt) const;
    Window *findWindow(HWND hwnd);
    const Window *findWindow(HWND hwnd) const;
    LRESULT deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void destroyTree(HWND hwnd);
    HWND newWindow(DWORD pid, DWORD style, HWND parent, WNDPROC proc, HINSTANCE hInstance,
                   const std::wstring &className, const std::wstring &title, const Rect &rect,
                   std::uintptr_t handle = 0);

    mutable std::recursive_mutex m_mutex;
    std::map<std::uintptr_t, Window> m_windows;
    std::vector<std::uintptr_t> m_zOrder; // bottom to top
    std::vector<HWND> m_created;
    std::map<DWORD, Process> m_processes;
    std::map<std::uintptr_t, std::pair<DWORD, DWORD>> m_openHandles; // handle -> (pid, access)
    std::map<std::uintptr_t, DWORD> m_tokens;                         // token handle -> pid
    std::vector<MultimediaTimer> m_mmTimers;
    std::deque<PostedMessage> m_queue; // this process's posted messages, not yet dispatched
    POINT m_cursor = {0, 0};
    long long m_lastInput = 0;
    std::set<DWORD> m_blockedThreads;
    // Threads with a queue. Its own lock: a parked thread waits on it while the test's thread
    // works in the model.
    mutable std::mutex m_threadMutex;
    std::condition_variable m_threadCv;
    std::map<DWORD, QueueThread> m_queueThreads;
    std::set<DWORD> m_heldThreads; // under m_threadMutex
    std::map<std::uintptr_t, WaitableTimer> m_waitableTimers; // under m_threadMutex
    std::map<std::uintptr_t, std::pair<bool, bool>> m_events;  // (manual reset, signalled), likewise
    std::function<void(HANDLE)> m_loopStandIn;
    DWORD m_failWaitableTimers = 0;
    std::map<std::uintptr_t, UINT> m_monitorScales; // percent; absent: 100
    bool m_failMultimedia = false;
    UINT m_nextMmId = 1;
    ULONGLONG m_nextStartTime = 0;
    int m_hooksRemovedBySystem = 0;
    int m_setHookCalls = 0;
    std::vector<WindowClass> m_classes;
    std::vector<Hook> m_hooks; // newest first
    std::vector<std::size_t> m_hookCallStack; // index of the hook being called, per nesting level
    std::vector<bool> m_hookReachedEnd;
    std::map<std::pair<std::uintptr_t, UINT_PTR>, TimerInfo> m_timers;
    std::map<int, SHORT> m_keys;
    std::vector<int> m_keyQueries;
    std::vector<PostedMessage> m_posted;
    std::map<std::uintptr_t, DWORD> m_postFailures;
    std::map<std::uintptr_t, std::vector<UINT>> m_history; // messages delivered, per window
    std::optional<HWND> m_windowFromPointOverride;
    HWND m_foreground = nullptr;
    std::vector<std::pair<std::uintptr_t, Rect>> m_monitors; // the primary first
    std::optional<UINT> m_wheelRouting;
    struct PendingInput {
        UINT message;
        MSLLHOOKSTRUCT info;
    };
    std::deque<PendingInput> m_pendingInput; // injected during a hook call, not yet hooked
    std::vector<InputEvent> m_received;
    int m_hooksEntered = 0;
    std::uintptr_t m_nextHandle = 0x1000;
    DWORD m_nextPid = 100;
    DWORD m_nextProcessThread = 0x2000;
    long long m_now = 0;
    long long m_timerSequence = 0;
    UINT m_wheelLines = 3;
    UINT m_wheelChars = 3;
    std::map<UINT, UINT> m_spiFlags; // action -> flags of its latest call
    // How often the engine made each call, for the tests to read.
    struct Counts {
        int spiCalls = 0;
        int registerClassCalls = 0;
        int setTimerCalls = 0;
        int killTimerCalls = 0;
        int postAttempts = 0;
        int failedPosts = 0;
        int openedTotal = 0;
        int badCloses = 0;
        int sendInputCalls = 0;
    } m_counts;
    DWORD m_lastOpenAccess = 0;
    BOOL m_lastOpenInherit = FALSE;
    // The error code each call fails with, while a test injects a failure (0: it succeeds).
    struct Failures {
        DWORD moduleHandle = 0;
        DWORD registerClass = 0;
        DWORD messageOnly = 0;
        DWORD topLevel = 0;
        DWORD hook = 0;
        DWORD setTimer = 0;
        DWORD spi = 0;
        DWORD sendInput = 0;
    } m_failures;
    DWORD m_failWheelReads = 0;
    // The compositor's clock.
    struct Compositor {
        UINT numerator = 60;
        UINT denominator = 1;
        ULONGLONG periodQpc = kQpcFrequency / 60;
        ULONGLONG phaseQpc = 0;
        bool failing = false;
        bool frozen = false;
        ULONGLONG frozenBlank = 0;
        bool remoteSession = false;
        int calls = 0;
        long long frameOffset = 0;
        DWORD clockAnswer = 0;
        std::map<DWORD, long long> waitsByThread;
    } m_compositor;
    std::map<std::uintptr_t, DWORD> m_monitorRates; // monitors not named run at 60 Hz
    long long m_displayModeReadDelay = 0;
};

// The calling thread's last-error code, as SetLastError and GetLastError see it.
void simSetLastError(DWORD error);
DWORD simLastError();

#endif
