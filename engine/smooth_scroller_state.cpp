#include "engine/smooth_scroller.h"

HINSTANCE SmoothScroller::s_hInstance = nullptr;
HHOOK SmoothScroller::s_hHook = nullptr;
HWND SmoothScroller::s_hWnd = nullptr;
bool SmoothScroller::s_isRunning = false;
HookSighting SmoothScroller::s_hookSighting;

bool SmoothScroller::s_isAnimating = false;
HWND SmoothScroller::s_targetHwnd = nullptr;
POINT SmoothScroller::s_targetPoint = {0, 0};
int SmoothScroller::s_targetPos = 0;
float SmoothScroller::s_scrolledSoFar = 0.0f;
float SmoothScroller::s_pendingFraction = 0.0f;
int SmoothScroller::s_lastDelta = 0;
UINT_PTR SmoothScroller::s_activeTimerId = 0;
std::string SmoothScroller::s_currentParamSet;
RefusedProcesses SmoothScroller::s_refusedProcesses;
