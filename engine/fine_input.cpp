#include "engine/fine_input.h"

#include <cstdint>

bool takeFineInput(FineInputTrack &track, int raw, DWORD time)
{
    // Tick counts wrap after 49.7 days; their difference does not. An event stamped before
    // the latest fine one (the system does not promise order across devices) is as close.
    const auto since = static_cast<std::int32_t>(time - track.lastTime);
    const bool fine = raw % 120 != 0 || (track.seen && since < static_cast<std::int32_t>(kFineInputSpanMs));
    if (fine) {
        track.seen = true;
        track.lastTime = time;
    }
    return fine;
}
