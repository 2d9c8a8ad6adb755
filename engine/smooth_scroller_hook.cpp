#include "engine/smooth_scroller.h"

#include "config/config_document.h"
#include "engine/animation_clock.h"
#include "engine/animation_math.h"
#include "engine/engine_log.h"
#include "engine/frame_clock.h"
#include "engine/paced_glide.h"
#include "engine/hook_params.h"
#include "engine/key_state.h"
#include "engine/wheel_decision.h"
#include "engine/wheel_units.h"
#include "engine/window_cache.h"
#include "engine/window_facts.h"

namespace {

using S = SmoothScroller;

constexpr LRESULT kSwallow = 1;

LRESULT passOn(int nCode, WPARAM wParam, LPARAM lParam)
{
    return CallNextHookEx(S::s_hHook, nCode, wParam, lParam);
}

bool isButtonPress(WPARAM wParam)
{
    return wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN || wParam == WM_MBUTTONDOWN;
}

// A window under the cursor that can take an animation. Windows of a process that drops
// our posts keep their own wheel, so that no notch is lost over them. (A window that is gone
// is not visible either.)
bool isAnimatableWindow(HWND hwnd, const WindowProcess &process)
{
    return hwnd && hwnd != S::s_hWnd && IsWindowVisible(hwnd)
        && !process.outranksUs && !S::s_refusedProcesses.refuses(process.pid, process.startTime);
}

// What a notch that is to be animated brings: its window and point, its distance and the
// clock's interval, the way its steps go, and the document the hook holds for it.
struct Notch {
    HWND hwnd;
    POINT pt;
    int total; // a fast spin's multiple included, once the notch's action is known
    UINT interval;
    StepRoute route;
    const nlohmann::json &document;
    int unitDivisor; // the user's lines (characters) per notch, for a new animation
    bool paced;      // the display's frames pace the glide it begins or restarts
};

// The notch that begins or restarts a glide fixes its mode and interval, and a paced glide's
// schedule starts at the last vertical blank at or before the notch (from the cached grid:
// the hook never asks the compositor or the display). Following the interval clock, it starts
// now.
void fixPacing(ScrollAnimation &a, const Notch &notch)
{
    a.intervalMs = notch.interval;
    a.paced = notch.paced;
    a.frameWake = false;
    if (!notch.paced)
        return;
    const double now = frameClockNow();
    const FrameGrid *grid = frameGrid();
    beginSchedule(a, grid ? lastBlankAtOrBefore(*grid, now) : now, notch.interval);
}

// Starts the clock of a glide that begins. A paced glide's clock is aimed instead of started
// (its first step, just below, aims it at the next frame), so that no interval timer is made
// only to be taken down again inside the hook.
UINT_PTR startClock(WheelAxis axis, const Notch &notch)
{
    if (!notch.paced)
        return startAnimationClock(S::s_hWnd, clockIdOf(axis), notch.interval);
    S::animation(axis).frameWake = true;
    return aimAnimationClock(S::s_hWnd, clockIdOf(axis), notch.interval);
}

// The notch is not kept waiting a whole interval for its first step: it is taken here, inside
// the hook, and the clock takes the ones after it. Taken here, it does not depend on when the
// message loop next looks at the hidden window's queue.
void firstStep(WheelAxis axis, const Notch &notch)
{
    S::takeFirstStep(axis, notch.document);
}

// The point the steps carry, converted once as the animation begins: target and point stay
// fixed until it begins again. Injected steps carry none.
POINT stepPoint(const Notch &notch)
{
    return notch.route.injected ? notch.pt : pointForWindow(notch.hwnd, notch.pt);
}

void restartAccumulated(WheelAxis axis, const Notch &notch)
{
    ScrollAnimation &a = S::animation(axis);
    if (extendAnimation(a, notch.total) != ExtendOutcome::RestartClock || !S::hiddenWindowExists())
        return;
    restartAnimation(a, notch.hwnd, stepPoint(notch), notch.route);
    fixPacing(a, notch);
    EngineLog::write(EngineLine::RestartingTimer);
    const UINT_PTR id = startClock(axis, notch);
    if (id != 0) {
        a.activeTimerId = id;
        firstStep(axis, notch);
    } else {
        EngineLog::write(EngineLine::RestartTimerFailed);
        a.isAnimating = false;
    }
}

void startNew(WheelAxis axis, const Notch &notch, bool announce)
{
    ScrollAnimation &a = S::animation(axis);
    if (announce)
        EngineLog::write(EngineLine::NewAnimation, notch.total);
    if (a.activeTimerId != 0 && S::hiddenWindowExists()) {
        EngineLog::write(EngineLine::StoppingPreviousTimer);
        stopAnimationClock(S::s_hWnd, a.activeTimerId);
        a.activeTimerId = 0;
    }
    beginAnimation(a, notch.hwnd, stepPoint(notch), notch.total, notch.route, notch.unitDivisor);
    fixPacing(a, notch);
    EngineLog::write(EngineLine::InitiatingAnimation, a.targetPos);

    if (S::hiddenWindowExists()) {
        const UINT_PTR id = startClock(axis, notch);
        if (id != 0) {
            a.activeTimerId = id;
            EngineLog::write(EngineLine::NewTimerSet, id);
            firstStep(axis, notch);
        } else {
            const DWORD error = GetLastError();
            EngineLog::write(EngineLine::NewTimerFailed, error);
            a.isAnimating = false;
            a.activeTimerId = 0;
        }
    } else {
        EngineLog::write(EngineLine::NoHiddenWindow);
        a.isAnimating = false;
    }
}

// A notch of a set that only reverses the wheel: the notch itself, reversed, as one message
// the way the steps go. False when the system would not take it; the notch then goes on
// as it came rather than be lost.
bool sendReversed(WheelAxis axis, const Notch &notch)
{
    if (notch.route.injected)
        return S::injectWheel(notch.total, axis);
    return S::postWheelTo(notch.hwnd, stepPoint(notch), notch.total, axis);
}

// Input a device scrolls finely already goes on untouched; a glide on its axis would fight
// it, so the glide ends first, over whatever window it runs.
bool leftToDevice(WheelAxis axis, const MSLLHOOKSTRUCT &event)
{
    const int raw = static_cast<short>(HIWORD(event.mouseData));
    if (!takeFineInput(S::fineInput(axis), raw, event.time))
        return false;
    if (S::animation(axis).isAnimating) {
        EngineLog::write(EngineLine::FineInputStops);
        S::stopAnimation(axis);
    }
    return true;
}

// The notch's distance as a fast spin makes it. Its time is the performance counter's as the
// hook takes the notch up: the event's own follows the tick count, whose coarse steps would
// make one spin go different distances.
int spunTotal(WheelAxis axis, const Notch &notch, double nowMs, int d, WheelAction action, int fastSpinMax)
{
    if (axis != WheelAxis::Vertical)
        return notch.total;
    return spunDistance(notch.total, takeFastSpinNotch(S::s_fastSpin, nowMs, d, notch.hwnd, action, fastSpinMax));
}

LRESULT handleWheel(WheelAxis axis, int nCode, WPARAM wParam, LPARAM lParam)
{
    ScrollAnimation &a = S::animation(axis);
    if (lParam != 0 && leftToDevice(axis, *reinterpret_cast<const MSLLHOOKSTRUCT *>(lParam)))
        return passOn(nCode, wParam, lParam);
    if (isModifierDown()) {
        EngineLog::write(EngineLine::ModifierBypass);
        if (a.isAnimating)
            S::stopAnimation(axis);
        return passOn(nCode, wParam, lParam);
    }
    if (lParam == 0)
        return passOn(nCode, wParam, lParam);
    // Taken once the cheap ways of passing on are behind: fine input and modifiers never ask.
    const double nowMs = frameClockNow();

    const auto *event = reinterpret_cast<const MSLLHOOKSTRUCT *>(lParam);
    const int raw = static_cast<short>(HIWORD(event->mouseData));
    const POINT pt = event->pt;
    const HWND hwnd = WindowFromPoint(pt);

    // Every read of this event comes from one published snapshot, held for the event: it
    // cannot change under us and is read only, at the same cost for any number of profiles.
    const ConfigSnapshot snapshot = sharedConfigSnapshot();
    const WindowLook &look = S::s_windowCache.look(hwnd, event->time);
    const WindowProcess &process = look.process;
    const HWND topLevel = look.topLevel;
    // Inside a Store app's frame the set and the exclusion go by the app's own name, over its
    // title bar as over its content; every other check stays with the window under the cursor.
    const std::wstring &fileName = look.appName ? *look.appName : process.fileName;
    const auto params = readHookParams(S::resolveParamSet(fileName, *snapshot, axis));
    if (!params)
        return passOn(nCode, wParam, lParam);

    const int d = params->directionNormal ? raw : -raw;
    a.lastDelta = d;
    if (isExcludedProcess(fileName) || d == 0)
        return passOn(nCode, wParam, lParam);
    // With smoothing off the notch goes on untouched, unless the set reverses it: then it
    // is sent reversed, the same size, as one message.
    const bool reverseOnly = !params->smoothScrollEnabled;
    if (reverseOnly && params->directionNormal)
        return passOn(nCode, wParam, lParam);

    const bool up = d > 0;
    const int total = reverseOnly ? d : saturatedProduct(params->accel(up), d);
    // A multiplier of 0 would swallow the notch and scroll nothing at all.
    if (total == 0 || !isAnimatableWindow(hwnd, process))
        return passOn(nCode, wParam, lParam);

    // Fullscreen games, players and slide shows take a notch as a command: it goes through
    // whole, unless the user gave the application a set of its own. An animation running
    // elsewhere carries on.
    if (a.paramSet == S::kDefaultSetName && isFullscreenWindow(topLevel))
        return passOn(nCode, wParam, lParam);
    // Injected steps go where the system routes the wheel; where that is not this window,
    // the notch keeps its own way rather than scroll another one.
    const StepRoute route{look.inputOnly, topLevel,
                          look.inputOnly ? wheelRoutingAt(event->time) : WheelRouting::Unknown};
    Notch notch{hwnd,      pt,        total, params->interval(up), route,
                *snapshot, unitDivisorOf(publishedWheelUnits(), axis), displayPacedIn(*snapshot)};
    if (notch.route.injected && !injectedStepReachesFrom(notch.route, topLevel))
        return passOn(nCode, wParam, lParam);
    if (reverseOnly)
        return sendReversed(axis, notch) ? kSwallow : passOn(nCode, wParam, lParam);

    const WheelAction action = decideWheelAction(a.isAnimating, hwnd == a.targetHwnd, remainingDistance(a), d);
    notch.total = spunTotal(axis, notch, nowMs, d, action, params->fastSpinMax);
    switch (action) {
    case WheelAction::Settle:
        EngineLog::write(EngineLine::SlightOpposite, d);
        settleAnimation(a);
        if (a.paced)
            settleSchedule(a);
        break;
    case WheelAction::Extend:
        restartAccumulated(axis, notch);
        break;
    case WheelAction::Reverse:
        EngineLog::write(EngineLine::SignificantOpposite, d);
        startNew(axis, notch, false);
        break;
    case WheelAction::Retarget:
        EngineLog::write(EngineLine::TargetChanged);
        startNew(axis, notch, true);
        break;
    case WheelAction::Start:
        startNew(axis, notch, true);
        break;
    }
    // A first step the system would not take leaves the notch to the window, not lost.
    return a.undelivered ? passOn(nCode, wParam, lParam) : kSwallow;
}

LRESULT handleMouseEvent(int nCode, WPARAM wParam, LPARAM lParam)
{
    const auto *event = reinterpret_cast<const MSLLHOOKSTRUCT *>(lParam);
    if (event)
        S::s_hookSighting = HookSighting{event->time, event->pt};
    if (nCode != HC_ACTION)
        return passOn(nCode, wParam, lParam);
    // Our own injected steps come back through the chain: they go on as they are.
    if (event && isOwnInjectedStep(event->flags, event->dwExtraInfo))
        return passOn(nCode, wParam, lParam);
    // A click ends a spin: the next notch starts again at its own distance.
    if (isButtonPress(wParam))
        S::s_fastSpin = FastSpinTrack{};
    if (isButtonPress(wParam) && (S::s_vertical.isAnimating || S::s_horizontal.isAnimating)) {
        EngineLog::write(EngineLine::ButtonStops);
        for (WheelAxis axis : kWheelAxes) {
            if (S::animation(axis).isAnimating)
                S::stopAnimation(axis);
        }
    }
    const auto axis = axisOfWheelMessage(wParam);
    if (!axis)
        return passOn(nCode, wParam, lParam);
    return handleWheel(*axis, nCode, wParam, lParam);
}

} // namespace

LRESULT CALLBACK SmoothScroller::LLMouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    try {
        return handleMouseEvent(nCode, wParam, lParam);
    } catch (...) {
        // Only allocation can fail on the way; the system then keeps the event.
        return passOn(nCode, wParam, lParam);
    }
}
