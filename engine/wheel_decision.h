#pragma once
// What a wheel notch that is to be animated does to the running animation.

#include <string>

enum class WheelAction {
    Extend,   // same window, same direction or as good as arrived: add to the target
    Settle,   // same window, slightly opposite: stop where it is
    Reverse,  // same window, strongly opposite: replace it by a new animation
    Retarget, // another window: drop the old animation and start there
    Start,    // no animation runs
};

// Direction the animation is still moving in: +1, -1, or 0 when within half a unit.
int animationDirection(float remaining);

// `d` is the direction-adjusted wheel delta of the notch; more than one standard notch
// against the running direction reverses it.
WheelAction decideWheelAction(bool animating, bool sameWindow, float remaining, int d);

// System processes whose wheel events are never animated; compared exactly, letter case
// significant.
bool isExcludedProcess(const std::wstring &fileName);
