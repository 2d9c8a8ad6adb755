#include "engine/frame_clock.h"

#include "engine/engine_log.h"
#include "platform/win32.h"

#include <cmath>

namespace {

// Used on the engine's thread only.
struct Cache {
    FrameGrid grid;
    bool usable = false;
    bool known = false; // a grid has been read at least once (its phase can be kept)
    bool fallbackSaid = false;
    // The latest target monitor asked, its rate (0: unknown) and the grid period it was read at.
    HMONITOR monitor = nullptr;
    double monitorHz = 0.0;
    double monitorReadAtPeriod = 0.0;
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

const FrameGrid *frameGridFor(HWND target)
{
    const FrameGrid *grid = frameGrid();
    if (!grid)
        return nullptr;
    const HMONITOR monitor = MonitorFromWindow(target, MONITOR_DEFAULTTONEAREST);
    if (!monitor)
        return grid;
    if (monitor != s_cache.monitor || grid->periodMs != s_cache.monitorReadAtPeriod) {
        s_cache.monitor = monitor;
        s_cache.monitorReadAtPeriod = grid->periodMs;
        s_cache.monitorHz = 0.0;
        MONITORINFOEXW info = {};
        info.cbSize = sizeof(info);
        DEVMODEW mode = {};
        mode.dmSize = sizeof(mode);
        if (GetMonitorInfoW(monitor, &info) && EnumDisplaySettingsW(info.szDevice, ENUM_CURRENT_SETTINGS, &mode))
            s_cache.monitorHz = static_cast<double>(mode.dmDisplayFrequency);
    }
    // 0 and 1 stand for the hardware's default rate: nothing to compare.
    if (s_cache.monitorHz <= 1.0)
        return grid;
    return std::fabs(s_cache.monitorHz - 1000.0 / grid->periodMs) <= 1.0 ? grid : nullptr;
}

void forgetMonitorRate()
{
    s_cache.monitor = nullptr;
}

void noteIntervalClockFallback()
{
    if (s_cache.fallbackSaid)
        return;
    s_cache.fallbackSaid = true;
    EngineLog::write(EngineLine::IntervalClockFallback);
}

void resetFrameGrid()
{
    s_cache = Cache{};
}
