#pragma once
// The applications that have a window on screen now, for the chooser of "+".

#include "platform/win32.h"
#include "ui/running_application.h"

#include <vector>

// What decides whether a top-level window stands for an application the user sees.
struct TopLevelWindowFacts {
    bool visible = false;
    bool cloaked = false; // hidden by the window manager: a suspended Store app, a shell
                          // flyout, a window on another virtual desktop
    bool hasTitle = false;
    bool owned = false;
    DWORD exStyle = 0;
};

// Visible, not cloaked, with a title, and either an unowned window that is not a tool
// window or one that asks for a taskbar button of its own (WS_EX_APPWINDOW).
bool offersApplication(const TopLevelWindowFacts &facts);

// One entry per file name, sorted by name without regard to letter case, each with the
// title of its topmost window. Left out: our own process, the frame host and its frames
// without content, the system processes that are never animated, and processes whose name
// cannot be read. Asks each window only what it keeps itself: no message is sent to any
// window, so a hung program cannot hold the caller. hasProfile is left false.
std::vector<RunningApplication> runningApplications();
