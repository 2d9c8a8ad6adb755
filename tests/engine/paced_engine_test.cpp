// Glides paced by the display, through the hook and the frames of the simulated desktop's
// compositor clock: what arrives when, the interval clock where the display cannot pace, and
// notches between two frames.
#include "engine_test_support.h"

#include "config/config_document.h"
#include "engine/frame_clock.h"
#include "engine/frame_wake.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <cstdlib>
#include <numeric>

namespace {

using S = SmoothScroller;

struct Arrival {
    long long at; // virtual ms
    int delta;
};

class PacedEngineTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        setDisplayPaced(config(), true);
        publish();
    }

    // A display of `hz` whose blanks fall `phaseMs` after each multiple of its period.
    static void display(double hz, double phaseMs = 0.0, UINT numerator = 0, UINT denominator = 1)
    {
        const ULONGLONG period = static_cast<ULONGLONG>(std::llround(SimDesktop::kQpcFrequency / hz));
        sim().setCompositorClock(numerator ? numerator : static_cast<UINT>(std::lround(hz)), denominator, period,
                                 static_cast<ULONGLONG>(phaseMs * SimDesktop::kQpcFrequency / 1000));
        refreshFrameGrid(); // as the engine does when it starts
    }

    // Runs the clocks ms by ms, calling `during` at each, and records when each step arrived.
    template <typename During>
    static std::vector<Arrival> run(During during, long long limit = 5000)
    {
        std::vector<Arrival> arrivals;
        std::size_t seen = 0;
        const long long start = sim().now();
        auto collect = [&] {
            const std::vector<int> deltas = postedDeltas();
            for (; seen < deltas.size(); ++seen)
                arrivals.push_back({sim().now() - start, deltas[seen]});
        };
        collect();
        while (timerRunning() && sim().now() - start < limit) {
            during(sim().now() - start);
            publish();
            sim().advanceTime(1);
            collect();
        }
        return arrivals;
    }
    static std::vector<Arrival> run()
    {
        return run([](long long) {});
    }

    static int sum(const std::vector<Arrival> &a)
    {
        return std::accumulate(a.begin(), a.end(), 0, [](int s, const Arrival &x) { return s + x.delta; });
    }
    // Steps larger than the one before by more than one unit.
    static int rises(const std::vector<Arrival> &a)
    {
        int count = 0;
        for (std::size_t i = 1; i < a.size(); ++i)
            count += std::abs(a[i].delta) > std::abs(a[i - 1].delta) + 1;
        return count;
    }
};

TEST_F(PacedEngineTest, ANotchArrivesOnePieceAFrameFromTheFirstAtOnce)
{
    addApp();
    for (double hz : {60.0, 144.0, 240.0}) {
        SCOPED_TRACE(hz);
        sim().clearPosted();
        sim().advanceTime(1000);
        display(hz, 3.0);
        const int callsBefore = sim().compositionTimingCalls();
        ASSERT_TRUE(wheel(120).swallowed());
        EXPECT_EQ(sim().compositionTimingCalls(), callsBefore) << "the hook asked the compositor";
        const std::vector<Arrival> arrivals = run();
        ASSERT_FALSE(arrivals.empty());
        EXPECT_EQ(arrivals.front().at, 0);
        EXPECT_EQ(sum(arrivals), 1200);
        EXPECT_EQ(rises(arrivals), 0);
        const double period = 1000.0 / hz;
        // The notch's own step comes at once, the next just after the next blank, and every
        // later one a frame after that.
        ASSERT_GE(arrivals.size(), 2u);
        EXPECT_LE(arrivals[1].at, std::ceil(period) + 1);
        for (std::size_t i = 2; i < arrivals.size(); ++i)
            EXPECT_GE(arrivals[i].at - arrivals[i - 1].at, std::floor(period) - 1) << i;
        // The ticks end 66 intervals after the notch; the frames no later, at most two frames earlier.
        EXPECT_LE(arrivals.back().at, 330 + 1);
        EXPECT_GE(arrivals.back().at, 330 - 2 * period - 1);
        EXPECT_FALSE(timerRunning()) << "a clock still wakes after the glide";
    }
}

TEST_F(PacedEngineTest, AFrameThatReadsTheMonitorSlowlyDeliversTheFrameItWokeIn)
{
    addApp();
    std::vector<std::vector<int>> series;
    for (long long readMs : {0, 20}) { // 20: a driver that answers after the next blank
        sim().clearPosted();
        sim().advanceTime(1000 * (2 + readMs) - sim().now());
        display(60, 3.0);
        sim().setDisplayModeReadDelay(readMs);
        ASSERT_TRUE(wheel(120).swallowed());
        run();
        series.push_back(postedDeltas());
    }
    EXPECT_EQ(series[1], series[0]);
}

