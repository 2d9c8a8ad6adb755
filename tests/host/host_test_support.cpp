#include "host_test_support.h"

#include "engine/engine_log.h"
#include "tests/support/engine_state.h"

#include <algorithm>
#include <mutex>

namespace {
// The engine's lines come from its log writer's thread, the test's own from the test's.
std::mutex s_logMutex;
} // namespace

std::vector<LogLine> HostTest::s_log;

void HostTest::recordMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    std::lock_guard<std::mutex> lock(s_logMutex);
    s_log.emplace_back(type, message.toStdString());
}

void HostTest::SetUp()
{
    sim().reset();
    resetEngineState();
    EngineLog::startWriter();
    EngineLog::flush(); // nothing of an earlier test comes in late
    s_log.clear();
    m_previousHandler = qInstallMessageHandler(recordMessage);
}

void HostTest::TearDown()
{
    // Leave no hook, window or engine state behind for the next test, whatever this one did.
    EngineLog::flush();
    qInstallMessageHandler(m_previousHandler);
    sim().reset();
    resetEngineState();
}

std::vector<LogLine> HostTest::hostLog()
{
    EngineLog::flush();
    std::lock_guard<std::mutex> lock(s_logMutex);
    std::vector<LogLine> lines;
    std::copy_if(s_log.begin(), s_log.end(), std::back_inserter(lines),
                 [](const LogLine &l) { return l.second.rfind("[SmoothScroller]", 0) == 0; });
    return lines;
}

bool HostTest::logged(QtMsgType type, const std::string &text)
{
    EngineLog::flush();
    std::lock_guard<std::mutex> lock(s_logMutex);
    return std::find(s_log.begin(), s_log.end(), LogLine(type, text)) != s_log.end();
}

void HostTest::clearLog()
{
    EngineLog::flush();
    std::lock_guard<std::mutex> lock(s_logMutex);
    s_log.clear();
}

HWND HostTest::addAppWindow()
{
    const DWORD pid = sim().addProcess(L"C:\\Apps\\reader.exe");
    return sim().addWindow(pid, SimDesktop::Rect{0, 0, 800, 600});
}

bool HostTest::clockRunning()
{
    return !sim().multimediaTimers().empty()
        || sim().timer(SmoothScroller::s_hWnd, SmoothScroller::kAnimationTimerId).has_value()
        || sim().timer(SmoothScroller::s_hWnd, SmoothScroller::kHorizontalTimerId).has_value();
}

SimDesktop::HookOutcome HostTest::notchOver(short delta)
{
    return sim().injectWheel(delta, POINT{100, 200});
}
