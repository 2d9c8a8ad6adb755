#pragma once

#include <memory>

// Sets the system's wheel-scroll-lines value to 1 on a detached worker thread, so that a
// multiplier of N in a parameter set moves N lines per notch in applications that follow
// the setting; and the wheel-scroll characters (a horizontal notch) to 1 as well, so that N
// means N characters sideways. Both for this session only: the user's stored values stay as
// they are, and a crash or a log-off cannot lose them. The caller does not wait; the worker
// reports on standard output. The values the session had before the first call are kept for
// restoreWheelScrollLines.
void applyWheelScrollLines();

// The worker's body: sets the values, writes one line about the lines to standard output
// and returns 0. `request` numbers the calls of applyWheelScrollLines: a worker whose request
// was undone by a restore while it ran puts the restored values back after its own change.
int wheelLinesThreadProc(std::unique_ptr<int> value, unsigned request);

// Puts back, at once, on the calling thread and for the session only, the lines and the
// characters as the user's profile stores them ("WheelScrollLines" and "WheelScrollChars"):
// those hold even when an earlier run ended without putting them back. A profile without
// the value gets what the session had before the first change. Without a running engine a
// value of 1 would leave every application scrolling one line per notch. Does nothing when
// there is nothing to put back.
void restoreWheelScrollLines();
