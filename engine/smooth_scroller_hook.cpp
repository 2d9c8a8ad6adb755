#include "engine/smooth_scroller.h"

#include "config/config_document.h"
#include "engine/animation_clock.h"
#include "engine/animation_math.h"
#include "engine/hook_params.h"
#include "engine/key_state.h"
#include "engine/wheel_decision.h"
#include "engine/window_process.h"

#include <QDebug>

#include <cmath>

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
// our posts keep their own wheel, so that no notch is lost over them.
bool isAnimatableWindow(HWND hwnd, const WindowProcess &process)
{
    return hwnd && hwnd != S::s_hWnd && IsWindow(hwnd) && IsWindowVisible(hwnd)
        && !process.outranksUs && !S::s_refusedProcesses.refuses(process.pid, process.startTime);
}

void settleAnimation(int d)
{
    qDebug() << "[LLMouseProc] Slight opposite scroll (raw:" << d
             << "). Stopping current animation.";
    // The running timer's next tick finds less than a unit left and ends the animation.
    S::s_targetPos = nearestInt(S::s_scrolledSoFar);
    // What has been posted is the progress less the pending fraction. The fraction is
    // dropped, so the progress drops it too: a notch that extends this animation before it
    // ends then still posts exactly the target, not a unit more or less.
    S::s_scrolledSoFar -= S::s_pendingFraction;
    S::s_pendingFraction = 0.0f;
}

void extendAnimation(HWND hwnd, POINT pt, int total, UINT interval)
{
    S::s_targetPos = saturatedSum(S::s_targetPos, total);
    if (S::s_activeTimerId != 0)
        return; // the running timer carries the larger target
    if (!S::hiddenWindowExists()
        || std::fabs(remainingDistance(S::s_targetPos, S::s_scrolledSoFar)) < 1.0f)
        return;
    S::s_isAnimating = true;
    S::s_targetHwnd = hwnd;
    S::s_targetPoint = pt;
    qDebug() << "[LLMouseProc] Restarting timer for accumulated scroll.";
    const UINT_PTR id = startAnimationClock(S::s_hWnd, interval);
    if (id != 0) {
        S::s_activeTimerId = id;
    } else {
        qCritical() << "[LLMouseProc] SetTimer FAILED! (Restart for accumulation)";
        S::s_isAnimating = false;
    }
}

void startAnimation(HWND hwnd, POINT pt, int total, UINT interval, bool announce)
{
    if (announce)
        qDebug() << "[LLMouseProc] New animation or window change. Target:" << total;
    S::s_targetPos = total;
    S::s_scrolledSoFar = 0.0f;
    if (S::s_activeTimerId != 0 && S::hiddenWindowExists()) {
        qDebug() << "[LLMouseProc] Stopping previous timer for new animation setup.";
        stopAnimationClock(S::s_hWnd, S::s_activeTimerId);
        S::s_activeTimerId = 0;
    }
    qDebug() << "[LLMouseProc] Initiating new animation instance. Target pos:" << S::s_targetPos;
    S::s_targetHwnd = hwnd;
    S::s_targetPoint = pt;
    S::s_pendingFraction = 0.0f;
    S::s_isAnimating = true;

    if (S::hiddenWindowExists()) {
        const UINT_PTR id = startAnimationClock(S::s_hWnd, interval);
        if (id != 0) {
            S::s_activeTimerId = id;
            qDebug() << "[LLMouseProc] New timer SET with ID:" << id;
        } else {
            const DWORD error = GetLastError();
            qCritical() << "[LLMouseProc] SetTimer FAILED for new animation! Animation will be "
                           "inactive. Error:"
                        << error;
            S::s_isAnimating = false;
            S::s_activeTimerId = 0;
        }
    } else {
        qCritical() << "[LLMouseProc] Main window handle is invalid, cannot set timer for new "
                       "animation.";
        S::s_isAnimating = false;
    }
}

LRESULT handleWheel(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (isModifierDown()) {
        qDebug() << "[LLMouseProc] Modifier key (Shift/Ctrl/Alt) is down. Bypassing custom scroll.";
        if (S::s_isAnimating)
            S::stopAnimation();
        return passOn(nCode, wParam, lParam);
    }
    if (lParam == 0)
        return passOn(nCode, wParam, lParam);

    const auto *event = reinterpret_cast<const MSLLHOOKSTRUCT *>(lParam);
    const int raw = static_cast<short>(HIWORD(event->mouseData));
    const POINT pt = event->pt;
    const HWND hwnd = WindowFromPoint(pt);

    // Every read of this event comes from one published snapshot, held for the event: it
    // cannot change under us and is read only, at the same cost for any number of profiles.
    const ConfigSnapshot snapshot = sharedConfigSnapshot();
    const WindowProcess process = windowProcess(hwnd);
    const std::wstring &fileName = process.fileName;
    const auto params = readHookParams(S::resolveParamSet(fileName, *snapshot));
    if (!params)
        return passOn(nCode, wParam, lParam);

    const int d = params->directionNormal ? raw : -raw;
    S::s_lastDelta = d;
    if (isExcludedProcess(fileName) || d == 0 || !params->smoothScrollEnabled)
        return passOn(nCode, wParam, lParam);

    const bool up = d > 0;
    const int total = saturatedProduct(params->accel(up), d);
    const UINT interval = params->interval(up);
    // A multiplier of 0 would swallow the notch and scroll nothing at all.
    if (total == 0 || !isAnimatableWindow(hwnd, process))
        return passOn(nCode, wParam, lParam);

    const float remaining = remainingDistance(S::s_targetPos, S::s_scrolledSoFar);
    switch (decideWheelAction(S::s_isAnimating, hwnd == S::s_targetHwnd, remaining, d)) {
    case WheelAction::Settle:
        settleAnimation(d);
        break;
    case WheelAction::Extend:
        extendAnimation(hwnd, pt, total, interval);
        break;
    case WheelAction::Reverse:
        qDebug() << "[LLMouseProc] Significant opposite scroll (raw:" << d
                 << "). Reversing animation.";
        startAnimation(hwnd, pt, total, interval, false);
        break;
    case WheelAction::Retarget:
        qDebug() << "[LLMouseProc] Target window changed. Previous animation on other window "
                    "will be effectively stopped.";
        startAnimation(hwnd, pt, total, interval, true);
        break;
    case WheelAction::Start:
        startAnimation(hwnd, pt, total, interval, true);
        break;
    }
    return kSwallow;
}

LRESULT handleMouseEvent(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (lParam != 0) {
        const auto *event = reinterpret_cast<const MSLLHOOKSTRUCT *>(lParam);
        S::s_hookSighting = HookSighting{event->time, event->pt};
    }
    if (nCode != HC_ACTION)
        return passOn(nCode, wParam, lParam);
    if (isButtonPress(wParam) && S::s_isAnimating) {
        qDebug() << "[LLMouseProc] Mouse button pressed. Stopping active animation.";
        S::stopAnimation();
    }
    if (wParam != WM_MOUSEWHEEL)
        return passOn(nCode, wParam, lParam);
    return handleWheel(nCode, wParam, lParam);
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
