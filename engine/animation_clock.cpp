#include "engine/animation_clock.h"

#include "engine/smooth_scroller.h"

#include <atomic>

namespace {

// Both are only changed on the GUI thread; the callback reads the hidden window from its
// own argument and touches nothing but the flag.
UINT s_multimediaTimerId = 0;
std::atomic<bool> s_tickQueued{false};

// Runs on the system's timer thread.
void CALLBACK postTick(UINT, UINT, DWORD_PTR hidden, DWORD_PTR, DWORD_PTR)
{
    if (s_tickQueued.exchange(true))
        return;
    if (!PostMessageA(reinterpret_cast<HWND>(hidden), kClockTickMessage, SmoothScroller::kAnimationTimerId, 0))
        s_tickQueued = false;
}

void stopMultimediaTimer()
{
    if (s_multimediaTimerId != 0) {
        // Synchronous: once this returns, the callback no longer runs.
        timeKillEvent(s_multimediaTimerId);
        s_multimediaTimerId = 0;
    }
    s_tickQueued = false;
}

} // namespace

UINT_PTR startAnimationClock(HWND hidden, UINT interval)
{
    constexpr UINT_PTR id = SmoothScroller::kAnimationTimerId;
    stopMultimediaTimer();
    if (hidden) {
        // A resolution of 1 ms raises the system's timer resolution while the timer runs.
        s_multimediaTimerId = timeSetEvent(interval, 1, postTick, reinterpret_cast<DWORD_PTR>(hidden),
                                           TIME_PERIODIC | TIME_CALLBACK_FUNCTION
                                               | TIME_KILL_SYNCHRONOUS);
        if (s_multimediaTimerId != 0) {
            // A window timer left from before would tick in between.
            KillTimer(hidden, id);
            return id;
        }
    }
    return SetTimer(hidden, id, interval, nullptr);
}

BOOL stopAnimationClock(HWND hidden, UINT_PTR id)
{
    stopMultimediaTimer();
    return KillTimer(hidden, id);
}

void animationClockTicked()
{
    s_tickQueued = false;
}
