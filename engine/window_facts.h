#pragma once
// What the hook and the ticks ask the system about a window. Each answer comes from the
// window's own state: nothing here sends a message to another process or waits.

#include "engine/wheel_route.h"
#include "platform/win32.h"

// The window's top-level window (itself for one); nullptr for no window.
HWND topLevelOf(HWND hwnd);

// Steps reach hwnd, whose top-level window is topLevel, only as input: it or one of its
// ancestors has the class of a modern UI framework. Otherwise they are posted.
bool takesInputOnly(HWND hwnd, HWND topLevel);

// The system's wheel routing at tick count `now`: read again once a change of the system's
// settings was announced, and otherwise at most once a second, not at every notch or step.
WheelRouting wheelRoutingAt(DWORD now);
// The system announced a change of its settings (WM_SETTINGCHANGE). Safe on any thread.
void settingChangeAnnounced();
// The routing is read afresh at its next use (the engine starts).
void forgetWheelRouting();

// pt, a physical point as the hook has it, in hwnd's own coordinates, as the window reads the
// point of a posted message: logical unless it is per-monitor DPI aware. pt when the system
// cannot convert it.
POINT pointForWindow(HWND hwnd, POINT pt);

// The top-level window covers its whole monitor and is not maximized. False when the window
// or its monitor is gone.
bool isFullscreenWindow(HWND topLevel);

// An injected step sent now would reach the route's window, with topLevelUnderCursor the
// top-level window under the cursor (the foreground window is asked only where the routing
// looks at it).
bool injectedStepReachesFrom(const StepRoute &route, HWND topLevelUnderCursor);
// The same with the cursor as it is now (asked only where the routing looks at it), by the
// routing as wheelRoutingAt has it now.
bool injectedStepReachesNow(const StepRoute &route);
