#include "engine/smooth_scroller.h"

#include "config/config_document.h"
#include "config/param_reading.h"
#include "engine/animation_clock.h"
#include "engine/animation_math.h"
#include "engine/engine_log.h"
#include "engine/frame_clock.h"
#include "engine/paced_glide.h"
#include "engine/key_state.h"
#include "engine/wheel_message.h"
#include "engine/window_facts.h"
#include "engine/window_process.h"

#include <iterator>

namespace {

using S = SmoothScroller;

// Ends the animation from inside a tick. The clock that delivered this tick is stopped even
// when the engine has lost track of it, so that no clock keeps ticking over an idle engine.
void endFromTick(HWND hiddenWindow, WheelAxis axis)
{
    const ScrollAnimation &a = S::animation(axis);
    const UINT_PTR clockId = clockIdOf(axis);
    const bool killsDeliveringClock = a.activeTimerId != 0 && S::hiddenWindowExists()
        && hiddenWindow == S::s_hWnd && a.activeTimerId == clockId;
    S::stopAnimation(axis);
    if (!killsDeliveringClock && hiddenWindow && IsWindow(hiddenWindow))
        stopAnimationClock(hiddenWindow, clockId);
}

// The blank a frame's tick belongs to: the one nearest to when the tick began, so that a wake a
// little before or after it (the compositor's clock, a timer's jitter) finds the same frame.
// The hook's own step belongs to the blank at or before the notch, where its schedule starts.
double frameBlank(const FrameGrid &grid, bool fromHook, double tickAt)
{
    return lastBlankAtOrBefore(grid, fromHook ? tickAt : tickAt + grid.periodMs / 2);
}

// The time a paced glide's step is sampled at: for the notch's own step the next blank after
// the schedule's start; at a frame the blank after the frame's own (never the moment the clock
// fired, so that its jitter cannot make the steps uneven). Following the interval clock, each
// tick moves the schedule one interval on.
double pacedSampleTime(const ScrollAnimation &a, const FrameGrid *grid, bool fromHook, double tickAt)
{
    if (!grid)
        return fromHook ? a.scheduleAt : a.scheduleAt + static_cast<double>(a.intervalMs);
    if (fromHook)
        return a.scheduleAt + grid->periodMs;
    return frameBlank(*grid, false, tickAt) + grid->periodMs;
}

// Has the clock of a paced glide wake it just after the blank that follows the frame's own,
// or tick at the interval where the display cannot pace it. False when no clock could be had.
bool aimPacedClock(HWND hiddenWindow, WheelAxis axis, const FrameGrid *grid, bool fromHook, double tickAt)
{
    ScrollAnimation &a = S::animation(axis);
    if (!grid) {
        noteIntervalClockFallback();
        if (!a.frameWake)
            return true;
        a.frameWake = false;
        a.activeTimerId = startAnimationClock(hiddenWindow, clockIdOf(axis), a.intervalMs);
        return a.activeTimerId != 0;
    }
    // Just after the blank: a wake that comes early would find the frame before. A tick that
    // took past that blank wakes again at once and delivers what the schedule then reaches.
    constexpr double kAfterBlankMs = 0.5;
    const double wakeAt = frameBlank(*grid, fromHook, tickAt) + grid->periodMs + kAfterBlankMs;
    a.frameWake = true;
    a.activeTimerId = aimAnimationClock(hiddenWindow, clockIdOf(axis), wakeAt - frameClockNow());
    return a.activeTimerId != 0;
}

// heldDocument is set for the hook's first step: the hook holds that snapshot and has just
// checked the step's route.
void tick(HWND hiddenWindow, WheelAxis axis, const nlohmann::json *heldDocument)
{
    ScrollAnimation &a = S::animation(axis);
    const bool fromHook = heldDocument != nullptr;
    if (!a.isAnimating || !IsWindow(a.targetHwnd) || !IsWindowVisible(a.targetHwnd)
        || animationLost(a)) {
        endFromTick(hiddenWindow, axis);
        return;
    }
    float fraction = 0.0f;
    if (tickNeedsPercentage(a)) {
        // Read from the published document at every tick, so an edit applies at once; held
        // for the read, as the GUI thread may publish a new one meanwhile.
        ConfigSnapshot snapshot;
        if (!heldDocument) {
            snapshot = sharedConfigSnapshot();
            heldDocument = snapshot.get();
        }
        fraction = fractionOfPercent(tickPercent(*heldDocument, a.paramSet, a.lastDelta > 0));
    }
    // The grid a paced frame goes by, found once for the sample and the next wake: the hook's
    // own step by the cached grid alone, the frames after checking the target's monitor.
    const FrameGrid *grid = nullptr;
    // Taken before the grid is looked up: reading the target monitor's rate asks the driver,
    // which can take a frame or more, and the frame this tick serves is the one it woke in.
    const double tickAt = a.paced ? frameClockNow() : 0.0;
    if (a.paced) {
        if (!fromHook)
            refreshFrameGrid();
        grid = fromHook ? frameGrid() : frameGridFor(a.targetHwnd);
    }
    const int seriesUnits =
        a.paced ? advanceSchedule(a, pacedSampleTime(a, grid, fromHook, tickAt), fraction) : advanceAnimation(a, fraction);
    // The step in the user's own lines (characters): a step that comes to less than a unit
    // is carried to the next one and sends nothing now.
    const int carryBefore = a.unitCarry;
    const int units = userUnits(a, seriesUnits);
    // A step that does not go out stays owed, in the series and in the user's units alike:
    // pending, and not yet taken off the pending fraction or the carry.
    const auto dropStep = [&] {
        a.unitCarry = carryBefore;
        endFromTick(hiddenWindow, axis);
    };
    if (units != 0) {
        // A step posted with a modifier down would zoom or scroll sideways in most
        // applications, and a notch with one is never animated: the rest is dropped.
        if (isModifierDown()) {
            dropStep();
            return;
        }
        if (a.route.injected) {
            // Injected steps go wherever the system routes the wheel now: once that is no
            // longer the target (the cursor left it, another window came to the front), the
            // rest is dropped rather than scroll another window.
            if (!fromHook && !injectedStepReachesNow(a.route)) {
                dropStep();
                return;
            }
            S::injectWheelStep(units, axis);
        } else {
            S::postWheelStep(units, axis);
        }
        if (!a.isAnimating) { // the target refused the post, or the system the input
            dropStep();
            return;
        }
    }
    markPosted(a, seriesUnits);
    if (a.paced ? scheduleArrived(a) : animationArrived(a)) {
        endFromTick(hiddenWindow, axis);
        return;
    }
    if (a.paced && S::hiddenWindowExists() && !aimPacedClock(S::s_hWnd, axis, grid, fromHook, tickAt))
        endFromTick(hiddenWindow, axis);
}

// Posts to `hwnd` were refused as access denied: its process runs with higher rights.
void refuseWindow(HWND hwnd)
{
    const WindowProcess process = windowProcess(hwnd);
    if (S::s_refusedProcesses.remember(process.pid, process.startTime, processStillRuns)) {
        EngineLog::write(EngineLine::PostingRefused);
    }
}

void runTick(HWND hiddenWindow, WheelAxis axis, const nlohmann::json *heldDocument)
{
    try {
        tick(hiddenWindow, axis, heldDocument);
    } catch (...) {
        // Only allocation can fail here; an animation that cannot continue simply ends.
        endFromTick(hiddenWindow, axis);
    }
}

} // namespace

