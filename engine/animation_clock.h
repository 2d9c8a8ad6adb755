#pragma once
// The clocks that drive the animations, one per wheel axis. The window timer cannot tick
// faster than 10 ms, and Windows rounds it up to its timer tick (15.6 ms unless raised), so a
// multimedia timer beats the time instead: its callback only posts kClockTickMessage with the
// clock's id to the hidden window, so that every tick still runs on the engine's thread, one
// after another with the hook calls, and any message loop (a modal one too) delivers it. Where no
// multimedia timer can be had, the window timer of the same id takes over.

#include "platform/win32.h"

// Not WM_TIMER: the toolkit's event loop drops a second WM_TIMER of the same window and id
// within one pass, counting on Windows to make it again, which it does only for its own.
// wParam is the clock's id.
constexpr UINT kClockTickMessage = WM_APP + 1;

// Starts the ticks of clock `id` (clockIdOf) on `hidden` every `interval` ms, replacing that
// clock if it runs, as SetTimer replaces a timer of the same id. Returns what SetTimer
// returns: the timer's id, or 0 with the error in GetLastError.
UINT_PTR startAnimationClock(HWND hidden, UINT_PTR id, UINT interval);

// Stops the ticks of clock `id`: its multimedia timer if one runs (which releases the raised
// system timer resolution once no clock needs it), and the window timer `id` on `hidden`.
// Returns KillTimer's result.
BOOL stopAnimationClock(HWND hidden, UINT_PTR id);

// Wakes clock `id` once, `delayMs` from now, in place of its ticks: a glide paced by the
// display aims it just after the next vertical blank, and again at every frame, so that
// nothing wakes once the glide ends. The frame wake (frame_wake.h) wakes it where it can, a
// one-shot multimedia timer otherwise. Returns as startAnimationClock.
UINT_PTR aimAnimationClock(HWND hidden, UINT_PTR id, double delayMs);

// Posts one tick of clock `id` to `hidden`, unless one is still waiting in the queue. Safe on
// any thread.
void postClockTick(HWND hidden, UINT_PTR id);

// To be called for each tick of clock `id` the hidden window receives: the clock posts no
// further tick while one is still waiting in the queue, so a stalled thread gets one tick,
// not a burst.
void animationClockTicked(UINT_PTR id);
