#pragma once
// Whether Windows has taken our low-level mouse hook away. It does so, without telling us,
// when the hook's thread does not answer within LowLevelHooksTimeout, for example while the
// machine is too busy to run it.

#include "platform/win32.h"

// What our hook last saw: the time stamp and cursor position of its latest event.
struct HookSighting {
    DWORD time = 0; // GetTickCount time
    POINT pt = {0, 0};
};

// The system took mouse input later than the hook's latest event, and the cursor stands
// somewhere else than that event left it: the mouse moved without the hook hearing of it.
// Keyboard input alone moves no cursor, and a still hook is no sign of a lost one.
bool hookLooksLost(const HookSighting &seen, DWORD lastInputTime, POINT cursor);

// The watch's series of reinstalls. A reinstall that brings no input back (the silence had
// another cause: a remote session, a device gone quiet) is no reason to try again every
// second: each next try waits twice as long, up to about a minute. Input the hook hears
// ends the series, so a hook the system removes later is put back at the first look again.
struct HookWatch {
    HookSighting planted; // what the watch took as seen at its latest reinstall
    DWORD triedAt = 0;    // GetTickCount time of that reinstall
    DWORD waitMs = 0;     // before the next try may be made; 0 while no series runs
};

constexpr DWORD kFirstRetryWaitMs = 2000;
constexpr DWORD kLongestRetryWaitMs = 60000;

enum class WatchAction {
    Wait,             // the hook looks well, or the next try is not due yet
    Reinstall,        // the first try of a series: worth a log line
    ReinstallQuietly, // a later try of the same series
};

// What the watch does at GetTickCount time `tick`, given the hook's latest sighting `seen`
// and the system's present input `now`; `watch` is updated as though it was done.
WatchAction nextWatchAction(HookWatch &watch, const HookSighting &seen, const HookSighting &now, DWORD tick);
