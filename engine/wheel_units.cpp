#include "engine/wheel_units.h"

#include "engine/animation_math.h"

#include <atomic>
#include <cstdint>

namespace {

// Both values in one word, so that a reader never sees one from before a change and the
// other from after it.
std::atomic<std::uint64_t> s_published{(std::uint64_t{1} << 32) | 1u};

} // namespace

void publishWheelUnits(WheelUnits units)
{
    s_published.store((std::uint64_t{units.lines} << 32) | units.chars);
}

WheelUnits publishedWheelUnits()
{
    const std::uint64_t word = s_published.load();
    return WheelUnits{static_cast<UINT>(word >> 32), static_cast<UINT>(word & 0xFFFFFFFFu)};
}

bool isUnitCount(UINT perNotch)
{
    return perNotch != 0 && perNotch != WHEEL_PAGESCROLL;
}

int unitDivisorOf(const WheelUnits &units, WheelAxis axis)
{
    const UINT value = axis == WheelAxis::Vertical ? units.lines : units.chars;
    if (!isUnitCount(value))
        return 1;
    return value > UINT(kLargestUnitDivisor) ? kLargestUnitDivisor : static_cast<int>(value);
}

bool isWheelSettingChange(UINT message, WPARAM wParam)
{
    return message == WM_SETTINGCHANGE && (wParam == SPI_SETWHEELSCROLLLINES || wParam == SPI_SETWHEELSCROLLCHARS);
}
