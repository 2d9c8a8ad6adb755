#pragma once
// What the hook learns of a window, kept per window handle: its process (file name, start time,
// rights), its top-level window, a Store frame's app name once it has one, and whether its
// class walk found a modern framework. Scrolling brings notch after notch over the same window;
// each finds its entry with a call or two that prove it still holds, instead of opening the
// process and walking the classes again. Nothing that changes without notice is kept here:
// the window under the cursor, visibility, geometry, the foreground window, the keys. Used on
// the engine's thread only.

#include "engine/window_process.h"
#include "platform/win32.h"

#include <optional>
#include <string>

struct WindowLook {
    HWND hwnd = nullptr;
    DWORD thread = 0;        // the thread that owns it (GetWindowThreadProcessId)
    HWND topLevel = nullptr; // its root
    WindowProcess process;
    bool frame = false;                  // topLevel is a Store app's frame
    std::optional<std::wstring> appName; // that frame's app, once its content is there
    bool inputOnly = false;              // steps reach it as input only (takesInputOnly)
    DWORD takenAt = 0;                   // tick count of the look
};

class WindowCache {
public:
    // Windows looked at lately; the one looked at longest ago gives way to a new one.
    static constexpr int kSize = 8;
    // An entry is taken afresh after this long, whatever the checks say. They prove the same
    // window of the same thread and process under the same root; what they cannot see (the
    // same thread giving a freed handle to a window of another class, a process lowering its
    // own rights) is rare, and this bounds how long it can mislead the hook at the cost of one
    // full look every two seconds of scrolling over a window.
    static constexpr DWORD kMostAgeMs = 2000;

    // The look at hwnd at tick count `now`: its entry where the checks prove it still holds,
    // else taken afresh (and kept, when the process could be read). A Store frame that had
    // no content yet is looked at again. The reference holds until the next call.
    const WindowLook &look(HWND hwnd, DWORD now);
    void clear();

private:
    WindowLook m_entries[kSize];
    WindowLook m_uncached; // a look that is not kept
};
