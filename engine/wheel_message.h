#pragma once
// Composition of the wheel messages the animation posts.

#include "platform/win32.h"

// Largest number of wheel units one message carries in its signed 16-bit delta.
constexpr int kMaxWheelUnitsPerMessage = 32767;

// wParam of a wheel message: the delta in the high word as a 16-bit two's-complement value,
// MK_CONTROL / MK_SHIFT in the low word, nothing above the low 32 bits.
WPARAM wheelWParam(int units, bool ctrlDown, bool shiftDown);

// lParam of a wheel message: x in the low word and y in the high word, each cut to 16 bits,
// nothing above the low 32 bits.
LPARAM wheelLParam(POINT pt);

// The part of `units` the next message carries: all of it when it fits the 16-bit delta,
// otherwise the largest amount that does, in the same direction.
int nextWheelChunk(int units);
