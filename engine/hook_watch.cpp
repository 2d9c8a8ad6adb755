#include "engine/hook_watch.h"

#include <algorithm>
#include <cstdint>

bool hookLooksLost(const HookSighting &seen, DWORD lastInputTime, POINT cursor)
{
    // Tick counts wrap after 49.7 days; their difference does not.
    const auto sinceSeen = static_cast<std::int32_t>(lastInputTime - seen.time);
    return sinceSeen > 0 && (cursor.x != seen.pt.x || cursor.y != seen.pt.y);
}

WatchAction nextWatchAction(HookWatch &watch, const HookSighting &seen, const HookSighting &now, DWORD tick)
{
    const bool heardSince = seen.time != watch.planted.time || seen.pt.x != watch.planted.pt.x
        || seen.pt.y != watch.planted.pt.y;
    if (watch.waitMs != 0 && heardSince)
        watch = HookWatch{};
    if (!hookLooksLost(seen, now.time, now.pt))
        return WatchAction::Wait;
    const bool inSeries = watch.waitMs != 0;
    if (inSeries && tick - watch.triedAt < watch.waitMs)
        return WatchAction::Wait;
    watch.planted = now;
    watch.triedAt = tick;
    watch.waitMs = inSeries ? std::min(watch.waitMs * 2, kLongestRetryWaitMs) : kFirstRetryWaitMs;
    return inSeries ? WatchAction::ReinstallQuietly : WatchAction::Reinstall;
}
