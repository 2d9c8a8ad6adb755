#pragma once

#include <memory>

// The user's wheel settings: lines per notch (vertical) and characters per notch
// (horizontal). The program leaves them as they are and expresses every glide in them; it
// only reads the session's values and hands them to the engine (wheel_units.h).
//
// Where a setting gives no unit to scale by (a page per notch, or 0), that setting alone is
// set to 1, for this session only, on a detached worker thread: the user's stored value stays,
// and a crash or a log-off cannot lose it. restoreWheelScrollLines puts it back.

// Reads both settings from the session and publishes them to the engine; a read that fails
// keeps the value in force (Windows' default of 3 before any read). Sets a setting without a
// unit to 1 for the session as above; the caller does not wait for that, and the worker
// reports on standard output. Called at start, by the smoothing switch, on resuming, and
// whenever Windows announces a change of either setting.
void applyWheelScrollLines();

// Which settings a worker sets, and the number of the call that started it.
struct WheelLinesRequest {
    unsigned number = 0;
    bool lines = false;
    bool chars = false;
};

// The worker's body: sets the requested settings to `value` for the session, writes one line
// about the lines to standard output when it set them, and returns 0. A worker whose request
// was undone by a restore while it ran puts the restored values back after its own change.
int wheelLinesThreadProc(std::unique_ptr<int> value, WheelLinesRequest request);

// Puts back, at once, on the calling thread and for the session only, each setting the
// program set to 1, as the user's profile stores it ("WheelScrollLines" and
// "WheelScrollChars"): that holds even when an earlier run ended without putting it back. A
// profile without the value gets what the session had before the first change. Does nothing
// when nothing was set.
void restoreWheelScrollLines();
