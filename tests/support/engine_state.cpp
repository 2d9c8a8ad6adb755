#include "engine_state.h"

#include "engine/frame_clock.h"
#include "engine/frame_wake.h"
#include "engine/smooth_scroller.h"
#include "engine/wheel_units.h"
#include "engine/window_facts.h"
#include "platform/sim_desktop.h"

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
    S::s_windowCache.clear();
    forgetWheelRouting();
    S::s_hookSighting = HookSighting{};
    S::s_hookWatch = HookWatch{};
    S::s_fineVertical = FineInputTrack{};
    S::s_fineHorizontal = FineInputTrack{};
    S::s_fastSpin = FastSpinTrack{};
    publishWheelUnits(WheelUnits{});
    resetFrameGrid();
    closeFrameWake();
    // Tests that make the engine's calls on their own thread play its thread's loop: a frame
    // timer that falls due wakes the clocks aimed at it.
    SimDesktop::instance().setLoopStandIn([](HANDLE timer) {
        if (timer == frameWakeTimer())
            frameWakeTimerSignalled();
    });
}
