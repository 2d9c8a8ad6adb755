#pragma once

#include <memory>

// Sets the system's wheel-scroll-lines value to 1 on a detached worker thread, so that a
// multiplier of N in a parameter set moves N lines per notch in applications that follow
// the setting. The caller does not wait; the worker reports on standard output.
void applyWheelScrollLines();

// The worker's body: sets the value, writes one line to standard output and returns 0.
int wheelLinesThreadProc(std::unique_ptr<int> value);
