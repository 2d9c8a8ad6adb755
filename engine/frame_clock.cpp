#include "engine/frame_clock.h"

#include "engine/engine_log.h"
#include "platform/win32.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <iterator>

namespace {

// A monitor's rate as its display mode gives it (0: unknown), and when it was read: at which
// tick count, grid period and announcement of a display change.
struct MonitorRate {
    HMONITOR monitor = nullptr;
    double hz = 0.0;
    DWORD readAt = 0;
    double readAtPeriod = 0.0;
    unsigned announcement = 0;
};

// Used on the engine's thread only.
struct Cache {
    FrameGrid grid;
    bool usable = false;
    bool known = false; // a grid has been read at least once (its phase can be kept)
    bool fallbackSaid = false;
    // The monitors that glides went to lately, the latest first.
    MonitorRate rates[4];
};
Cache s_cache;

// Display changes announced (WM_DISPLAYCHANGE), counted on any thread.
std::atomic<unsigned> s_displayChanges{0};

// A rate no announcement told us of (a driver that changes modes quietly) is seen within this.
constexpr DWORD kRateReadAgainMs = 1000;

// Asks the driver for the monitor's current rate: it can take a frame or more.
double readMonitorHz(HMONITOR monitor)
{
    MONITORINFOEXW info = {};
    info.cbSize = sizeof(info);
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    if (GetMonitorInfoW(monitor, &info) && EnumDisplaySettingsW(info.szDevice, ENUM_CURRENT_SETTINGS, &mode))
        return static_cast<double>(mode.dmDisplayFrequency);
    return 0.0;
}

// The cached rate of `monitor`, read again when it is unknown, a display change was announced,
// the grid's rate changed (the display's mode did) or it is a second old.
double monitorHz(HMONITOR monitor, double gridPeriod)
{
    MonitorRate *const begin = std::begin(s_cache.rates);
    MonitorRate *const end = std::end(s_cache.rates);
    MonitorRate *found = std::find_if(begin, end, [&](const MonitorRate &r) { return r.monitor == monitor; });
    if (found == end)
        found = end - 1; // the one asked longest ago gives way
    std::rotate(begin, found, found + 1);
    MonitorRate &rate = *begin;
    const DWORD now = GetTickCount();
    const unsigned announcement = s_displayChanges.load();
    if (rate.monitor != monitor || rate.announcement != announcement || rate.readAtPeriod != gridPeriod
        || now - rate.readAt >= kRateReadAgainMs) {
        rate = MonitorRate{monitor, readMonitorHz(monitor), now, gridPeriod, announcement};
    }
    return rate.hz;
}

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
    const double hz = monitorHz(monitor, grid->periodMs);
    // 0 and 1 stand for the hardware's default rate: nothing to compare.
    if (hz <= 1.0)
        return grid;
    return std::fabs(hz - 1000.0 / grid->periodMs) <= 1.0 ? grid : nullptr;
}

void displayChangeAnnounced()
{
    ++s_displayChanges;
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
