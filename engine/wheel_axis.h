#pragma once
// The two axes of a mouse wheel. Each has an animation of its own, driven by a clock of its
// own on the hidden window and posting the wheel message of its axis.

#include "platform/win32.h"

#include <optional>

enum class WheelAxis { Vertical, Horizontal };

constexpr WheelAxis kWheelAxes[] = {WheelAxis::Vertical, WheelAxis::Horizontal};

// Identifier under which the axis's clock ticks on the hidden window.
constexpr UINT_PTR clockIdOf(WheelAxis axis)
{
    return axis == WheelAxis::Vertical ? 1 : 2;
}

// The wheel message of the axis, as the hook receives it and as the animation posts it.
constexpr UINT wheelMessageOf(WheelAxis axis)
{
    return axis == WheelAxis::Vertical ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL;
}

inline std::optional<WheelAxis> axisOfClock(UINT_PTR id)
{
    for (WheelAxis axis : kWheelAxes) {
        if (clockIdOf(axis) == id)
            return axis;
    }
    return std::nullopt;
}

inline std::optional<WheelAxis> axisOfWheelMessage(WPARAM message)
{
    for (WheelAxis axis : kWheelAxes) {
        if (wheelMessageOf(axis) == message)
            return axis;
    }
    return std::nullopt;
}
