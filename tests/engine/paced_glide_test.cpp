// Glides paced by the display: the schedule over plain numbers for a table of refresh rates,
// phases, intervals, percentages and targets, and its frame grid from the compositor's figures.
#include "engine/animation_math.h"
#include "engine/paced_glide.h"
#include "engine/scroll_animation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

struct Glide {
    std::vector<int> perFrame; // units delivered at the notch, then at each blank
    double end = 0.0;          // time of the last delivery, ms after the notch
};

// A paced glide of `target` for a notch at time 0, the display's blanks at phase + k * period.
Glide pacedGlide(double hz, double phaseShare, unsigned interval, unsigned percent, int target)
{
    const FrameGrid grid{1000.0 / hz, phaseShare * 1000.0 / hz};
    ScrollAnimation a;
    beginAnimation(a, nullptr, POINT{}, target);
    const double start = lastBlankAtOrBefore(grid, 0.0);
    beginSchedule(a, start, interval);
    Glide g;
    for (int m = 1; g.perFrame.size() < 200000; ++m) {
        const int units = advanceSchedule(a, start + (m + 0) * grid.periodMs, fractionOfPercent(percent));
        markPosted(a, units);
        g.perFrame.push_back(units);
        g.end = m == 1 ? 0.0 : start + (m - 1) * grid.periodMs;
        if (scheduleArrived(a))
            break;
    }
    return g;
}

// The ticks of the same glide: one step every `interval` ms from the notch on.
std::vector<int> tickSteps(unsigned interval, unsigned percent, int target)
{
    (void)interval;
    ScrollAnimation a;
    beginAnimation(a, nullptr, POINT{}, target);
    std::vector<int> steps;
    while (steps.size() < 200000) {
        const int units = advanceAnimation(a, tickNeedsPercentage(a) ? fractionOfPercent(percent) : 0.0f);
        markPosted(a, units);
        steps.push_back(units);
        if (animationArrived(a))
            break;
    }
    return steps;
}

// Frames whose distance is larger than the one before by more than `allowed` units.
int rises(const std::vector<int> &perFrame, int allowed)
{
    int count = 0;
    for (size_t i = 1; i < perFrame.size(); ++i) {
        if (std::abs(perFrame[i]) > std::abs(perFrame[i - 1]) + allowed)
            ++count;
    }
    return count;
}

// The ticks as the display shows them: each frame the steps of the ticks since the blank before.
std::vector<int> ticksPerFrame(double hz, double phaseShare, unsigned interval, const std::vector<int> &steps)
{
    const double period = 1000.0 / hz;
    const double phase = phaseShare * period;
    std::vector<int> frames;
    long long frame = -1;
    for (size_t k = 0; k < steps.size(); ++k) {
        const long long f = static_cast<long long>(std::ceil((k * double(interval) - phase) / period));
        if (frame >= 0)
            for (; frame < f; ++frame)
                frames.push_back(0);
        if (frame < 0)
            frame = f, frames.push_back(0);
        frames.back() += steps[k];
    }
    return frames;
}

TEST(PacedGlide, TableOfRatesPhasesIntervalsPercentagesAndTargets)
{
    const double rates[] = {59.94, 60, 75, 120, 144, 165, 240};
    const unsigned intervals[] = {1, 5, 500};
    const unsigned percents[] = {0, 4, 50, 100};
    const int targets[] = {1200, -1200, 120, 7, 1};
    for (double hz : rates) {
        const double period = 1000.0 / hz;
        for (int p = 0; p < 10; ++p) {
            for (unsigned interval : intervals) {
                for (unsigned percent : percents) {
                    for (int target : targets) {
                        SCOPED_TRACE(testing::Message() << hz << " Hz, phase " << p << "/10, " << interval
                                                        << " ms, " << percent << " %, " << target);
                        const Glide g = pacedGlide(hz, p / 10.0, interval, percent, target);
                        long long sum = 0;
                        for (int u : g.perFrame)
                            sum += u;
                        ASSERT_EQ(sum, target);
                        ASSERT_NE(g.perFrame.front(), 0);
                        ASSERT_EQ(rises(g.perFrame, 1), 0);
                        const double ticksEnd = (tickSteps(interval, percent, target).size() - 1) * double(interval);
                        ASSERT_LE(g.end, ticksEnd + 1e-6);
                        ASSERT_GE(g.end, ticksEnd - 2 * period - 1e-6);
                    }
                }
            }
        }
    }
}

// Today's ticks against the display at the defaults, and the paced glide: the frames where
// the distance rises.
TEST(PacedGlide, OneNotchAtTheDefaultsRisesNoMoreThanOneUnit)
{
    const std::vector<int> steps = tickSteps(5, 4, 1200);
    int tickRisesAt144 = 0;
    for (int p = 0; p < 10; ++p) {
        tickRisesAt144 = std::max(tickRisesAt144, rises(ticksPerFrame(144, p / 10.0, 5, steps), 0));
        const Glide g = pacedGlide(144, p / 10.0, 5, 4, 1200);
        EXPECT_EQ(rises(g.perFrame, 1), 0);
        EXPECT_GE(g.perFrame.size(), 45u);
    }
    EXPECT_GE(tickRisesAt144, 17); // the judder the schedule removes
}

