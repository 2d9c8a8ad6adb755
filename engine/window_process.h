#pragma once
// The process behind a window, as far as the platform lets us see it.

#include "platform/win32.h"

#include <string>

struct WindowProcess {
    DWORD pid = 0;
    ULONGLONG startTime = 0; // its creation time; 0 when it cannot be read
    std::wstring fileName;   // the executable's file name; empty when it cannot be determined
    // Its integrity level is above ours: Windows drops every message we post to it. False
    // when either level cannot be read.
    bool outranksUs = false;
};

// Opens the window's process once, for limited query, and closes it again.
WindowProcess windowProcess(HWND hwnd);
// The same for the process `pid` (0: none).
WindowProcess processById(DWORD pid);

// The process `pid` that started at `startTime` has not ended. A process we may not open
// is taken to run; one whose start we could not tell (0) runs while its pid is in use.
bool processStillRuns(DWORD pid, ULONGLONG startTime);

// The full path of the process's executable image, and its file name; empty when the process
// cannot be opened or its name cannot be read.
std::wstring processImagePath(DWORD pid);
std::wstring processFileName(DWORD pid);
