#include "engine/smooth_scroller.h"

#include "config/config_document.h"
#include "config/param_reading.h"
#include "engine/animation_clock.h"
#include "engine/animation_math.h"
#include "engine/key_state.h"
#include "engine/wheel_message.h"
#include "engine/window_process.h"

#include <QDebug>

#include <cmath>

namespace {

// Ends the animation from inside a tick. The timer that delivered this tick is stopped even
// when the engine has lost track of it, so that no timer keeps ticking over an idle engine.
void endFromTick(HWND hiddenWindow)
{
    const bool killsDeliveringTimer = SmoothScroller::s_activeTimerId != 0
        && SmoothScroller::hiddenWindowExists()
        && hiddenWindow == SmoothScroller::s_hWnd
        && SmoothScroller::s_activeTimerId == SmoothScroller::kAnimationTimerId;
    SmoothScroller::stopAnimation();
    if (!killsDeliveringTimer && hiddenWindow && IsWindow(hiddenWindow))
        stopAnimationClock(hiddenWindow, SmoothScroller::kAnimationTimerId);
}

void advanceAnimation(HWND hiddenWindow)
{
    using S = SmoothScroller;
    if (!S::s_isAnimating || !IsWindow(S::s_targetHwnd) || !IsWindowVisible(S::s_targetHwnd)) {
        endFromTick(hiddenWindow);
        return;
    }

    const float remaining = remainingDistance(S::s_targetPos, S::s_scrolledSoFar);
    if (!std::isfinite(remaining) || std::fabs(remaining) > kLargestDistance) {
        endFromTick(hiddenWindow);
        return;
    }
    float fraction = 0.0f;
    if (std::fabs(remaining) >= 1.0f) {
        // Read from the shared document at every tick, so an edit applies at once.
        fraction = fractionOfPercent(tickPercent(sharedConfig().document(), S::s_currentParamSet,
                                                 S::s_lastDelta > 0));
    }
    const float step = tickStep(remaining, fraction);
    S::s_pendingFraction += step;
    S::s_scrolledSoFar += step;

    const int units = nearestInt(S::s_pendingFraction);
    if (units != 0) {
        // A step posted with a modifier down would zoom or scroll sideways in most
        // applications, and a notch with one is never animated: the rest is dropped.
        if (!IsWindow(S::s_targetHwnd) || isModifierDown()) {
            endFromTick(hiddenWindow);
            return;
        }
        S::postWheelStep(units);
        S::s_pendingFraction -= static_cast<float>(units);
        if (!S::s_isAnimating) { // the target refused the post
            endFromTick(hiddenWindow);
            return;
        }
    }

    if (animationComplete(S::s_targetPos, S::s_scrolledSoFar, S::s_pendingFraction))
        endFromTick(hiddenWindow);
}

void refuseTargetWindow()
{
    using S = SmoothScroller;
    const WindowProcess process = windowProcess(S::s_targetHwnd);
    if (S::s_refusedProcesses.remember(process.pid, process.startTime, processStillRuns)) {
        qInfo() << "[LLMouseProc] Posting to the target window was refused (access denied)."
                   " Wheel events over the windows of its process pass on while it runs.";
    }
    S::stopAnimation();
}

} // namespace

void SmoothScroller::onAnimationTick(HWND hiddenWindow)
{
    try {
        advanceAnimation(hiddenWindow);
    } catch (...) {
        // Only allocation can fail here; an animation that cannot continue simply ends.
        endFromTick(hiddenWindow);
    }
}

void SmoothScroller::stopAnimation()
{
    if (s_activeTimerId != 0 && hiddenWindowExists()) {
        stopAnimationClock(s_hWnd, s_activeTimerId);
        s_activeTimerId = 0;
    }
    s_isAnimating = false;
}

void SmoothScroller::postWheelStep(int n)
{
    // A step beyond the 16-bit delta goes out as several messages, so that it never wraps
    // into the opposite direction; together they carry exactly n units.
    const LPARAM lParam = wheelLParam(s_targetPoint);
    int left = n;
    while (left != 0) {
        const int part = nextWheelChunk(left);
        const bool ctrl = isKeyDown(VK_CONTROL);
        const bool shift = isKeyDown(VK_SHIFT);
        SetLastError(ERROR_SUCCESS);
        if (!PostMessageA(s_targetHwnd, WM_MOUSEWHEEL, wheelWParam(part, ctrl, shift), lParam)
            && GetLastError() == ERROR_ACCESS_DENIED) {
            refuseTargetWindow();
            return;
        }
        // Any other failed post is ignored: its units count as delivered.
        left -= part;
    }
}
