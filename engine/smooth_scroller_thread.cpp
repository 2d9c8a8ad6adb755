// The engine's own thread: it installs the hook and makes the hidden window, so that the
// system calls the hook and delivers the clocks' ticks there, and its message loop does
// nothing else. Whatever holds the GUI thread (a save to a slow disk, a native dialog, the
// toolkit's own work) then delays no mouse event of the desktop.
#include "engine/smooth_scroller.h"

#include "engine/frame_wake.h"
#include "engine/wheel_lines.h"

#include <QDebug>

#include <chrono>
#include <future>
#include <system_error>
#include <thread>

namespace {

using S = SmoothScroller;

// Posted to the engine's thread: tear the engine down there and end the thread.
constexpr UINT kStopEngineMessage = WM_APP + 2;

// Once the system has removed the hook, nothing calls the thread any more: it wakes this
// often to look, and otherwise sleeps until a message or a hook call arrives.
constexpr DWORD kHookWatchIntervalMs = 1000;

// Never destroyed: a process that ends without stopping the engine must not be ended by a
// joinable thread's destructor first.
std::thread &engineThread()
{
    static auto *thread = new std::thread;
    return *thread;
}

void runEngine(std::promise<bool> *started)
{
    MSG msg;
    // Makes the thread's message queue, so that stop() can post to it once start returns.
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    S::s_threadId = GetCurrentThreadId();
    bool running = false;
    try {
        running = S::startOnThisThread();
    } catch (...) {
        // Only allocation can fail on the way: what was set up goes again, as for any failed
        // start, and the thread reports that the engine did not start.
        if (S::s_hHook)
            UnhookWindowsHookEx(S::s_hHook);
        if (S::hiddenWindowExists())
            DestroyWindow(S::s_hWnd);
        S::s_hHook = nullptr;
        S::s_hWnd = nullptr;
        S::s_isRunning = false;
    }
    started->set_value(running); // `started` is gone from here on
    if (!running)
        return;
    for (;;) {
        // A glide paced by the display wakes the loop through its frame timer.
        const HANDLE frameTimer = frameWakeTimer();
        const DWORD woke = MsgWaitForMultipleObjects(frameTimer ? 1 : 0, &frameTimer, FALSE,
                                                     kHookWatchIntervalMs, QS_ALLINPUT);
        if (frameTimer && woke == WAIT_OBJECT_0)
            frameWakeTimerSignalled();
        else if (frameTimer && woke == WAIT_FAILED)
            dropFrameWakeTimer(); // waiting on it again would fail at once, over and over
        // Hook calls are made inside PeekMessageW; ticks and other messages come out of it.
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!msg.hwnd && msg.message == kStopEngineMessage) {
                S::stopOnThisThread();
                return;
            }
            DispatchMessageW(&msg);
        }
        S::checkHook();
    }
}

// Without the hook nothing smooths the wheel, and the system's wheel lines, set to 1 for
// the animation, would leave every application crawling one line per notch.
bool failStart()
{
    restoreWheelScrollLines();
    return false;
}

// Has the engine's thread tear the engine down (if it still runs) and end, and waits for it.
void endEngineThread(std::thread &thread)
{
    // The queue holds up to 10,000 messages; the thread empties it as fast as they come.
    int attempts = 0;
    while (!PostThreadMessageW(S::s_threadId, kStopEngineMessage, 0, 0)) {
        if (++attempts == 1000) {
            qCritical() << "[SmoothScroller] Cannot reach the engine's thread to stop it. Error:"
                        << GetLastError();
            thread.detach();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    thread.join();
    S::s_threadId = 0;
}

} // namespace

bool SmoothScroller::start()
{
    if (s_isRunning) {
        qDebug() << "[SmoothScroller] Already started.";
        return true;
    }
    std::thread &thread = engineThread();
    if (thread.joinable()) // left over from an engine whose state was reset under it
        endEngineThread(thread);
    std::promise<bool> started;
    std::future<bool> result = started.get_future();
    try {
        thread = std::thread(runEngine, &started);
    } catch (const std::system_error &e) {
        qCritical() << "[SmoothScroller] Failed to start the engine's thread:" << e.what();
        return failStart();
    }
    if (result.get())
        return true;
    thread.join(); // it ended after reporting
    return failStart();
}

void SmoothScroller::stop()
{
    std::thread &thread = engineThread();
    if (thread.joinable())
        endEngineThread(thread);
}
