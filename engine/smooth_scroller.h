#pragma once

#include "engine/hook_watch.h"
#include "engine/refused_processes.h"
#include "engine/scroll_animation.h"
#include "engine/wheel_axis.h"
#include "platform/win32.h"

#include <QObject>

#include <nlohmann/json.hpp>

#include <string>

// The smooth-scroll engine. All of its state is class-static: one engine per
// process, however many objects exist. Everything here runs on the GUI thread.
// It is the thin host around two animations, one per wheel axis: the decisions about them
// are plain functions (scroll_animation.h, wheel_decision.h); this class owns the hook, the
// hidden window and the clocks, and does what those functions ask.
class SmoothScroller : public QObject {
    Q_OBJECT

public:
    explicit SmoothScroller(QObject *parent = nullptr);
    ~SmoothScroller() override;

    // Hook host
    bool start();
    void stop();
    static void createWindow();
    // The hidden window is set and still exists.
    static bool hiddenWindowExists();
    static LRESULT CALLBACK HiddenWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Installs the hook again if the system has removed it. Runs each time the GUI thread is
    // about to wait for messages, so it costs nothing while the program is idle.
    static void checkHook();
    // Starts or ends that watch; starting takes the present input as already seen.
    static void watchHook(bool on);

    // Wheel interception
    static LRESULT CALLBACK LLMouseProc(int nCode, WPARAM wParam, LPARAM lParam);

    // Parameter set resolution. resolveParamSet records the chosen name as the axis's set
    // and returns the chosen set inside snapshot, or nullptr when the snapshot holds no
    // usable set of that name.
    static std::wstring processFileNameOfWindow(HWND hwnd);
    static const nlohmann::json *resolveParamSet(const std::wstring &fileName,
                                                 const nlohmann::json &snapshot,
                                                 WheelAxis axis = WheelAxis::Vertical);

    // Animation core, for either axis
    static void onAnimationTick(HWND hiddenWindow, WheelAxis axis = WheelAxis::Vertical);
    static void stopAnimation(WheelAxis axis = WheelAxis::Vertical);
    static void postWheelStep(int n, WheelAxis axis = WheelAxis::Vertical);
    // The same n units as input, for windows that read the wheel only from their input.
    static void injectWheelStep(int n, WheelAxis axis = WheelAxis::Vertical);
    static ScrollAnimation &animation(WheelAxis axis);

    static constexpr char kDefaultSetName[] = "default";
    static constexpr UINT_PTR kAnimationTimerId = clockIdOf(WheelAxis::Vertical);
    static constexpr UINT_PTR kHorizontalTimerId = clockIdOf(WheelAxis::Horizontal);

    // Host state
    static HINSTANCE s_hInstance;
    static HHOOK s_hHook;
    static HWND s_hWnd;
    static bool s_isRunning;
    static HookSighting s_hookSighting; // the latest event our hook was called for

    // The animations of the two axes
    static ScrollAnimation s_vertical;
    static ScrollAnimation s_horizontal;
    // The set chosen by the latest vertical notch, which the vertical animation reads.
    static std::string &s_currentParamSet;

    // Processes that refused our posted wheel messages (ones running with higher rights).
    // Wheel events over their windows pass on while they run: swallowing a notch we cannot
    // replay would leave the user no way to scroll them.
    static RefusedProcesses s_refusedProcesses;
};
