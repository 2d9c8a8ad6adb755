#include "engine/wheel_message.h"

#include <cstdint>

WPARAM wheelWParam(int units, bool ctrlDown, bool shiftDown)
{
    std::uint32_t keys = 0;
    if (ctrlDown)
        keys |= MK_CONTROL;
    if (shiftDown)
        keys |= MK_SHIFT;
    const std::uint32_t delta = static_cast<std::uint16_t>(units);
    return static_cast<WPARAM>((delta << 16) | keys);
}

LPARAM wheelLParam(POINT pt)
{
    const std::uint32_t x = static_cast<std::uint16_t>(pt.x);
    const std::uint32_t y = static_cast<std::uint16_t>(pt.y);
    return static_cast<LPARAM>(static_cast<std::uint64_t>((y << 16) | x));
}

int nextWheelChunk(int units)
{
    if (units > kMaxWheelUnitsPerMessage)
        return kMaxWheelUnitsPerMessage;
    if (units < -kMaxWheelUnitsPerMessage)
        return -kMaxWheelUnitsPerMessage;
    return units;
}
