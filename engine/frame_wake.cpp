#include "engine/frame_wake.h"

#include "engine/animation_clock.h"
#include "engine/engine_log.h"
#include "engine/wheel_axis.h"

#include <algorithm>
#include <atomic>
#include <cmath>

// Windows 10 1803 and later; mingw's headers do not name it yet.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {

// The clocks waiting for frames, one bit per axis, and their window: read by the helper thread.
std::atomic<unsigned> s_aimed{0};
std::atomic<HWND> s_hidden{nullptr};

CompositorClockWait s_compositorWait = nullptr;
// Never destroyed: a process that ends with the engine running must not wait for the helper in
// its static destructors.
CompositorClockThread &compositorClock()
{
    static auto *clock = new CompositorClockThread;
    return *clock;
}
HANDLE s_timer = nullptr;
bool s_timerUnavailable = false;

// How frames have woken since the engine started, said in the log the first time and at
// each change.
enum class Source { None, Compositor, Timer, Multimedia };
Source s_said = Source::None;

bool say(Source source)
{
    if (source != s_said) {
        s_said = source;
        const char *how = source == Source::Compositor ? "the compositor's clock"
            : source == Source::Timer                 ? "a high-resolution waitable timer"
                                                      : "a multimedia timer";
        EngineLog::write(EngineLine::FrameWakeSource, how);
    }
    return source != Source::Multimedia;
}

// A still desktop composes no frame: after this long the glide goes on without one.
constexpr DWORD kCompositorStallMs = 34;

unsigned bitOf(UINT_PTR id)
{
    const auto axis = axisOfClock(id);
    return axis ? 1u << static_cast<int>(*axis) : 0u;
}

void tickAimedClocks()
{
    const unsigned aimed = s_aimed.load();
    for (WheelAxis axis : kWheelAxes) {
        if (aimed & (1u << static_cast<int>(axis)))
            postClockTick(s_hidden.load(), clockIdOf(axis));
    }
}

bool makeTimer()
{
    if (!s_timer && !s_timerUnavailable) {
        s_timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
        s_timerUnavailable = s_timer == nullptr; // before Windows 10 1803
    }
    return s_timer != nullptr;
}

bool aimTimer(double delayMs)
{
    if (!makeTimer())
        return false;
    LARGE_INTEGER due;
    due.QuadPart = -std::max<LONGLONG>(1, std::llround(delayMs * 10000.0)); // relative, 100 ns
    return SetWaitableTimer(s_timer, &due, 0, nullptr, nullptr, FALSE) != FALSE;
}

} // namespace

CompositorClockWait lookUpCompositorClockWait()
{
#ifdef _WIN32
    const HMODULE dcomp = LoadLibraryExW(L"dcomp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!dcomp)
        return nullptr;
    return reinterpret_cast<CompositorClockWait>(
        reinterpret_cast<void *>(GetProcAddress(dcomp, "DCompositionWaitForCompositorClock")));
#else
    return nullptr;
#endif
}

void prepareFrameWake(CompositorClockWait wait)
{
    closeFrameWake();
    // The helper thread starts here, parked, and lives until the engine stops: no glide starts
    // or joins a thread inside the hook. The timer is made now as well, so that the loop waits
    // on it from its first pass and no glide makes it in the hook, not even once the
    // compositor's clock has failed.
    if (wait && compositorClock().start(wait, tickAimedClocks, kCompositorStallMs))
        s_compositorWait = wait;
    makeTimer();
}

bool aimFrameWake(HWND hidden, UINT_PTR id, double delayMs)
{
    const unsigned bit = bitOf(id);
    if (!bit || !hidden)
        return false;
    s_hidden = hidden;
    if (s_compositorWait) {
        if (!compositorClock().failed()) {
            s_aimed |= bit;
            compositorClock().resume();
            return say(Source::Compositor);
        }
        // It has ended: the timer takes over, and the thread is joined when the engine stops.
        s_compositorWait = nullptr;
    }
    if (!aimTimer(delayMs)) {
        cancelFrameWake(id);
        return say(Source::Multimedia); // the clock's one-shot takes over
    }
    s_aimed |= bit;
    return say(Source::Timer);
}

void cancelFrameWake(UINT_PTR id)
{
    if ((s_aimed &= ~bitOf(id)) != 0)
        return;
    compositorClock().park();
    if (s_timer)
        CancelWaitableTimer(s_timer);
}

HANDLE frameWakeTimer() { return s_timer; }

void frameWakeTimerSignalled() { tickAimedClocks(); }

void dropFrameWakeTimer()
{
    if (s_timer)
        CloseHandle(s_timer);
    s_timer = nullptr;
    s_timerUnavailable = true;
    tickAimedClocks(); // their next aim takes the multimedia timer
}

void closeFrameWake()
{
    s_aimed = 0;
    s_said = Source::None;
    compositorClock().stop();
    if (s_timer)
        CloseHandle(s_timer);
    s_timer = nullptr;
    s_timerUnavailable = false;
    s_compositorWait = nullptr;
}
