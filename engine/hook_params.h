#pragma once
// The members of a parameter set that the wheel hook needs for one event.

#include "platform/win32.h"

#include <nlohmann/json.hpp>

#include <optional>

struct HookParams {
    bool directionNormal = true;
    bool smoothScrollEnabled = true;
    int accelUp = 0;
    int accelDown = 0;
    UINT intervalUp = 0;   // low 32 bits of the stored value, as the timer takes it
    UINT intervalDown = 0;
    int fastSpinMax = 1; // 1: a fast spin goes no farther

    int accel(bool up) const { return up ? accelUp : accelDown; }
    UINT interval(bool up) const { return up ? intervalUp : intervalDown; }
};

// The hook's members of a set, or nothing when the set is absent, is not an object, or lacks
// one of them or holds it as another JSON type. Such an event is passed on, so the user keeps
// the native wheel.
std::optional<HookParams> readHookParams(const nlohmann::json *set);
