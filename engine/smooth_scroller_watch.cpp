// Keeps the low-level mouse hook installed when the system removes it.
#include "engine/smooth_scroller.h"

#include "engine/engine_log.h"

namespace {

using S = SmoothScroller;

// What the system knows now, taken as the hook's latest sighting: input up to here is no
// sign of a lost hook.
bool currentSighting(HookSighting *now)
{
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    POINT cursor{};
    if (!GetLastInputInfo(&info) || !GetCursorPos(&cursor))
        return false;
    *now = HookSighting{info.dwTime, cursor};
    return true;
}

} // namespace

void SmoothScroller::takeInputAsSeen()
{
    HookSighting now;
    if (currentSighting(&now))
        s_hookSighting = now;
    s_hookWatch = HookWatch{};
}

void SmoothScroller::checkHook()
{
    if (!s_isRunning)
        return;
    HookSighting now;
    if (!currentSighting(&now))
        return;
    const WatchAction action = nextWatchAction(s_hookWatch, s_hookSighting, now, GetTickCount());
    if (action == WatchAction::Wait)
        return;
    // The input that showed the loss must not make us try again if this attempt fails.
    s_hookSighting = now;
    if (s_hHook)
        UnhookWindowsHookEx(s_hHook); // fails when the system has removed it: nothing to undo
    s_hHook = SetWindowsHookExA(WH_MOUSE_LL, LLMouseProc, s_hInstance, 0);
    if (!s_hHook)
        EngineLog::write(EngineLine::HookReinstallFailed, GetLastError());
    else if (action == WatchAction::Reinstall)
        EngineLog::write(EngineLine::HookReinstalled);
}
