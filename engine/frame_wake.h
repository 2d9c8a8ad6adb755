#pragma once
// How a glide paced by the display wakes at its frames. On Windows 11 a helper thread waits for
// the compositor's clock and hands each frame to the engine's thread; elsewhere a
// high-resolution waitable timer, aimed just after each blank, is waited on by the engine
// thread's loop beside its messages. Either way a frame reaches the hidden window as its
// clock's tick, and while no paced glide runs nothing wakes. Called on the engine's thread;
// aiming and cancelling (which the hook does) start, join and wait for nothing.

#include "engine/compositor_clock_thread.h"
#include "platform/win32.h"

// The compositor's clock, looked up at run time (Windows 11); nullptr where there is none.
CompositorClockWait lookUpCompositorClockWait();

// The engine starts: frames come from `wait` where it is given (its helper thread starts now,
// parked), else from the timer.
void prepareFrameWake(CompositorClockWait wait);

// Clock `id` on `hidden` wakes just after the blank `delayMs` from now (the compositor's
// clock finds the blank itself). False where neither the compositor's clock nor a waitable
// timer can be had.
bool aimFrameWake(HWND hidden, UINT_PTR id, double delayMs);

// Clock `id` no longer waits for frames; once no clock does, the timer is cancelled and the
// helper thread parks.
void cancelFrameWake(UINT_PTR id);

// The timer the engine thread's loop waits on beside its messages; nullptr while none is made.
HANDLE frameWakeTimer();

// The loop found the timer signalled: each clock aimed at it gets its tick.
void frameWakeTimerSignalled();

// The loop could not wait on the timer: it is closed, and frames come from the clock's
// one-shot multimedia timer until the engine starts again.
void dropFrameWakeTimer();

// Ends the helper thread and closes the timer (the engine stops).
void closeFrameWake();
