#pragma once
// A fast spin goes farther: while notches come quickly, in one direction over one window, each
// adds up to `fastSpinMax` times its distance. The same spin always gives the same distance:
// the multiplier follows only the notches' own pace, taken from the performance counter.

#include "config/param_reading.h"
#include "engine/wheel_decision.h"
#include "platform/win32.h"

// Notches this far apart or farther begin afresh at their own distance; at 10 a second and
// slower (reading pace) nothing is multiplied, at 50 a second and faster the whole maximum.
constexpr double kFastSpinPauseMs = 250.0;
constexpr double kFastSpinSlowRate = 10.0;
constexpr double kFastSpinFastRate = 50.0;

// The latest notches of one axis that began or extended a glide, whether or not it still runs.
struct FastSpinTrack {
    bool seen = false;
    double atMs = 0.0; // its performance-counter time
    int direction = 0; // +1 or -1
    HWND window = nullptr;
    int intervals = 0;        // how many of the latest per-notch intervals are kept, 0 to 2
    double intervalMs[2] = {}; // the latest first
};

// The multiplier of a notch whose latest intervals average `meanIntervalMs`, within 1 and
// `maximum`.
double fastSpinMultiplier(int maximum, double meanIntervalMs);

// The notch of direction-adjusted delta `d` at `nowMs` over `window`, which the hook decided
// to take as `action`: records it and gives its multiplier. The history begins afresh, and the
// notch gets 1, when it settles (nothing recorded), reverses or retargets a glide, turns around
// one that had all but arrived, begins one after a pause, lands on another window, or when the
// counter did not advance. An event of 240 units or more counts as that many notches in its
// interval. `maximum` outside 2 to kFastSpinLargest multiplies nothing.
double takeFastSpinNotch(FastSpinTrack &track, double nowMs, int d, HWND window, WheelAction action,
                         int maximum);

// A notch's distance `total` multiplied by `multiplier`, rounded to the nearest wheel unit and
// kept within the largest target.
int spunDistance(int total, double multiplier);
