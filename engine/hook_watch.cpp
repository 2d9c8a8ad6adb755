#include "engine/hook_watch.h"

#include <cstdint>

bool hookLooksLost(const HookSighting &seen, DWORD lastInputTime, POINT cursor)
{
    // Tick counts wrap after 49.7 days; their difference does not.
    const auto sinceSeen = static_cast<std::int32_t>(lastInputTime - seen.time);
    return sinceSeen > 0 && (cursor.x != seen.pt.x || cursor.y != seen.pt.y);
}
