// The engine's log lines leave the hook: a hook call writes none on its own thread, and a
// writer held by the message log (a debug-output monitor that stopped reading) holds no line
// being made. Lines beyond the queue are dropped, counted and said once it writes again.
#include "engine/engine_log.h"
#include "engine_test_support.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

std::mutex s_mutex;
std::condition_variable s_changed;
bool s_hold = false;   // the writer waits inside the message log while set
bool s_inside = false; // the writer is inside it now
std::vector<std::string> s_lines;
std::vector<std::thread::id> s_threads;

void heldLog(QtMsgType, const QMessageLogContext &, const QString &text)
{
    std::unique_lock<std::mutex> lock(s_mutex);
    s_lines.push_back(text.toStdString());
    s_threads.push_back(std::this_thread::get_id());
    s_inside = true;
    s_changed.notify_all();
    s_changed.wait(lock, [] { return !s_hold; });
    s_inside = false;
}

std::vector<std::string> linesSoFar()
{
    EngineLog::flush();
    std::lock_guard<std::mutex> lock(s_mutex);
    return s_lines;
}

} // namespace

TEST_F(EngineTest, LinesLeaveTheHookAndAStalledWriterDropsCountsAndSaysSo)
{
    addApp();
    s_lines.clear();
    s_threads.clear();
    const QtMessageHandler recorder = qInstallMessageHandler(heldLog);

    // A notch's lines, as they read, in order; none written on the thread of the hook call.
    ASSERT_TRUE(wheel(120).swallowed());
    EXPECT_EQ(linesSoFar(), (std::vector<std::string>{
                                "process name ->  app.exe",
                                "[LLMouseProc] New animation or window change. Target: 1200",
                                "[LLMouseProc] Initiating new animation instance. Target pos: 1200",
                                "[LLMouseProc] New timer SET with ID: 1"}));
    for (const std::thread::id &thread : s_threads)
        EXPECT_NE(thread, std::this_thread::get_id());

    // The writer is held inside the message log: what the engine writes meanwhile still goes
    // (a call that waited for the writer would hang here), up to the queue's bound.
    s_lines.clear();
    {
        std::unique_lock<std::mutex> lock(s_mutex);
        s_hold = true;
    }
    EngineLog::write(EngineLine::Stopping);
    EngineLog::wakeWriter(); // as the engine's loop does between hook calls
    {
        std::unique_lock<std::mutex> lock(s_mutex);
        s_changed.wait(lock, [] { return s_inside; });
    }
    constexpr int kDropped = 7;
    for (int i = 0; i < EngineLog::kCapacity + kDropped; ++i)
        EngineLog::write(EngineLine::NewTimerSet, i);
    {
        std::unique_lock<std::mutex> lock(s_mutex);
        s_hold = false;
    }
    s_changed.notify_all();
    EngineLog::flush(); // the queue is empty again: the next line is kept
    EngineLog::write(EngineLine::SlightOpposite, -120);

    std::vector<std::string> expected{"[SmoothScroller] Stopping SmoothScroll..."};
    for (int i = 0; i < EngineLog::kCapacity; ++i)
        expected.push_back("[LLMouseProc] New timer SET with ID: " + std::to_string(i));
    expected.push_back("[SmoothScroller] The log could not keep up: 7 lines were dropped.");
    expected.push_back("[LLMouseProc] Slight opposite scroll (raw: -120 ). Stopping current animation.");
    EXPECT_EQ(linesSoFar(), expected);
    qInstallMessageHandler(recorder);
}
