#pragma once
// The user's wheel setting as the engine divides the glides by it: lines per notch for the
// vertical wheel, characters per notch for the horizontal one. The GUI thread reads the
// session's values and publishes them; the hook, on the engine's thread, reads them without
// waiting, as it reads the published configuration.

#include "engine/wheel_axis.h"
#include "platform/win32.h"

struct WheelUnits {
    UINT lines = 1;
    UINT chars = 1;
};

void publishWheelUnits(WheelUnits units);
WheelUnits publishedWheelUnits();

// What a new animation on `axis` divides its steps by: the axis's value, or 1 where the
// value gives no unit to scale by (a page per notch, or 0).
int unitDivisorOf(const WheelUnits &units, WheelAxis axis);

// The value gives a number of lines (characters) per notch: not 0, not WHEEL_PAGESCROLL.
bool isUnitCount(UINT perNotch);

// A window message that announces a change of the wheel lines or characters
// (WM_SETTINGCHANGE with SPI_SETWHEELSCROLLLINES or SPI_SETWHEELSCROLLCHARS).
bool isWheelSettingChange(UINT message, WPARAM wParam);
