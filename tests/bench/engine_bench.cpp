// Cost of one wheel event through the hook (set choice, document snapshot, decision, clock start
// and the first tick's message), of one over a window that takes its steps as input (the first
// step then goes through SendInput and back through the hook), of one over the title bar of a
// Store app's frame (the set goes by the app inside), of one notch of the tilt wheel, of a
// touchpad's fine-grained event, of one mouse move (every move of the whole system passes
// through the hook), of one animation tick and of one frame of a glide paced by the display,
// for documents of 1 to 1,000 profiles; and a notch over a window the hook has not seen lately,
// and a second notch over the window of a running glide. Each reports the system calls it makes
// ("calls", per event, as the simulated desktop counts them); and, apart, what the
// log's writer spends on a line.
// Windows removes a low-level hook that takes too long, so this must stay far below a
// millisecond. Run: engine_bench [--benchmark_repetitions=3]
#include "config/config_document.h"
#include "engine/engine_log.h"
#include "engine/frame_clock.h"
#include "engine/paced_glide.h"
#include "engine/smooth_scroller.h"
#include "platform/sim_desktop.h"

#include <benchmark/benchmark.h>

#include <QtGlobal>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using S = SmoothScroller;

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

LRESULT CALLBACK hiddenProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A desktop with one application window under the cursor and a document of `profiles`
// parameter sets; the application's own set is the last one when there is more than one.
HWND setUp(int profiles)
{
    qInstallMessageHandler(quiet);
    EngineLog::startWriter(); // as the engine runs: the hook only queues its lines
    SimDesktop &sim = SimDesktop::instance();
    sim.reset();
    S::s_refusedProcesses.clear();
    S::s_windowCache.clear(); // the reset desktop gives the same handles and ids again
    S::s_hWnd = sim.addWindow(SimDesktop::kSelfPid, {}, false, hiddenProc);
    S::s_vertical = ScrollAnimation{};
    S::s_horizontal = ScrollAnimation{};
    S::s_fineVertical = FineInputTrack{};
    S::s_fineHorizontal = FineInputTrack{};
    S::s_fastSpin = FastSpinTrack{};

    nlohmann::json doc = initialConfig();
    for (int i = 1; i < profiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "app%03d.exe", i);
        doc["parameters"][name] = defaultParameters();
    }
    sharedConfig() = doc;

    char path[64];
    std::snprintf(path, sizeof path, "C:\\Program Files\\Bench\\app%03d.exe", profiles - 1);
    const std::string narrow(path);
    const DWORD pid = sim.addProcess(std::wstring(narrow.begin(), narrow.end()));
    return sim.addWindow(pid, {0, 0, 1000, 800});
}

// A wheel notch of 120 at (100, 100), as the hook receives it.
MSLLHOOKSTRUCT notchEvent()
{
    MSLLHOOKSTRUCT event{};
    event.pt = POINT{100, 100};
    event.mouseData = static_cast<DWORD>(120) << 16;
    return event;
}

// Hands `event` to the hook once per iteration, `prepare(i)` before the i-th; the desktop's
// queue of first ticks and its records are emptied now and then, outside the timing. Reports
// the system calls per event.
template <typename Prepare>
void hookEvents(benchmark::State &state, UINT message, const MSLLHOOKSTRUCT &event, Prepare prepare)
{
    SimDesktop &sim = SimDesktop::instance();
    const long long before = sim.servedCallTotal();
    std::size_t events = 0;
    for (auto _ : state) {
        prepare(events);
        benchmark::DoNotOptimize(S::LLMouseProc(HC_ACTION, message, reinterpret_cast<LPARAM>(&event)));
        if (++events % 16 == 0) {
            // The engine's loop wakes the writer after the hook returns, and notches come
            // milliseconds apart: the writer's lines are written outside the timing.
            state.PauseTiming();
            EngineLog::flush();
            state.ResumeTiming();
        }
        if (events % 4096 == 0) {
            state.PauseTiming();
            sim.pumpMessages();
            sim.clearDeliveredMessages();
            sim.clearReceivedInput();
            sim.clearPosted();
            state.ResumeTiming();
        }
    }
    state.counters["calls"] = benchmark::Counter(static_cast<double>(sim.servedCallTotal() - before),
                                                 benchmark::Counter::kAvgIterations);
    state.SetComplexityN(state.range(0));
}

