#include "engine/wheel_decision.h"

#include <cstdlib>

int animationDirection(float remaining)
{
    if (remaining > 0.5f)
        return 1;
    if (remaining < -0.5f)
        return -1;
    return 0;
}

WheelAction decideWheelAction(bool animating, bool sameWindow, float remaining, int d)
{
    if (!animating)
        return WheelAction::Start;
    if (!sameWindow)
        return WheelAction::Retarget;
    const int current = animationDirection(remaining);
    const int incoming = d > 0 ? 1 : -1;
    if (current != 0 && current != incoming)
        return std::abs(d) > 120 ? WheelAction::Reverse : WheelAction::Settle;
    return WheelAction::Extend;
}

bool isExcludedProcess(const std::wstring &fileName)
{
    static const wchar_t *const kExcluded[] = {
        L"SystemSettings.exe",
        L"StartMenuExperienceHost.exe",
        L"SearchHost.exe",
    };
    for (const wchar_t *name : kExcluded) {
        if (fileName == name)
            return true;
    }
    return false;
}