TEST_F(PacedEngineTest, WhereTheDisplayCannotPaceTheIntervalClockTakesOverAndTheTotalHolds)
{
    struct Case {
        const char *what;
        std::function<void()> before; // before the notch
        std::function<void(long long)> during;
        bool ticks = false; // the interval's ticks take over, from the start or on the way
    };
    const Case cases[] = {
        {"timing call failing", [] { sim().failCompositionTiming(true); }, [](long long) {}, true},
        {"remote session", [] { sim().setRemoteSession(true); }, [](long long) {}, true},
        {"absurd rate", [] { display(1000); }, [](long long) {}, true},
        {"period of 0", [] { sim().setCompositorClock(0, 1, 0, 0); }, [](long long) {}, true},
        {"call failing between frames", [] {}, [](long long t) { sim().failCompositionTiming(t >= 40); }, true},
        {"blank stops advancing", [] {}, [](long long t) { sim().freezeVerticalBlank(t >= 30); }},
        {"the window's monitor at another rate",
         [] {
             sim().setMonitorRefreshRate(MonitorFromWindow(WindowFromPoint(kCursor), MONITOR_DEFAULTTONEAREST), 144);
             S::systemChangeAnnounced(WM_DISPLAYCHANGE, 0);
         },
         [](long long) {}, true},
        {"rate changing", [] {}, [](long long t) {
             if (t == 50) {
                 sim().setCompositorClock(144, 1, SimDesktop::kQpcFrequency / 144, 0);
                 sim().setMonitorRefreshRate(MonitorFromWindow(WindowFromPoint(kCursor), MONITOR_DEFAULTTONEAREST), 144);
             }
         }},
    };
    addApp();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        sim().clearPosted();
        sim().failCompositionTiming(false);
        sim().setRemoteSession(false);
        sim().freezeVerticalBlank(false);
        sim().setMonitorRefreshRate(MonitorFromWindow(WindowFromPoint(kCursor), MONITOR_DEFAULTTONEAREST), 60);
        S::systemChangeAnnounced(WM_DISPLAYCHANGE, 0);
        display(60);
        c.before();
        refreshFrameGrid();
        ASSERT_TRUE(wheel(120).swallowed());
        const std::vector<Arrival> arrivals = run(c.during);
        EXPECT_EQ(sum(arrivals), 1200);
        EXPECT_LE(rises(arrivals), 1);
        EXPECT_FALSE(timerRunning());
        // Ticks 5 ms apart against frames of 60 (or later 144) Hz.
        if (c.ticks)
            EXPECT_GE(arrivals.size(), 55u);
        else
            EXPECT_LE(arrivals.size(), 50u);
    }
    // Said once, however many glides follow the interval clock.
    sim().failCompositionTiming(true);
    sim().freezeVerticalBlank(false);
    refreshFrameGrid();
    const std::size_t said = logLines("[SmoothScroller] The display's frames cannot pace").size();
    wheel(120);
    run();
    wheel(120);
    run();
    EXPECT_EQ(logLines("[SmoothScroller] The display's frames cannot pace").size(), said + 1);
}

TEST_F(PacedEngineTest, NotchesBetweenTwoFrames)
{
    display(144);
    addApp();
    // Extending: the total grows by the second notch and nothing is lost.
    wheel(120);
    sim().advanceTime(20);
    wheel(120);
    std::vector<Arrival> arrivals = run();
    EXPECT_EQ(postedSum(), 2400);

    // Settling: the next frame ends the glide where it is.
    sim().clearPosted();
    wheel(120);
    sim().advanceTime(20);
    wheel(-120);
    const int before = postedSum();
    arrivals = run();
    EXPECT_LE(std::abs(postedSum() - before), 1);
    EXPECT_LE(std::count_if(arrivals.begin(), arrivals.end(), [](const Arrival &x) { return x.at > 0; }), 1);
    EXPECT_LE(arrivals.back().at, 8);
    EXPECT_FALSE(timerRunning());

    // Reversing: a new schedule, its first step at once.
    sim().clearPosted();
    wheel(120);
    sim().advanceTime(20);
    const int up = postedSum();
    wheel(-240);
    EXPECT_LT(postedDeltas().back(), 0);
    run();
    EXPECT_EQ(postedSum() - up, -2400);

    // Switching the option off during a glide: the glide keeps its frames; the next notch ticks.
    sim().clearPosted();
    wheel(120);
    setDisplayPaced(config(), false);
    publish();
    EXPECT_TRUE(S::s_vertical.paced);
    run();
    EXPECT_EQ(postedSum(), 1200);
    sim().clearPosted();
    wheel(120);
    EXPECT_FALSE(S::s_vertical.paced);
    EXPECT_EQ(runAnimation(), 66);
    EXPECT_EQ(postedSum(), 1200);
}

