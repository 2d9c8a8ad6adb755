#pragma once
// Wheel input that a device already scrolls finely: touchpads with legacy drivers, wheels of
// high resolution, drivers that smooth on their own. Such input follows the finger already;
// easing it again would only make it longer and late, so it goes on as it came.

#include "platform/win32.h"

// How long after a fine-grained event the next one on the same axis counts as fine as well,
// whatever its delta: a touchpad stream may sum to a whole notch in one event.
constexpr DWORD kFineInputSpanMs = 300;

// The latest fine-grained event of one axis.
struct FineInputTrack {
    bool seen = false;
    DWORD lastTime = 0; // its GetTickCount time
};

// Whether the event of raw delta `raw` at `time` is fine-grained: its delta is not a whole
// multiple of a notch (120), or a fine-grained event on the axis came less than
// kFineInputSpanMs before it. A fine-grained event becomes the axis's latest.
bool takeFineInput(FineInputTrack &track, int raw, DWORD time);
