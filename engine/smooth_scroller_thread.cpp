// The engine's own thread: it installs the hook and makes the hidden window, so that the
// system calls the hook and delivers the clocks' ticks there, and its message loop does
// nothing else. Whatever holds the GUI thread (a save to a slow disk, a native dialog, the
// toolkit's own work) then delays no mouse event of the desktop.
#include "engine/smooth_scroller.h"

#include "engine/engine_log.h"
#include "engine/frame_wake.h"
#include "engine/wheel_lines.h"

#include <QDebug>

#include <atomic>
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

// How long pause, resume and quit wait for the engine's thread. It answers within a message
// or two when it is well; one that does not answer by then is stuck (in a driver, a debugger,
// another program's hook), and the tray must not hang with it.
constexpr auto kAnswerLimit = std::chrono::milliseconds(300);

// The engine's thread, as the GUI thread knows it. Never destroyed: a process that ends
// without stopping the engine must not be ended by a joinable thread's destructor first.
struct EngineThread {
    std::thread thread;
    std::future<void> ended; // ready once the thread has done its work and is about to end
    bool reported = false;   // it said whether the engine started; its queue exists
    bool stopAsked = false;
};

EngineThread &engineThread()
{
    static auto *thread = new EngineThread;
    return *thread;
}

// Set by the GUI thread when the engine is to end, for a thread that never got the message
// (one asked to stop before it had a queue): it looks at each wake.
std::atomic<bool> s_stopWanted{false};

void runEngine(std::promise<bool> &started)
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
    started.set_value(running);
    EngineLog::wakeWriter();
    if (!running)
        return;
    for (;;) {
        if (s_stopWanted) {
            S::stopOnThisThread();
            EngineLog::wakeWriter();
            return;
        }
        // What the hook calls and ticks since the last wait logged goes out now, between them.
        EngineLog::wakeWriter();
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
                EngineLog::wakeWriter();
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

// Asks the engine's thread to tear the engine down (if it still runs) and end, and waits for
// it at most kAnswerLimit; false when it has not ended by then. Asked once: a later call only
// waits again.
bool endEngineThread(EngineThread &t)
{
    if (!t.stopAsked) {
        t.stopAsked = true;
        s_stopWanted = true;
        // The queue holds up to 10,000 messages and the thread empties it as they come; a
        // post that fails leaves the request to the flag, seen at the next wake.
        if (t.reported && !PostThreadMessageW(S::s_threadId, kStopEngineMessage, 0, 0))
            qCritical() << "[SmoothScroller] Cannot reach the engine's thread to stop it. Error:"
                        << GetLastError();
    }
    if (t.ended.wait_for(kAnswerLimit) != std::future_status::ready)
        return false;
    t.thread.join(); // it has only to return
    t = EngineThread{};
    S::s_threadId = 0;
    return true;
}

} // namespace

bool SmoothScroller::start()
{
    EngineThread &t = engineThread();
    if (s_isRunning && !t.stopAsked) {
        qDebug() << "[SmoothScroller] Already started.";
        return true;
    }
    if (!EngineLog::startWriter())
        qCritical() << "[SmoothScroller] Failed to start the log writer's thread.";
    // An engine asked to stop that has not ended yet, or one whose state was reset under it:
    // never a second engine beside it.
    if (t.thread.joinable() && !endEngineThread(t)) {
        qCritical() << "[SmoothScroller] The engine's thread still does not answer. Not starting another.";
        return failStart();
    }
    std::promise<bool> started;
    std::future<bool> result = started.get_future();
    std::promise<void> ended;
    t.ended = ended.get_future();
    s_stopWanted = false;
    try {
        t.thread = std::thread(
            [](std::promise<bool> reply, std::promise<void> done) {
                runEngine(reply);
                done.set_value();
            },
            std::move(started), std::move(ended));
    } catch (const std::system_error &e) {
        qCritical() << "[SmoothScroller] Failed to start the engine's thread:" << e.what();
        t = EngineThread{};
        return failStart();
    }
    if (result.wait_for(kAnswerLimit) != std::future_status::ready) {
        // It takes down whatever it set up once it runs again.
        qCritical() << "[SmoothScroller] The engine's thread does not answer. Smooth scrolling is not started.";
        t.stopAsked = true;
        s_stopWanted = true;
        return failStart();
    }
    t.reported = true;
    if (result.get())
        return true;
    t.stopAsked = true; // it ends after reporting
    endEngineThread(t);
    return failStart();
}

bool SmoothScroller::stop()
{
    EngineThread &t = engineThread();
    return !t.thread.joinable() || endEngineThread(t);
}
