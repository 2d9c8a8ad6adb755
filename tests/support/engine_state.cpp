#include "engine_state.h"

#include "engine/frame_clock.h"
#include "engine/smooth_scroller.h"
#include "engine/wheel_units.h"

void resetEngineState()
{
    using S = SmoothScroller;
    S::s_hInstance = nullptr;
    S::s_hHook = nullptr;
    S::s_hWnd = nullptr;
    S::s_isRunning = false;
    S::s_vertical = ScrollAnimation{};
    S::s_horizontal = ScrollAnimation{};
    S::s_refusedProcesses.clear();
    S::s_hookSighting = HookSighting{};
    S::s_fineVertical = FineInputTrack{};
    S::s_fineHorizontal = FineInputTrack{};
    publishWheelUnits(WheelUnits{});
    resetFrameGrid();
}
