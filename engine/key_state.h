#pragma once

#include "platform/win32.h"

// A key is down while the high bit of its asynchronous state is set; the low bit only
// says it was pressed since the last query.
inline bool isKeyDown(int vk)
{
    return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

// Shift, Ctrl or Alt is down. Asked in this order, stopping at the first key that is down.
inline bool isModifierDown()
{
    return isKeyDown(VK_SHIFT) || isKeyDown(VK_CONTROL) || isKeyDown(VK_MENU);
}
