#pragma once
// A helper thread that waits for the compositor's clock (DCompositionWaitForCompositorClock,
// Windows 11) and hands each frame on. The engine runs it only while a paced glide runs, so
// that nothing wakes between glides; a stop event among the wait's handles ends it at once.

#include "platform/win32.h"

#include <atomic>
#include <thread>

// DCompositionWaitForCompositorClock's signature: WAIT_OBJECT_0 + i when handle i is
// signalled, WAIT_OBJECT_0 + count at the compositor's next frame, WAIT_TIMEOUT.
using CompositorClockWait = DWORD(WINAPI *)(UINT count, const HANDLE *handles, DWORD timeoutMs);

class CompositorClockThread {
public:
    CompositorClockThread() = default;
    CompositorClockThread(const CompositorClockThread &) = delete;
    CompositorClockThread &operator=(const CompositorClockThread &) = delete;
    ~CompositorClockThread();

    // Runs the thread, which calls `onFrame` at each frame, and also after `stallMs` without
    // one (a still desktop composes nothing, and a glide must go on). True when it runs.
    bool start(CompositorClockWait wait, void (*onFrame)(), DWORD stallMs);
    // Sets the stop event and waits for the thread; nothing is handed on after it returns.
    void stop();
    bool running() const { return m_thread.joinable(); }
    // The wait answered something else (the display is off, an error): the thread handed on
    // one last frame and ended, and the clock is not used again until stop().
    bool failed() const { return m_failed; }

private:
    void run();

    CompositorClockWait m_wait = nullptr;
    void (*m_onFrame)() = nullptr;
    DWORD m_stallMs = 0;
    HANDLE m_stopEvent = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_failed{false};
};