// Every event begins a new animation over the same window.
void notches(benchmark::State &state, UINT message, const wchar_t *windowClass = nullptr,
             void (*addChildren)(HWND) = nullptr)
{
    const HWND window = setUp(static_cast<int>(state.range(0)));
    SimDesktop &sim = SimDesktop::instance();
    if (windowClass)
        sim.setWindowClass(window, windowClass);
    if (addChildren)
        addChildren(window);
    const WheelAxis axis = *axisOfWheelMessage(message);
    hookEvents(state, message, notchEvent(), [&](std::size_t) { S::animation(axis).isAnimating = false; });
}

void wheelEvent(benchmark::State &state)
{
    notches(state, WM_MOUSEWHEEL);
}

// The same with a fast spin multiplying each notch: every event comes 20 ms after the one
// before, as the performance counter tells, in a set with "fastSpinMax": 3.
void fastSpinWheelEvent(benchmark::State &state)
{
    setUp(static_cast<int>(state.range(0)));
    nlohmann::json doc = sharedConfig().document();
    doc["parameters"]["default"]["fastSpinMax"] = 3;
    sharedConfig() = doc;
    hookEvents(state, WM_MOUSEWHEEL, notchEvent(), [&](std::size_t) {
        S::s_vertical.isAnimating = false;
        S::s_fastSpin.atMs -= 20.0;
    });
}

// Every notch over another of 16 windows of 16 processes, in turn: none of them seen lately.
void firstNotchOverAWindow(benchmark::State &state)
{
    setUp(static_cast<int>(state.range(0)));
    SimDesktop &sim = SimDesktop::instance();
    std::vector<HWND> windows;
    for (int i = 0; i < 16; ++i) {
        const std::wstring image = L"C:\\Program Files\\Bench\\window" + std::to_wstring(i) + L".exe";
        windows.push_back(sim.addWindow(sim.addProcess(image), {0, 0, 1000, 800}));
    }
    hookEvents(state, WM_MOUSEWHEEL, notchEvent(), [&](std::size_t i) {
        S::s_vertical.isAnimating = false;
        sim.overrideWindowFromPoint(windows[i % windows.size()]);
    });
}

// A second notch over the window of the glide the first one began: it extends the glide.
void secondNotchOverTheSameWindow(benchmark::State &state)
{
    setUp(static_cast<int>(state.range(0)));
    MSLLHOOKSTRUCT event = notchEvent();
    S::LLMouseProc(HC_ACTION, WM_MOUSEWHEEL, reinterpret_cast<LPARAM>(&event));
    // The glide's target stays within bounds.
    hookEvents(state, WM_MOUSEWHEEL, event, [](std::size_t) { S::s_vertical.targetPos = 1200; });
}

void modernWindowWheelEvent(benchmark::State &state)
{
    notches(state, WM_MOUSEWHEEL, L"Windows.UI.Core.CoreWindow");
}

// Over the title bar of a Store app's frame: the set goes by the name of the app inside it,
// which costs a look at the frame's children and a second process query.
void storeAppFrameWheelEvent(benchmark::State &state)
{
    notches(state, WM_MOUSEWHEEL, L"ApplicationFrameWindow", [](HWND frame) {
        SimDesktop &sim = SimDesktop::instance();
        sim.addChildWindow(frame, L"Windows.UI.Core.CoreWindow", {0, 40, 1000, 800},
                           sim.addProcess(L"C:\\Program Files\\WindowsApps\\Calc\\CalculatorApp.exe"));
        sim.addChildWindow(frame, L"ApplicationFrameTitleBarWindow", {0, 0, 1000, 200});
        sim.addChildWindow(frame, L"ApplicationFrameInputSinkWindow", {0, 200, 1000, 800});
    });
}

void horizontalWheelEvent(benchmark::State &state)
{
    notches(state, WM_MOUSEHWHEEL);
}