void SmoothScroller::onAnimationTick(HWND hiddenWindow, WheelAxis axis)
{
    runTick(hiddenWindow, axis, nullptr);
}

void SmoothScroller::takeFirstStep(WheelAxis axis, const nlohmann::json &document)
{
    runTick(s_hWnd, axis, &document);
}

void SmoothScroller::stopAnimation(WheelAxis axis)
{
    ScrollAnimation &a = animation(axis);
    if (a.activeTimerId != 0 && hiddenWindowExists()) {
        stopAnimationClock(s_hWnd, a.activeTimerId);
        a.activeTimerId = 0;
    }
    a.isAnimating = false;
}

void SmoothScroller::postWheelStep(int n, WheelAxis axis)
{
    const ScrollAnimation &a = animation(axis);
    if (!postWheelTo(a.targetHwnd, a.targetPoint, n, axis))
        stopAnimation(axis);
}

bool SmoothScroller::postWheelTo(HWND hwnd, POINT pt, int n, WheelAxis axis)
{
    // A step beyond the 16-bit delta goes out as several messages, so that it never wraps
    // into the opposite direction; together they carry exactly n units.
    const LPARAM lParam = wheelLParam(pt);
    int left = n;
    while (left != 0) {
        const int part = nextWheelChunk(left);
        const bool ctrl = isKeyDown(VK_CONTROL);
        const bool shift = isKeyDown(VK_SHIFT);
        SetLastError(ERROR_SUCCESS);
        if (!PostMessageA(hwnd, wheelMessageOf(axis), wheelWParam(part, ctrl, shift), lParam)
            && GetLastError() == ERROR_ACCESS_DENIED) {
            refuseWindow(hwnd);
            return false;
        }
        // Any other failed post is ignored: its units count as delivered.
        left -= part;
    }
    return true;
}

void SmoothScroller::injectWheelStep(int n, WheelAxis axis)
{
    if (!injectWheel(n, axis)) {
        animation(axis).undelivered = true;
        stopAnimation(axis);
    }
}

bool SmoothScroller::injectWheel(int n, WheelAxis axis)
{
    const DWORD flags = axis == WheelAxis::Vertical ? MOUSEEVENTF_WHEEL : MOUSEEVENTF_HWHEEL;
    // As for posted steps, a step beyond the 16-bit delta goes in as several events.
    INPUT batch[16];
    int left = n;
    while (left != 0) {
        UINT count = 0;
        while (left != 0 && count < std::size(batch)) {
            const int part = nextWheelChunk(left);
            INPUT &input = batch[count++];
            input = INPUT{};
            input.type = INPUT_MOUSE;
            input.mi.mouseData = static_cast<DWORD>(part);
            input.mi.dwFlags = flags;
            input.mi.dwExtraInfo = kInjectedStepTag;
            left -= part;
        }
        // The system takes all or, blocked by another thread, none. (Input that a window of
        // higher rights would not accept is dropped without a report: such windows are never
        // chosen for injection.)
        if (SendInput(count, batch, sizeof(INPUT)) != count) {
            EngineLog::write(EngineLine::SendInputFailed, GetLastError());
            return false;
        }
    }
    return true;
}
