#pragma once
// Shared set-up for the engine tests: a fresh simulated desktop with a hidden window whose
// clocks drive the animations, the engine's hook installed, an idle engine, the default
// configuration, and a record of the message log.

#include "engine/smooth_scroller.h"
#include "platform/sim_desktop.h"

#include <QtGlobal>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static SimDesktop &sim() { return SimDesktop::instance(); }
    // The test's working document. wheel(), mouse() and runAnimation() publish it first, as
    // the store publishes every edit before the next event.
    static nlohmann::json &config();
    static void publish();
    // A set of the working document, created as a copy of `default` when it is missing.
    static nlohmann::json &set(const std::string &name = "default");

    // A visible window of a new process running imagePath, covering (0,0)-(1000,800) and
    // lying above every earlier window.
    static HWND addApp(const std::wstring &imagePath = L"C:\\Program Files\\Viewer\\app.exe");

    static constexpr POINT kCursor = {120, 340};
    static SimDesktop::HookOutcome wheel(short delta, POINT pt = kCursor);
    // A notch of the horizontal wheel (WM_MOUSEHWHEEL; positive is right).
    static SimDesktop::HookOutcome tilt(short delta, POINT pt = kCursor);
    static SimDesktop::HookOutcome mouse(UINT message, int nCode = HC_ACTION);

    // The animations, as the engine holds them.
    static const ScrollAnimation &vertical() { return SmoothScroller::s_vertical; }
    static const ScrollAnimation &horizontal() { return SmoothScroller::s_horizontal; }

    // Delivers the ticks waiting in the hidden window's queue, then fires the clocks until
    // none is left or maxTicks ticks were delivered in all; returns the number of ticks. (The
    // first step of a new animation comes with its notch, not from the clock.)
    static int runAnimation(int maxTicks = 100000);
    // A clock of either animation runs: a multimedia timer, a window timer, the frame timer or
    // the helper thread waiting for the compositor's frames.
    static bool timerRunning();
    // Interval of the first running clock; 0 when none runs.
    static UINT clockInterval();
    // Times a clock was started (either kind).
    static int clockStarts();

    // The wheel deltas posted so far, in order (all posted messages whatever their window,
    // or those of one message).
    static std::vector<int> postedDeltas(UINT message = 0);
    static int postedSum(UINT message = 0);

    // Lines of the message log that start with prefix, in order.
    static std::vector<std::string> logLines(const std::string &prefix = "[LLMouseProc]");
    static std::vector<QtMsgType> logTypes(const std::string &prefix = "[LLMouseProc]");
    static bool logged(const std::string &line);

    // Gives hwnd another class, or its process other rights, in place. Windows never changes a
    // window's class (nor, as the engine sees it, a running process's rights): the engine is
    // to take it for another window, as it would be on Windows.
    static void setClass(HWND hwnd, const std::wstring &className);
    static void setIntegrity(DWORD pid, DWORD rid);

    // Frames come from the simulated desktop's compositor clock, as on Windows 11: the helper
    // thread starts, parked, as when the engine starts.
    static void useCompositorClock();

    HWND m_hidden = nullptr;

private:
    static void record(QtMsgType type, const QMessageLogContext &, const QString &message);

    struct Line {
        QtMsgType type;
        std::string text;
    };
    static std::vector<Line> s_log;
    static nlohmann::json s_document;
    QtMessageHandler m_previousHandler = nullptr;
};