TEST_F(PacedEngineTest, FramesWakeByTheFrameTimerOrWhereThereIsNoneByAOneShotAtTheSameTimes)
{
    addApp();
    int starts = 0; // multimedia timers started after the notch
    const auto glideAt = [&](long long at) {
        sim().clearPosted();
        sim().advanceTime(at - sim().now());
        display(60, 3.0);
        EXPECT_TRUE(wheel(120).swallowed());
        const int before = sim().multimediaTimerStarts();
        const std::vector<Arrival> arrivals = run();
        starts = sim().multimediaTimerStarts() - before;
        return arrivals;
    };
    // Before Windows 10 1803 there is no high-resolution waitable timer.
    sim().failWaitableTimers(ERROR_INVALID_PARAMETER);
    const std::vector<Arrival> oneShot = glideAt(1000);
    EXPECT_GT(starts, 0);

    closeFrameWake(); // as when the engine starts again
    sim().failWaitableTimers(0);
    const std::vector<Arrival> frames = glideAt(2000);
    EXPECT_EQ(starts, 0) << "a multimedia timer woke a frame";
    EXPECT_EQ(sim().armedWaitableTimers(), 0) << "the frame timer still wakes after the glide";
    EXPECT_EQ(sum(frames), 1200);
    for (const char *how : {"a multimedia timer", "a high-resolution waitable timer"})
        EXPECT_EQ(logLines(std::string("[SmoothScroller] Paced glides wake at each frame by ") + how).size(), 1u) << how;
    ASSERT_EQ(frames.size(), oneShot.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].at, oneShot[i].at) << i;
        EXPECT_EQ(frames[i].delta, oneShot[i].delta) << i;
    }
}

TEST_F(PacedEngineTest, ADisplayChangeUnderAGlideIsReadAtTheNextFrameAndTheRateOtherwiseOnceASecond)
{
    addApp();
    display(60);
    set()["accelUp"] = 100;
    set()["rapidIntervalUp"] = 10; // a glide of more than a second
    const long long reads = sim().servedCalls("EnumDisplaySettingsW");
    ASSERT_TRUE(wheel(120).swallowed());
    sim().advanceTime(300);
    // The window's monitor now runs at 144 Hz, the compositor still at 60: the glide takes the
    // interval's ticks from the next frame on, and its total holds.
    sim().setMonitorRefreshRate(MonitorFromWindow(WindowFromPoint(kCursor), MONITOR_DEFAULTTONEAREST), 144);
    S::systemChangeAnnounced(WM_DISPLAYCHANGE, 0);
    const std::size_t before = postedDeltas().size();
    sim().advanceTime(200);
    EXPECT_GE(postedDeltas().size() - before, 17u) << "still paced by 60 Hz frames";
    run();
    // Read at the first frame, at the announcement, and a second after the first read.
    EXPECT_LE(sim().servedCalls("EnumDisplaySettingsW") - reads, 3) << "the monitor's rate read at every frame";
    EXPECT_EQ(postedSum(), 12000);
}

TEST_F(PacedEngineTest, OnWindows11AHelperThreadHandsOnTheCompositorsFramesWhileTheGlideRuns)
{
    addApp();
    // The series of frames woken just after each blank by the waitable timer.
    sim().advanceTime(1000);
    display(60, 3.0);
    ASSERT_TRUE(wheel(120).swallowed());
    run();
    const std::vector<int> byTimer = postedDeltas();

    useCompositorClock();
    // A compositor that wakes 2 ms before or after the blanks: each frame still delivers its own.
    for (long long offset : {-2, 2}) {
        SCOPED_TRACE(offset);
        sim().clearPosted();
        sim().advanceTime(3000 + 1000 * offset - sim().now());
        display(60, 3.0);
        sim().setCompositorFrameOffset(offset);
        const int starts = sim().multimediaTimerStarts();
        ASSERT_TRUE(wheel(120).swallowed());
        run();
        EXPECT_EQ(postedDeltas(), byTimer);
        EXPECT_EQ(sim().multimediaTimerStarts(), starts);
        EXPECT_EQ(sim().armedWaitableTimers(), 0);
        // Parked between glides: nothing wakes it.
        EXPECT_FALSE(timerRunning()) << "the helper thread still waits for frames after the glide";
        const long long waits = sim().compositorWaits();
        sim().advanceTime(500);
        EXPECT_EQ(sim().compositorWaits(), waits);
    }
    EXPECT_EQ(logLines("[SmoothScroller] Paced glides wake at each frame by the compositor's clock").size(), 1u);
}

} // namespace
