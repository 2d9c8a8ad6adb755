#include "engine/animation_clock.h"

#include "engine/frame_wake.h"
#include "engine/wheel_axis.h"

#include <atomic>
#include <cmath>
#include <iterator>

namespace {

// One per axis. Only changed on the engine's thread while its multimedia timer is stopped; the
// callback reads the window and id and touches nothing but the flag.
struct Clock {
    UINT multimediaTimerId = 0;
    HWND hidden = nullptr;
    UINT_PTR id = 0;
    std::atomic<bool> tickQueued{false};
};

Clock s_clocks[std::size(kWheelAxes)];

Clock *clockOf(UINT_PTR id)
{
    const auto axis = axisOfClock(id);
    return axis ? &s_clocks[static_cast<int>(*axis)] : nullptr;
}

void postTickOf(Clock &clock, HWND hidden, UINT_PTR id)
{
    if (clock.tickQueued.exchange(true))
        return;
    if (!PostMessageA(hidden, kClockTickMessage, id, 0))
        clock.tickQueued = false;
}

// Runs on the system's timer thread.
void CALLBACK postTick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    Clock *clock = reinterpret_cast<Clock *>(user);
    postTickOf(*clock, clock->hidden, clock->id);
}

void stopMultimediaTimer(Clock &clock)
{
    if (clock.multimediaTimerId != 0) {
        // Synchronous: once this returns, the callback no longer runs.
        timeKillEvent(clock.multimediaTimerId);
        clock.multimediaTimerId = 0;
    }
    clock.tickQueued = false;
}

// Starts clock `id`'s multimedia timer (TIME_PERIODIC or TIME_ONESHOT) after `delay` ms, or
// where none can be had the window timer of the same id, which ticks until stopped.
UINT_PTR runClock(HWND hidden, UINT_PTR id, UINT delay, UINT kind)
{
    Clock *clock = clockOf(id);
    if (clock)
        stopMultimediaTimer(*clock);
    if (clock && hidden) {
        clock->hidden = hidden;
        clock->id = id;
        // A resolution of 1 ms raises the system's timer resolution while the timer runs.
        clock->multimediaTimerId = timeSetEvent(delay, 1, postTick, reinterpret_cast<DWORD_PTR>(clock),
                                                kind | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
        if (clock->multimediaTimerId != 0) {
            // A window timer left from before would tick in between.
            KillTimer(hidden, id);
            return id;
        }
    }
    return SetTimer(hidden, id, delay, nullptr);
}

} // namespace

UINT_PTR startAnimationClock(HWND hidden, UINT_PTR id, UINT interval)
{
    cancelFrameWake(id);
    return runClock(hidden, id, interval, TIME_PERIODIC);
}

UINT_PTR aimAnimationClock(HWND hidden, UINT_PTR id, double delayMs)
{
    Clock *clock = clockOf(id);
    if (clock && hidden) {
        stopMultimediaTimer(*clock);
        if (aimFrameWake(hidden, id, delayMs)) {
            KillTimer(hidden, id); // a window timer left from before would tick in between
            return id;
        }
    }
    // The window timer cannot be aimed as finely; where it stands in, it ticks until aimed again.
    const double ms = std::ceil(delayMs);
    return runClock(hidden, id, ms < 1.0 ? 1 : static_cast<UINT>(ms), TIME_ONESHOT);
}

BOOL stopAnimationClock(HWND hidden, UINT_PTR id)
{
    cancelFrameWake(id);
    if (Clock *clock = clockOf(id))
        stopMultimediaTimer(*clock);
    return KillTimer(hidden, id);
}

void postClockTick(HWND hidden, UINT_PTR id)
{
    if (Clock *clock = clockOf(id))
        postTickOf(*clock, hidden, id);
}

void animationClockTicked(UINT_PTR id)
{
    if (Clock *clock = clockOf(id))
        clock->tickQueued = false;
}
