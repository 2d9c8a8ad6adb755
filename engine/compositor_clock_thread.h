#pragma once
// A helper thread that waits for the compositor's clock (DCompositionWaitForCompositorClock,
// Windows 11) and hands each frame on. It runs as long as the engine does: started and stopped
// with it, never inside the hook. Between glides it is parked on an event, with no timeout, so
// that nothing wakes; resuming and parking it only set an event, which the hook may do.

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

    // Runs the thread, parked. Once resumed it calls `onFrame` at each frame, and also after
    // `stallMs` without one (a still desktop composes nothing, and a glide must go on). True
    // when it runs.
    bool start(CompositorClockWait wait, void (*onFrame)(), DWORD stallMs);
    // Frames are handed on from the next one; parked, the thread hands on none and waits for
    // nothing but the next resume() or stop(). Neither waits for the thread.
    void resume();
    void park();
    // Sets the stop event and waits for the thread; nothing is handed on after it returns.
    void stop();
    bool running() const { return m_thread.joinable(); }
    // The wait answered something else (the display is off, an error): the thread handed on
    // one last frame and ended, and the clock is not used again until stop().
    bool failed() const { return m_failed; }

    // Threads started and joined by every clock of the process, for the tests to count.
    static int threadStarts() { return s_starts; }
    static int threadJoins() { return s_joins; }

private:
    void run();

    CompositorClockWait m_wait = nullptr;
    void (*m_onFrame)() = nullptr;
    DWORD m_stallMs = 0;
    HANDLE m_stopEvent = nullptr;
    HANDLE m_wakeEvent = nullptr; // set at each resume() and park(): the thread looks again
    std::atomic<bool> m_active{false};
    std::thread m_thread;
    std::atomic<bool> m_failed{false};
    static std::atomic<int> s_starts;
    static std::atomic<int> s_joins;
};