TEST(PacedGlide, ExtendingKeepsTheTickInProgressAndSettlingEndsAtTheNextFrame)
{
    ScrollAnimation a;
    beginAnimation(a, nullptr, POINT{}, 1200);
    beginSchedule(a, 0.0, 5);
    const float f = fractionOfPercent(4);
    int sent = advanceSchedule(a, 16.0, f);
    markPosted(a, sent);
    const float stepLeft = a.stepLeft;
    extendAnimation(a, 1200);
    EXPECT_EQ(a.stepLeft, stepLeft);
    int total = sent;
    for (double t = 32.0; !scheduleArrived(a) && t < 1e6; t += 16.0) {
        const int u = advanceSchedule(a, t, f);
        markPosted(a, u);
        total += u;
    }
    EXPECT_EQ(total, 2400);

    beginAnimation(a, nullptr, POINT{}, 1200);
    beginSchedule(a, 0.0, 5);
    sent = advanceSchedule(a, 16.0, f);
    markPosted(a, sent);
    settleAnimation(a);
    settleSchedule(a);
    const int last = advanceSchedule(a, 16.0, f); // a frame on the same blank still ends it
    markPosted(a, last);
    EXPECT_TRUE(scheduleArrived(a));
    EXPECT_EQ(sent + last, a.targetPos);
    EXPECT_LE(std::abs(last), 1);
}

TEST(PacedGlide, ALateFrameDeliversWhatItReachesInOneStep)
{
    ScrollAnimation late, onTime;
    for (ScrollAnimation *a : {&late, &onTime}) {
        beginAnimation(*a, nullptr, POINT{}, 1200);
        beginSchedule(*a, 0.0, 5);
    }
    const float f = fractionOfPercent(4);
    int onTimeSum = 0;
    for (double t = 10.0; t <= 50.0; t += 10.0) {
        const int u = advanceSchedule(onTime, t, f);
        markPosted(onTime, u);
        onTimeSum += u;
    }
    const int first = advanceSchedule(late, 10.0, f);
    markPosted(late, first);
    const int jump = advanceSchedule(late, 50.0, f);
    markPosted(late, jump);
    EXPECT_EQ(first + jump, onTimeSum);
    // And a sample earlier than the last one moves nothing back.
    EXPECT_EQ(advanceSchedule(late, 20.0, f), 0);
}

TEST(PacedGlide, AFrameThatAddsNothingSendsNothingEitherWay)
{
    for (const int target : {1200, -1200}) {
        const int way = target > 0 ? 1 : -1;
        ScrollAnimation a;
        beginAnimation(a, nullptr, POINT{}, target);
        beginSchedule(a, 0.0, 5);
        a.scheduleStarted = true;
        // Half a unit consumed beyond what went out: it goes out ahead, as a whole unit.
        a.scrolledSoFar = way * 100.5f;
        a.pendingFraction = way * 0.5f;
        const int ahead = advanceSchedule(a, 0.0, fractionOfPercent(4));
        EXPECT_EQ(ahead, way);
        markPosted(a, ahead);
        // Woken again at the same blank: no unit back, and none forward again.
        for (int wake = 0; wake < 2; ++wake) {
            const int units = advanceSchedule(a, 0.0, fractionOfPercent(4));
            EXPECT_EQ(units, 0) << target;
            markPosted(a, units);
        }
    }
}

TEST(PacedGlide, GridFromTheCompositorsFigures)
{
    const unsigned long long freq = 10000000; // 10 MHz
    FrameGrid g;
    // 60 Hz, the last blank 1 ms ago.
    ASSERT_TRUE(gridFromTiming(60, 1, freq / 60, 5 * freq - freq / 1000, 5 * freq, freq, nullptr, g));
    EXPECT_NEAR(g.periodMs, 1000.0 / 60, 1e-9);
    EXPECT_NEAR(lastBlankAtOrBefore(g, 5000.0), 4999.0, 1e-6);
    // A blank that stopped advancing keeps the cached phase.
    FrameGrid stale;
    ASSERT_TRUE(gridFromTiming(60, 1, freq / 60, freq, 100 * freq, freq, &g, stale));
    EXPECT_DOUBLE_EQ(stale.phaseMs, g.phaseMs);
    // No rate, a period of 0, absurd rates, a counter period that tells another rate.
    EXPECT_FALSE(gridFromTiming(0, 1, freq / 60, freq, freq, freq, nullptr, g));
    EXPECT_FALSE(gridFromTiming(60, 0, freq / 60, freq, freq, freq, nullptr, g));
    EXPECT_FALSE(gridFromTiming(1000, 1, freq / 1000, freq, freq, freq, nullptr, g));
    EXPECT_FALSE(gridFromTiming(10, 1, freq / 10, freq, freq, freq, nullptr, g));
    EXPECT_FALSE(gridFromTiming(144, 1, freq / 60, freq, freq, freq, nullptr, g));
    EXPECT_FALSE(gridFromTiming(144, 1, 0, freq, freq, freq, nullptr, g));
    ASSERT_TRUE(gridFromTiming(60000, 1001, freq * 1001 / 60000, freq, freq, freq, nullptr, g));
    EXPECT_NEAR(g.periodMs, 1001.0 / 60.0, 1e-9);
}

} // namespace
