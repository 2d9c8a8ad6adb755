#include "engine/wheel_route.h"

bool isOwnInjectedStep(DWORD flags, ULONG_PTR extraInfo)
{
    return (flags & LLMHF_INJECTED) != 0 && extraInfo == kInjectedStepTag;
}

bool isInputOnlyWindowClass(std::wstring_view className)
{
    static constexpr std::wstring_view kClasses[] = {
        L"Windows.UI.Core.CoreWindow",                        // UWP
        L"ApplicationFrameWindow",                            // the frame host of Store apps
        L"ApplicationFrameInputSinkWindow",
        L"Windows.UI.Input.InputSite.WindowClass",            // XAML Islands' input site
        L"Windows.UI.Composition.DesktopWindowContentBridge", // XAML Islands' host
        L"Microsoft.UI.Content.DesktopChildSiteBridge",       // WinUI 3 and its islands
        L"Microsoft.UI.Content.PopupWindowSiteBridge",        // WinUI 3 pop-ups and lists
        L"InputSiteWindowClass",                              // WinUI 3's input site
    };
    for (std::wstring_view name : kClasses) {
        if (className == name)
            return true;
    }
    return false;
}

WheelRouting wheelRoutingOf(std::optional<UINT> setting)
{
    if (!setting)
        return WheelRouting::Unknown;
    switch (*setting) {
    case MOUSEWHEEL_ROUTING_FOCUS: return WheelRouting::Focus;
    case MOUSEWHEEL_ROUTING_HYBRID: return WheelRouting::Hybrid;
    case MOUSEWHEEL_ROUTING_MOUSE_POS: return WheelRouting::MousePosition;
    default: return WheelRouting::Unknown;
    }
}

bool injectedStepReaches(const StepRoute &route, HWND topLevelUnderCursor, HWND foreground)
{
    if (!route.topLevel)
        return false;
    const bool underCursor = topLevelUnderCursor == route.topLevel;
    const bool inForeground = foreground == route.topLevel;
    switch (route.routing) {
    case WheelRouting::MousePosition: return underCursor;
    case WheelRouting::Focus:
    case WheelRouting::Hybrid: return inForeground;
    case WheelRouting::Unknown: break;
    }
    return underCursor && inForeground;
}

bool coversWholeMonitor(const RECT &window, const RECT &monitor, bool maximized)
{
    return !maximized && monitor.right > monitor.left && monitor.bottom > monitor.top
        && window.left <= monitor.left && window.top <= monitor.top && window.right >= monitor.right
        && window.bottom >= monitor.bottom;
}
