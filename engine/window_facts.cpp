#include "engine/window_facts.h"

#include <atomic>

namespace {

// Deeper nesting than this is not a real window tree; the walk stops rather than loop.
constexpr int kMostAncestors = 64;

bool hasInputOnlyClass(HWND hwnd)
{
    // The longest class name Windows registers is 256 characters; a longer one is cut, and
    // a cut name matches nothing.
    WCHAR name[257];
    const int length = GetClassNameW(hwnd, name, 257);
    return length > 0 && isInputOnlyWindowClass(std::wstring_view(name, std::size_t(length)));
}

WheelRouting systemWheelRouting()
{
    UINT setting = 0;
    if (!SystemParametersInfoW(SPI_GETMOUSEWHEELROUTING, 0, &setting, 0))
        return WheelRouting::Unknown;
    return wheelRoutingOf(setting);
}

// Setting changes announced (WM_SETTINGCHANGE), counted on any thread.
std::atomic<unsigned> s_settingChanges{0};

// The routing as last read, on the engine's thread: when, and after which announcement.
struct RoutingRead {
    bool read = false;
    WheelRouting routing = WheelRouting::Unknown;
    DWORD at = 0;
    unsigned announcement = 0;
};
RoutingRead s_routing;

// A change no announcement told us of (a program that sets it without SPIF_SENDCHANGE) is seen
// within this.
constexpr DWORD kRoutingReadAgainMs = 1000;

} // namespace

WheelRouting wheelRoutingAt(DWORD now)
{
    const unsigned announcement = s_settingChanges.load();
    if (!s_routing.read || s_routing.announcement != announcement || now - s_routing.at >= kRoutingReadAgainMs)
        s_routing = RoutingRead{true, systemWheelRouting(), now, announcement};
    return s_routing.routing;
}

void settingChangeAnnounced()
{
    ++s_settingChanges;
}

void forgetWheelRouting()
{
    s_routing = RoutingRead{};
}

HWND topLevelOf(HWND hwnd)
{
    return hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
}

bool takesInputOnly(HWND hwnd, HWND topLevel)
{
    HWND window = hwnd;
    for (int depth = 0; window && depth < kMostAncestors; ++depth) {
        if (hasInputOnlyClass(window))
            return true;
        if (window == topLevel)
            break;
        window = GetAncestor(window, GA_PARENT);
    }
    return false;
}

bool isFullscreenWindow(HWND topLevel)
{
    RECT window{};
    if (!topLevel || !GetWindowRect(topLevel, &window))
        return false;
    const HMONITOR monitor = MonitorFromWindow(topLevel, MONITOR_DEFAULTTONULL);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!monitor || !GetMonitorInfoW(monitor, &info))
        return false;
    return coversWholeMonitor(window, info.rcMonitor, IsZoomed(topLevel) != FALSE);
}

bool injectedStepReachesFrom(const StepRoute &route, HWND topLevelUnderCursor)
{
    const HWND foreground = route.routing == WheelRouting::MousePosition ? nullptr : GetForegroundWindow();
    return injectedStepReaches(route, topLevelUnderCursor, foreground);
}

bool injectedStepReachesNow(const StepRoute &route)
{
    // By the routing the system has now: the user may change it under a glide, and a step
    // goes where the system sends it, not where the notch's routing would have.
    StepRoute now = route;
    now.routing = wheelRoutingAt(GetTickCount());
    HWND underCursor = nullptr;
    POINT cursor{};
    if (now.routing != WheelRouting::Focus && now.routing != WheelRouting::Hybrid && GetCursorPos(&cursor))
        underCursor = topLevelOf(WindowFromPoint(cursor));
    return injectedStepReachesFrom(now, underCursor);
}

POINT pointForWindow(HWND hwnd, POINT pt)
{
    POINT converted = pt;
    return PhysicalToLogicalPointForPerMonitorDPI(hwnd, &converted) ? converted : pt;
}
