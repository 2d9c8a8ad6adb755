#include "engine/animation_clock.h"

#include "engine/wheel_axis.h"

#include <atomic>
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

// Runs on the system's timer thread.
void CALLBACK postTick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    Clock *clock = reinterpret_cast<Clock *>(user);
    if (clock->tickQueued.exchange(true))
        return;
    if (!PostMessageA(clock->hidden, kClockTickMessage, clock->id, 0))
        clock->tickQueued = false;
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

} // namespace

UINT_PTR startAnimationClock(HWND hidden, UINT_PTR id, UINT interval)
{
    Clock *clock = clockOf(id);
    if (clock)
        stopMultimediaTimer(*clock);
    if (clock && hidden) {
        clock->hidden = hidden;
        clock->id = id;
        // A resolution of 1 ms raises the system's timer resolution while the timer runs.
        clock->multimediaTimerId =
            timeSetEvent(interval, 1, postTick, reinterpret_cast<DWORD_PTR>(clock),
                         TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
        if (clock->multimediaTimerId != 0) {
            // A window timer left from before would tick in between.
            KillTimer(hidden, id);
            return id;
        }
    }
    return SetTimer(hidden, id, interval, nullptr);
}

UINT_PTR aimAnimationClock(HWND hidden, UINT_PTR id, UINT delayMs)
{
    const UINT delay = delayMs < 1 ? 1 : delayMs;
    Clock *clock = clockOf(id);
    if (clock)
        stopMultimediaTimer(*clock);
    if (clock && hidden) {
        clock->hidden = hidden;
        clock->id = id;
        clock->multimediaTimerId = timeSetEvent(delay, 1, postTick, reinterpret_cast<DWORD_PTR>(clock),
                                                TIME_ONESHOT | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
        if (clock->multimediaTimerId != 0) {
            KillTimer(hidden, id);
            return id;
        }
    }
    // The window timer cannot be aimed as finely; it ticks until aimed again.
    return SetTimer(hidden, id, delay, nullptr);
}

BOOL stopAnimationClock(HWND hidden, UINT_PTR id)
{
    if (Clock *clock = clockOf(id))
        stopMultimediaTimer(*clock);
    return KillTimer(hidden, id);
}

void animationClockTicked(UINT_PTR id)
{
    if (Clock *clock = clockOf(id))
        clock->tickQueued = false;
}
