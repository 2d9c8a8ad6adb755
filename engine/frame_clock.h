#pragma once
// The display's vertical blanks, as the compositor reports them, cached on the engine's
// thread: the hook reads the cache and never calls into the compositor; the paced glide's
// frames ask it again.

#include "engine/paced_glide.h"
#include "platform/win32.h"

// Now, in ms of the frame clock (the performance counter).
double frameClockNow();

// Asks the compositor again. The cache then holds the grid, or nothing where the display
// cannot pace a glide: the call fails, the session is remote, or the rate lies outside 20 to
// 500 Hz. A blank that stopped advancing keeps the phase known before.
void refreshFrameGrid();

// The cached grid, or nullptr when glides follow the interval clock.
const FrameGrid *frameGrid();

// The grid for a glide towards `target`: nullptr also where the target's monitor runs at
// another rate than the grid's, by more than 1 Hz (the compositor follows the primary or the
// fastest monitor). Each monitor's rate is cached, and read again when a display change is
// announced, when the grid's rate changes, and otherwise at most once a second. Not for the
// hook: reading a display mode asks the driver.
const FrameGrid *frameGridFor(HWND target);

// The system announced a display change (WM_DISPLAYCHANGE): the monitors' rates are read again
// at their next frame. Safe on any thread.
void displayChangeAnnounced();

// A paced glide follows the interval clock: said once in the log until the display can pace
// again.
void noteIntervalClockFallback();

// Forgets the grid (the engine starts afresh).
void resetFrameGrid();
