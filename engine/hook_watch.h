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
