#include "engine/frame_clock.h"

#include "platform/win32.h"

#include <QDebug>

namespace {

// Used on the engine's thread only.
struct Cache {
    FrameGrid grid;
    bool usable = false;
    bool known = false; // a grid has been read at least once (its phase can be kept)
    bool fallbackSaid = false;
};
Cache s_cache;

unsigned long long qpcFrequency()
{
    static const unsigned long long frequency = [] {
        LARGE_INTEGER f;
        return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? static_cast<unsigned long long>(f.QuadPart) : 0ULL;
    }();
    return frequency;
}

unsigned long long qpcNow()
{
    LARGE_INTEGER now;
    return QueryPerformanceCounter(&now) ? static_cast<unsigned long long>(now.QuadPart) : 0ULL;
}

} // namespace

double frameClockNow()
{
    return qpcToMs(qpcNow(), qpcFrequency());
}

void refreshFrameGrid()
{
    s_cache.usable = false;
    // A remote session's frames are those of another machine's display.
    if (GetSystemMetrics(SM_REMOTESESSION) != 0)
        return;
    DWM_TIMING_INFO info = {};
    info.cbSize = sizeof(info);
    // With no window: since Windows 8.1 the compositor answers for the desktop.
    if (FAILED(DwmGetCompositionTimingInfo(nullptr, &info)))
        return;
    FrameGrid grid;
    if (!gridFromTiming(info.rateRefresh.uiNumerator, info.rateRefresh.uiDenominator, info.qpcRefreshPeriod,
                        info.qpcVBlank, qpcNow(), qpcFrequency(), s_cache.known ? &s_cache.grid : nullptr, grid))
        return;
    s_cache.grid = grid;
    s_cache.usable = true;
    s_cache.known = true;
    s_cache.fallbackSaid = false;
}

const FrameGrid *frameGrid()
{
    return s_cache.usable ? &s_cache.grid : nullptr;
}

void noteIntervalClockFallback()
{
    if (s_cache.fallbackSaid)
        return;
    s_cache.fallbackSaid = true;
    qInfo() << "[SmoothScroller] The display's frames cannot pace the glide. Following the interval clock.";
}

void resetFrameGrid()
{
    s_cache = Cache{};
}
