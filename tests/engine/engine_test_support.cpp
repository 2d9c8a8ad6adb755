#include "engine_test_support.h"

#include "config/config_document.h"
#include "engine/engine_log.h"
#include "engine/frame_wake.h"
#include "tests/support/engine_state.h"

#include <mutex>
#include <thread>

std::vector<EngineTest::Line> EngineTest::s_log;
namespace {
// The engine's lines come from its log writer's thread, the test's own from the test's.
std::mutex s_logMutex;
} // namespace
nlohmann::json EngineTest::s_document;

void EngineTest::SetUp()
{
    sim().reset();
    resetEngineState();
    config() = initialConfig();
    publish();
    EngineLog::startWriter();
    EngineLog::flush(); // nothing of an earlier test comes in late
    s_log.clear();
    m_previousHandler = qInstallMessageHandler(record);

    m_hidden = sim().addWindow(SimDesktop::kSelfPid, {}, false, SmoothScroller::HiddenWndProc);
    SmoothScroller::s_hWnd = m_hidden;
    SmoothScroller::s_hHook =
        SetWindowsHookExA(WH_MOUSE_LL, SmoothScroller::LLMouseProc, sim().moduleHandle(), 0);
    ASSERT_NE(SmoothScroller::s_hHook, nullptr);
}

namespace {

// The level every diagnostic of the hook and the tick is written at: failures that lose a
// notch are critical, a process refusing our posts is worth an info line, and the rest is
// the hook's running commentary at debug level.
QtMsgType expectedLevel(const std::string &line)
{
    for (const char *critical : {"[LLMouseProc] SetTimer FAILED", "[LLMouseProc] Main window handle is invalid",
                                 "[LLMouseProc] SendInput FAILED"}) {
        if (line.rfind(critical, 0) == 0)
            return QtCriticalMsg;
    }
    if (line.rfind("[LLMouseProc] Posting to the target window was refused", 0) == 0)
        return QtInfoMsg;
    return QtDebugMsg;
}

} // namespace

void EngineTest::TearDown()
{
    EngineLog::flush();
    for (const Line &line : s_log) {
        if (line.text.rfind("[LLMouseProc]", 0) == 0 || line.text.rfind("process name -> ", 0) == 0) {
            EXPECT_EQ(line.type, expectedLevel(line.text)) << line.text;
        }
    }
    qInstallMessageHandler(m_previousHandler);
    closeFrameWake(); // a helper thread waits on an event of the desktop about to be reset
    sim().reset();
    resetEngineState();
    config() = initialConfig();
    publish();
}

nlohmann::json &EngineTest::config()
{
    return s_document;
}

void EngineTest::publish()
{
    publishSharedConfig(s_document);
}

nlohmann::json &EngineTest::set(const std::string &name)
{
    nlohmann::json &parameters = config()["parameters"];
    if (!parameters.contains(name))
        parameters[name] = parameters["default"];
    return parameters[name];
}

HWND EngineTest::addApp(const std::wstring &imagePath)
{
    const DWORD pid = sim().addProcess(imagePath);
    return sim().addWindow(pid, {0, 0, 1000, 800});
}

SimDesktop::HookOutcome EngineTest::wheel(short delta, POINT pt)
{
    publish();
    return sim().injectWheel(delta, pt);
}

SimDesktop::HookOutcome EngineTest::tilt(short delta, POINT pt)
{
    publish();
    return sim().injectWheel(delta, pt, WM_MOUSEHWHEEL);
}

SimDesktop::HookOutcome EngineTest::mouse(UINT message, int nCode)
{
    publish();
    return sim().injectMouse(message, kCursor, 0, nCode);
}

int EngineTest::runAnimation(int maxTicks)
{
    publish();
    const int queued = maxTicks > 0 ? sim().pumpMessages() : 0;
    return queued + sim().runTimers(maxTicks - queued);
}

bool EngineTest::timerRunning()
{
    for (WheelAxis axis : kWheelAxes) {
        if (sim().timer(SmoothScroller::s_hWnd, clockIdOf(axis)))
            return true;
    }
    return !sim().multimediaTimers().empty() || sim().armedWaitableTimers() > 0 || sim().compositorClockWaiters() > 0;
}

UINT EngineTest::clockInterval()
{
    const std::vector<SimDesktop::MultimediaTimer> timers = sim().multimediaTimers();
    if (!timers.empty())
        return timers.front().delay;
    const auto timer = sim().timer(SmoothScroller::s_hWnd, SmoothScroller::kAnimationTimerId);
    return timer ? timer->requestedInterval : 0;
}

void EngineTest::setClass(HWND hwnd, const std::wstring &className)
{
    sim().setWindowClass(hwnd, className);
    SmoothScroller::s_windowCache.clear();
}

void EngineTest::setIntegrity(DWORD pid, DWORD rid)
{
    sim().setProcessIntegrity(pid, rid);
    SmoothScroller::s_windowCache.clear();
}

void EngineTest::useCompositorClock()
{
    const int threads = sim().queueThreadCount();
    prepareFrameWake(DCompositionWaitForCompositorClock);
    // Once it waits, the model runs it one step at a time with the test's thread.
    while (sim().queueThreadCount() == threads)
        std::this_thread::yield();
}

int EngineTest::clockStarts()
{
    return sim().setTimerCalls() + sim().multimediaTimerStarts();
}

std::vector<int> EngineTest::postedDeltas(UINT message)
{
    std::vector<int> deltas;
    for (const SimDesktop::PostedMessage &m : sim().posted()) {
        if (message == 0 || m.message == message)
            deltas.push_back(static_cast<short>((m.wParam >> 16) & 0xFFFF));
    }
    return deltas;
}

int EngineTest::postedSum(UINT message)
{
    int sum = 0;
    for (int d : postedDeltas(message))
        sum += d;
    return sum;
}

std::vector<std::string> EngineTest::logLines(const std::string &prefix)
{
    EngineLog::flush();
    std::lock_guard<std::mutex> lock(s_logMutex);
    std::vector<std::string> lines;
    for (const Line &line : s_log) {
        if (line.text.rfind(prefix, 0) == 0)
            lines.push_back(line.text);
    }
    return lines;
}

std::vector<QtMsgType> EngineTest::logTypes(const std::string &prefix)
{
    EngineLog::flush();
    std::lock_guard<std::mutex> lock(s_logMutex);
    std::vector<QtMsgType> types;
    for (const Line &line : s_log) {
        if (line.text.rfind(prefix, 0) == 0)
            types.push_back(line.type);
    }
    return types;
}

bool EngineTest::logged(const std::string &text)
{
    EngineLog::flush();
    std::lock_guard<std::mutex> lock(s_logMutex);
    for (const Line &line : s_log) {
        if (line.text == text)
            return true;
    }
    return false;
}

void EngineTest::record(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    std::lock_guard<std::mutex> lock(s_logMutex);
    s_log.push_back({type, message.toStdString()});
}
