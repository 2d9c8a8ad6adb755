#include "engine/smooth_scroller.h"

HINSTANCE SmoothScroller::s_hInstance = nullptr;
HHOOK SmoothScroller::s_hHook = nullptr;
HWND SmoothScroller::s_hWnd = nullptr;
bool SmoothScroller::s_isRunning = false;
DWORD SmoothScroller::s_threadId = 0;
HookSighting SmoothScroller::s_hookSighting;
HookWatch SmoothScroller::s_hookWatch;

ScrollAnimation SmoothScroller::s_vertical;
ScrollAnimation SmoothScroller::s_horizontal;
std::string &SmoothScroller::s_currentParamSet = SmoothScroller::s_vertical.paramSet;
RefusedProcesses SmoothScroller::s_refusedProcesses;
WindowCache SmoothScroller::s_windowCache;
FineInputTrack SmoothScroller::s_fineVertical;
FineInputTrack SmoothScroller::s_fineHorizontal;
FastSpinTrack SmoothScroller::s_fastSpin;

ScrollAnimation &SmoothScroller::animation(WheelAxis axis)
{
    return axis == WheelAxis::Vertical ? s_vertical : s_horizontal;
}

FineInputTrack &SmoothScroller::fineInput(WheelAxis axis)
{
    return axis == WheelAxis::Vertical ? s_fineVertical : s_fineHorizontal;
}
