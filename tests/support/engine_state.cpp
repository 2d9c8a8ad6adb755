#include "engine_state.h"

#include "engine/smooth_scroller.h"

void resetEngineState()
{
    using S = SmoothScroller;
    S::s_hInstance = nullptr;
    S::s_hHook = nullptr;
    S::s_hWnd = nullptr;
    S::s_isRunning = false;
    S::s_isAnimating = false;
    S::s_targetHwnd = nullptr;
    S::s_targetPoint = POINT{0, 0};
    S::s_targetPos = 0;
    S::s_scrolledSoFar = 0.0f;
    S::s_pendingFraction = 0.0f;
    S::s_lastDelta = 0;
    S::s_activeTimerId = 0;
    S::s_currentParamSet.clear();
    S::s_refusedProcesses.clear();
    S::s_hookSighting = HookSighting{};
}
