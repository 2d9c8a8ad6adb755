#pragma once

#include <memory>

// Sets the system's wheel-scroll-lines value to 1 on a detached worker thread, so that a
// multiplier of N in a parameter set moves N lines per notch in applications that follow
// the setting. The caller does not wait; the worker reports on standard output. The value
// the system had before the first call is kept for restoreWheelScrollLines.
void applyWheelScrollLines();

// The worker's body: sets the value, writes one line to standard output and returns 0.
// `request` numbers the calls of applyWheelScrollLines: a worker whose request was undone by
// a restore while it ran puts the restored value back after its own change.
int wheelLinesThreadProc(std::unique_ptr<int> value, unsigned request);

// Puts back, at once and on the calling thread, the value the system had before this
// program changed it: without a running engine a value of 1 would leave every application
// scrolling one line per notch. Does nothing when there is nothing to put back.
void restoreWheelScrollLines();
