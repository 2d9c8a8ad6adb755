#pragma once
// How an animation's steps reach the window under the cursor. Classic windows take posted
// wheel messages. The windows of the modern UI frameworks (UWP's core window, the frame host
// of Store apps, XAML Islands, WinUI 3) read the wheel from their input stack only and drop
// posted messages: their steps go in as input, which the system routes like a real wheel.

#include "platform/win32.h"

#include <optional>
#include <string_view>

// What our injected steps carry in dwExtraInfo: "Sorv". Clear of the signature Windows puts
// there for pen and touch input (0xFF5157xx), so no other input is taken for ours.
constexpr ULONG_PTR kInjectedStepTag = 0x536F7276;

// A step we injected ourselves: the hook passes it on untouched, so that one notch gives one
// series. The tag alone is not enough: input that is not flagged injected is a real device's.
bool isOwnInjectedStep(DWORD flags, ULONG_PTR extraInfo);

// A window class of a modern UI framework, compared exactly.
bool isInputOnlyWindowClass(std::wstring_view className);

// Where the system sends wheel input (SPI_GETMOUSEWHEELROUTING).
enum class WheelRouting {
    Focus,         // to the foreground window
    Hybrid,        // to the foreground window for desktop applications
    MousePosition, // to the window under the cursor ("scroll inactive windows")
    Unknown,       // the system has no such setting (before Windows 10)
};
WheelRouting wheelRoutingOf(std::optional<UINT> setting);

struct StepRoute {
    bool injected = false;   // steps go in as input instead of posted messages
    HWND topLevel = nullptr; // the target's top-level window
    WheelRouting routing = WheelRouting::Unknown;
};

// An injected step reaches the target while the window the system routes it to belongs to
// the target's top-level window: the one under the cursor with mouse-position routing, the
// foreground one otherwise; with the routing unknown, both must be it.
bool injectedStepReaches(const StepRoute &route, HWND topLevelUnderCursor, HWND foreground);

// A window that covers its whole monitor and is not maximized: a fullscreen game, video or
// slide show, which takes a notch as a command. A maximized window covers the monitor too
// where the taskbar hides itself, and is an ordinary window.
bool coversWholeMonitor(const RECT &window, const RECT &monitor, bool maximized);
