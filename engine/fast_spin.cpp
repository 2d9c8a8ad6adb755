#include "engine/fast_spin.h"

#include "engine/animation_math.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

void beginAfresh(FastSpinTrack &track, double nowMs, int direction, HWND window)
{
    track = FastSpinTrack{true, nowMs, direction, window, 0, {}};
}

} // namespace

double fastSpinMultiplier(int maximum, double meanIntervalMs)
{
    if (maximum <= 1 || maximum > kFastSpinLargest || !(meanIntervalMs > 0.0))
        return 1.0;
    const double rate = 1000.0 / meanIntervalMs;
    const double m = 1.0 + (maximum - 1) * (rate - kFastSpinSlowRate) / (kFastSpinFastRate - kFastSpinSlowRate);
    return std::clamp(m, 1.0, static_cast<double>(maximum));
}

double takeFastSpinNotch(FastSpinTrack &track, double nowMs, int d, HWND window, WheelAction action,
                         int maximum)
{
    // A settle neither begins nor extends a glide: nothing of the spin is left after it.
    if (action == WheelAction::Settle) {
        track = FastSpinTrack{};
        return 1.0;
    }
    const int direction = d > 0 ? 1 : -1;
    const double sinceMs = nowMs - track.atMs;
    // A counter that stands still or runs back tells nothing of the pace: such a notch is
    // taken at its own distance rather than at the maximum.
    const bool carriesOn = track.seen && std::isfinite(sinceMs) && sinceMs > 0.0
        && direction == track.direction && window == track.window
        && (action == WheelAction::Extend || (action == WheelAction::Start && sinceMs < kFastSpinPauseMs));
    if (!carriesOn) {
        beginAfresh(track, nowMs, direction, window);
        return 1.0;
    }
    // Two notches in one event came within its interval: each had half of it.
    const int notches = std::max(1, std::abs(d) / 120);
    const double perNotch = sinceMs / notches;
    for (int i = 0; i < std::min(notches, 2); ++i) {
        track.intervalMs[1] = track.intervalMs[0];
        track.intervalMs[0] = perNotch;
        track.intervals = std::min(track.intervals + 1, 2);
    }
    track.atMs = nowMs;
    const double mean = track.intervals == 2 ? (track.intervalMs[0] + track.intervalMs[1]) / 2.0 : track.intervalMs[0];
    return fastSpinMultiplier(maximum, mean);
}

int spunDistance(int total, double multiplier)
{
    if (multiplier == 1.0)
        return total;
    const double spun = std::round(static_cast<double>(total) * multiplier);
    return static_cast<int>(std::clamp(spun, -static_cast<double>(kLargestTarget), static_cast<double>(kLargestTarget)));
}
