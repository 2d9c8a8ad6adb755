#pragma once

#include "engine/fast_spin.h"
#include "engine/fine_input.h"
#include "engine/hook_watch.h"
#include "engine/refused_processes.h"
#include "engine/scroll_animation.h"
#include "engine/wheel_axis.h"
#include "engine/window_cache.h"
#include "platform/win32.h"

#include <QObject>

#include <nlohmann/json.hpp>

#include <string>

// The smooth-scroll engine. All of its state is class-static: one engine per
// process, however many objects exist. start() and stop() are called on the GUI thread; the
// hook, the hidden window, the clocks and the animations live on the engine's own thread,
// whose message loop does nothing else, so that no stall of the GUI thread delays a mouse
// event. The GUI thread shares nothing with it but the published configuration snapshot.
// It is the thin host around two animations, one per wheel axis: the decisions about them
// are plain functions (scroll_animation.h, wheel_decision.h); this class owns the hook, the
// hidden window and the clocks, and does what those functions ask.
class SmoothScroller : public QObject {
    Q_OBJECT

public:
    explicit SmoothScroller(QObject *parent = nullptr);
    ~SmoothScroller() override;

    // Hook host. start() runs the engine's thread and returns whether the engine started there;
    // stop() has that thread tear the engine down and waits for it to end. Each waits at most
    // about 300 ms for that thread: stop() returns false when it has not ended by then (it ends
    // once it can), and start() starts no second engine beside one that has not ended.
    bool start();
    bool stop();
    // The same work on the calling thread, which then owns the hook and the window and must
    // run their messages: the engine's thread does, and tests drive the engine so.
    static bool startOnThisThread();
    static void stopOnThisThread();
    static void createWindow();
    // The hidden window is set and still exists.
    static bool hiddenWindowExists();
    static LRESULT CALLBACK HiddenWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The system announced a change of its settings (WM_SETTINGCHANGE) or of the display
    // (WM_DISPLAYCHANGE), which the engine's message-only window never receives: what the
    // engine keeps of them is read again at its next use. Safe on any thread; never waits.
    static void systemChangeAnnounced(UINT message, WPARAM wParam);
    // Installs the hook again if the system has removed it. Runs each time the engine's thread
    // is about to wait for messages.
    static void checkHook();
    // The present input counts as seen by the hook: no sign of a lost one.
    static void takeInputAsSeen();

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
    // The first step of an animation the hook has just begun or restarted, taken inside the
    // hook: it reads `document`, the snapshot the hook holds, and the route the hook has just
    // checked is not asked again.
    static void takeFirstStep(WheelAxis axis, const nlohmann::json &document);
    static void stopAnimation(WheelAxis axis = WheelAxis::Vertical);
    static void postWheelStep(int n, WheelAxis axis = WheelAxis::Vertical);
    // The same n units as input, for windows that read the wheel only from their input.
    static void injectWheelStep(int n, WheelAxis axis = WheelAxis::Vertical);
    static ScrollAnimation &animation(WheelAxis axis);
    // One wheel message of n units as the steps go: posted to hwnd at pt (that window's
    // coordinates), or injected with our tag. False when the system would not take it;
    // a post refused as access denied marks the window's process as refusing.
    static bool postWheelTo(HWND hwnd, POINT pt, int n, WheelAxis axis);
    static bool injectWheel(int n, WheelAxis axis);

    static constexpr char kDefaultSetName[] = "default";
    static constexpr UINT_PTR kAnimationTimerId = clockIdOf(WheelAxis::Vertical);
    static constexpr UINT_PTR kHorizontalTimerId = clockIdOf(WheelAxis::Horizontal);

    // Host state
    static HINSTANCE s_hInstance;
    static HHOOK s_hHook;
    static HWND s_hWnd;
    static bool s_isRunning;
    static DWORD s_threadId; // the engine's thread, while it runs
    static HookSighting s_hookSighting; // the latest event our hook was called for
    static HookWatch s_hookWatch;       // the watch's reinstalls that brought no input back

    // The animations of the two axes
    static ScrollAnimation s_vertical;
    static ScrollAnimation s_horizontal;
    // The set chosen by the latest vertical notch, which the vertical animation reads.
    static std::string &s_currentParamSet;
    // Each axis's latest fine-grained event: such input is left to the device.
    static FineInputTrack s_fineVertical;
    static FineInputTrack s_fineHorizontal;
    static FineInputTrack &fineInput(WheelAxis axis);
    // The vertical wheel's latest notches, by which a fast spin goes farther. The tilt wheel
    // has none: held, it repeats at a steady rate and would only speed up.
    static FastSpinTrack s_fastSpin;

    // Processes that refused our posted wheel messages (ones running with higher rights).
    // Wheel events over their windows pass on while they run: swallowing a notch we cannot
    // replay would leave the user no way to scroll them.
    static RefusedProcesses s_refusedProcesses;
    // What the hook learned of the windows the wheel was turned over lately.
    static WindowCache s_windowCache;
};
