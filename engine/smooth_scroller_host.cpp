// The hook host: installs the low-level mouse hook and owns the hidden window whose
// clocks drive the animations. Everything here runs on the engine's thread.
#include "engine/smooth_scroller.h"

#include "engine/animation_clock.h"
#include "engine/engine_log.h"
#include "engine/frame_clock.h"
#include "engine/frame_wake.h"
#include "engine/window_facts.h"

namespace {

const wchar_t kHiddenWindowClassName[] = L"SmoothScrollHiddenWindowClassQt";
const wchar_t kHiddenWindowTitle[] = L"Hidden Smooth Scroll Handler Qt";
const wchar_t kFallbackWindowTitle[] = L"Hidden Smooth Scroll Handler Qt Alt";

} // namespace

bool SmoothScroller::hiddenWindowExists()
{
    return s_hWnd != nullptr && IsWindow(s_hWnd);
}

SmoothScroller::SmoothScroller(QObject *parent)
    : QObject(parent)
{
    if (!s_hInstance)
        s_hInstance = GetModuleHandleA(nullptr);
}

SmoothScroller::~SmoothScroller()
{
    // The engine's last lines are written before what follows the engine's end (the process's
    // own end, often) can take the message log away from the writer; not waited for long.
    if (stop())
        EngineLog::flush(std::chrono::milliseconds(300));
}

bool SmoothScroller::startOnThisThread()
{
    EngineLog::startWriter(); // before the hook: it must never start a thread
    if (!s_hInstance)
        s_hInstance = GetModuleHandleA(nullptr);
    if (!s_hInstance) {
        EngineLog::write(EngineLine::NoModuleHandle);
        return false;
    }

    createWindow();
    if (!s_hWnd) {
        EngineLog::write(EngineLine::NoHiddenWindowAtStart);
        return false;
    }

    // The hook goes in last: once it is installed, wheel events need the window's timer.
    s_hHook = SetWindowsHookExA(WH_MOUSE_LL, LLMouseProc, s_hInstance, 0);
    if (!s_hHook) {
        const DWORD error = GetLastError();
        EngineLog::write(EngineLine::HookInstallFailed, error);
        if (hiddenWindowExists())
            DestroyWindow(s_hWnd);
        // Cleared even if the window had already gone, so that the next start makes a new one.
        s_hWnd = nullptr;
        return false;
    }

    EngineLog::write(EngineLine::Started);
    s_isRunning = true;
    takeInputAsSeen();
    // Windows and settings are looked at afresh, as anything may have changed while stopped.
    s_windowCache.clear();
    forgetWheelRouting();
    // The display's grid is read here and at each frame of a paced glide, never in the hook.
    resetFrameGrid();
    refreshFrameGrid();
    // Looked up here: loading a library inside the hook would hold the desktop's input.
    prepareFrameWake(lookUpCompositorClockWait());
    return true;
}

void SmoothScroller::stopOnThisThread()
{
    if (!s_isRunning)
        return;

    EngineLog::write(EngineLine::Stopping);

    // Hook first, so that no wheel event can start a new animation while we tear down.
    if (s_hHook) {
        UnhookWindowsHookEx(s_hHook);
        s_hHook = nullptr;
        EngineLog::write(EngineLine::HookUninstalled);
    }

    for (WheelAxis axis : kWheelAxes) {
        ScrollAnimation &a = animation(axis);
        if (a.isAnimating && hiddenWindowExists() && a.activeTimerId != 0) {
            stopAnimationClock(s_hWnd, a.activeTimerId);
            a.activeTimerId = 0;
            EngineLog::write(EngineLine::TimerKilled);
        }
        a.isAnimating = false;
        a.targetHwnd = nullptr;
    }

    if (hiddenWindowExists()) {
        DestroyWindow(s_hWnd);
        EngineLog::write(EngineLine::WindowDestroyed);
    }
    // The window's timers die with it; a stale handle or timer id must not survive into
    // the next start.
    s_hWnd = nullptr;
    for (WheelAxis axis : kWheelAxes)
        animation(axis).activeTimerId = 0;
    closeFrameWake();

    s_isRunning = false;
    EngineLog::write(EngineLine::Stopped);
}

void SmoothScroller::systemChangeAnnounced(UINT message, WPARAM)
{
    if (message == WM_SETTINGCHANGE)
        settingChangeAnnounced();
    else if (message == WM_DISPLAYCHANGE)
        displayChangeAnnounced();
}

void SmoothScroller::createWindow()
{
    if (s_hWnd) {
        if (IsWindow(s_hWnd))
            return;
        s_hWnd = nullptr; // destroyed behind our back: make a new one
    }

    if (!s_hInstance) {
        EngineLog::write(EngineLine::NoInstance);
        return;
    }

    WNDCLASSW existing = {};
    if (!GetClassInfoW(s_hInstance, kHiddenWindowClassName, &existing)) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = HiddenWndProc;
        wc.hInstance = s_hInstance;
        wc.lpszClassName = kHiddenWindowClassName;
        if (!RegisterClassW(&wc)) {
            const DWORD error = GetLastError();
            EngineLog::write(EngineLine::RegistrationFailed, error);
            return;
        }
    }

    s_hWnd = CreateWindowExW(0, kHiddenWindowClassName, kHiddenWindowTitle, 0, 0, 0, 0, 0,
                             HWND_MESSAGE, nullptr, s_hInstance, nullptr);
    if (s_hWnd)
        return;

    s_hWnd = CreateWindowExW(0, kHiddenWindowClassName, kFallbackWindowTitle, WS_OVERLAPPEDWINDOW,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                             nullptr, s_hInstance, nullptr);
    if (s_hWnd) {
        ShowWindow(s_hWnd, SW_HIDE);
    } else {
        const DWORD error = GetLastError();
        EngineLog::write(EngineLine::WindowCreationFailed, error);
    }
}

LRESULT CALLBACK SmoothScroller::HiddenWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        for (WheelAxis axis : kWheelAxes) {
            ScrollAnimation &a = animation(axis);
            if (a.isAnimating && a.activeTimerId != 0) {
                stopAnimationClock(hwnd, a.activeTimerId);
                a.activeTimerId = 0;
                a.isAnimating = false;
            }
        }
        return 0;
    case WM_TIMER:
    case kClockTickMessage:
        // Ticks go to the animation of the clock's axis; any other timer is not ours.
        if (const auto axis = axisOfClock(wParam)) {
            animationClockTicked(wParam);
            // An exception must never unwind through the system's message dispatch.
            try {
                onAnimationTick(hwnd, *axis);
            } catch (...) {
                stopAnimation(*axis);
            }
        }
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