void mouseMove(benchmark::State &state)
{
    setUp(static_cast<int>(state.range(0)));
    MSLLHOOKSTRUCT event{};
    event.pt = POINT{100, 100};
    for (auto _ : state) {
        event.pt.x = (event.pt.x + 1) & 511;
        benchmark::DoNotOptimize(
            S::LLMouseProc(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&event)));
    }
    state.SetComplexityN(state.range(0));
}

// A touchpad's fine-grained event: left to the device, it costs no more than the hook's look
// at its delta and time (a glide on its axis would end first).
void fineGrainedEvent(benchmark::State &state)
{
    setUp(static_cast<int>(state.range(0)));
    MSLLHOOKSTRUCT event{};
    event.pt = POINT{100, 100};
    event.mouseData = static_cast<DWORD>(static_cast<WORD>(-40)) << 16;
    for (auto _ : state) {
        event.time += 8;
        benchmark::DoNotOptimize(
            S::LLMouseProc(HC_ACTION, WM_MOUSEWHEEL, reinterpret_cast<LPARAM>(&event)));
    }
    state.SetComplexityN(state.range(0));
}

void animationTick(benchmark::State &state)
{
    const HWND target = setUp(static_cast<int>(state.range(0)));
    SimDesktop &sim = SimDesktop::instance();
    ScrollAnimation &a = S::s_vertical;
    a.paramSet = "default";
    a.lastDelta = 120;
    for (auto _ : state) {
        beginAnimation(a, target, POINT{100, 100}, 1200);
        S::onAnimationTick(S::s_hWnd);
        sim.clearPosted();
    }
    state.SetComplexityN(state.range(0));
}

// One frame of a glide paced by the display: the compositor asked again, the target's monitor
// checked, the schedule sampled at the blank, the step posted and the clock aimed at the next
// frame.
void pacedFrame(benchmark::State &state)
{
    const HWND target = setUp(static_cast<int>(state.range(0)));
    SimDesktop &sim = SimDesktop::instance();
    refreshFrameGrid();
    ScrollAnimation &a = S::s_vertical;
    a.paramSet = "default";
    a.lastDelta = 120;
    for (auto _ : state) {
        beginAnimation(a, target, POINT{100, 100}, 1200);
        a.paced = true;
        beginSchedule(a, 0.0, 5);
        S::onAnimationTick(S::s_hWnd);
        sim.clearPosted();
    }
    state.SetComplexityN(state.range(0));
}

// The writer's work for one line, away from the hook: taken from the queue, formatted and
// handed to the message log (here a handler that drops it, so no output device is timed).
// A notch's typical lines, written in batches the queue holds, then waited for.
void logWriterLine(benchmark::State &state)
{
    qInstallMessageHandler(quiet);
    EngineLog::startWriter();
    const std::wstring name = L"app000.exe";
    constexpr int kBatch = 64;
    for (auto _ : state) {
        for (int i = 0; i < kBatch; i += 4) {
            EngineLog::write(EngineLine::ProcessName, name);
            EngineLog::write(EngineLine::NewAnimation, 1200);
            EngineLog::write(EngineLine::InitiatingAnimation, 1200);
            EngineLog::write(EngineLine::NewTimerSet, UINT_PTR(1));
        }
        EngineLog::flush();
    }
    state.counters["perLine"] =
        benchmark::Counter(kBatch, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(wheelEvent)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Complexity();
BENCHMARK(fastSpinWheelEvent)->Arg(1)->Arg(1000);
BENCHMARK(firstNotchOverAWindow)->Arg(1)->Arg(1000);
BENCHMARK(secondNotchOverTheSameWindow)->Arg(1)->Arg(1000);
BENCHMARK(modernWindowWheelEvent)->Arg(1)->Arg(1000);
BENCHMARK(storeAppFrameWheelEvent)->Arg(1)->Arg(1000);
BENCHMARK(horizontalWheelEvent)->Arg(1)->Arg(1000);
BENCHMARK(mouseMove)->Arg(1)->Arg(1000);
BENCHMARK(fineGrainedEvent)->Arg(1)->Arg(1000);
BENCHMARK(animationTick)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Complexity();
BENCHMARK(pacedFrame)->Arg(1)->Arg(1000);
BENCHMARK(logWriterLine)->UseRealTime();
BENCHMARK_MAIN();
