#include "engine/paced_glide.h"

#include "engine/animation_math.h"

#include <cmath>

namespace {

// Nothing is left to consume once the whole units pending go out with this frame.
bool consumedAll(const ScrollAnimation &a)
{
    const float pending = a.pendingFraction - static_cast<float>(unitsDue(a));
    return animationComplete(a.targetPos, a.scrolledSoFar, pending);
}

} // namespace

void beginSchedule(ScrollAnimation &a, double start, unsigned interval)
{
    a.intervalMs = interval;
    a.scheduleAt = start;
    a.scheduleStarted = false;
    a.tickInProgress = false;
    a.stepLeft = 0.0f;
    a.tickLeftMs = 0.0;
}

bool scheduleArrived(const ScrollAnimation &a)
{
    return a.scheduleStarted && !a.tickInProgress && animationArrived(a);
}

int advanceSchedule(ScrollAnimation &a, double until, float fraction)
{
    int units = unitsDue(a);
    if (!a.scheduleStarted) {
        // The tick at the schedule's start is taken at once.
        units = consumeStep(a, tickStep(remainingDistance(a), fraction));
        a.scheduleStarted = true;
    }
    double dt = std::isfinite(until) && until > a.scheduleAt ? until - a.scheduleAt : 0.0;
    // An interval of 0 would spread a tick over no time at all.
    const double interval = a.intervalMs < 1 ? 1.0 : static_cast<double>(a.intervalMs);
    for (;;) {
        if (!a.tickInProgress) {
            // A tick begins only once time moves into it, so that a notch arriving before then
            // still sets its step.
            if (dt <= 0.0 || consumedAll(a))
                break;
            a.stepLeft = tickStep(remainingDistance(a), fraction);
            a.tickLeftMs = interval;
            a.tickInProgress = true;
        }
        if (dt >= a.tickLeftMs) {
            units = consumeStep(a, a.stepLeft);
            dt -= a.tickLeftMs;
            a.scheduleAt += a.tickLeftMs;
            a.tickInProgress = false;
            a.stepLeft = 0.0f;
            a.tickLeftMs = 0.0;
            continue;
        }
        const float piece = static_cast<float>(static_cast<double>(a.stepLeft) * (dt / a.tickLeftMs));
        units = consumeStep(a, piece);
        a.stepLeft -= piece;
        a.tickLeftMs -= dt;
        a.scheduleAt += dt;
        break;
    }
    return units;
}

void settleSchedule(ScrollAnimation &a)
{
    // What is left after settling (less than a unit) is due at once.
    a.scheduleStarted = true;
    a.tickInProgress = true;
    a.stepLeft = remainingDistance(a);
    a.tickLeftMs = 0.0;
}

double lastBlankAtOrBefore(const FrameGrid &grid, double t)
{
    if (!(grid.periodMs > 0.0) || !std::isfinite(t))
        return t;
    double blank = grid.phaseMs + std::floor((t - grid.phaseMs) / grid.periodMs) * grid.periodMs;
    // A time on a blank is not taken for one just before it by the division's rounding.
    if (t - (blank + grid.periodMs) > -1e-6)
        blank += grid.periodMs;
    return blank;
}

double qpcToMs(unsigned long long qpc, unsigned long long qpcFrequency)
{
    if (qpcFrequency == 0)
        return 0.0;
    // Whole seconds and the rest apart, so that no precision is lost on a long-running counter.
    const unsigned long long seconds = qpc / qpcFrequency;
    const unsigned long long rest = qpc % qpcFrequency;
    return static_cast<double>(seconds) * 1000.0
        + static_cast<double>(rest) * 1000.0 / static_cast<double>(qpcFrequency);
}

bool gridFromTiming(unsigned rateNumerator, unsigned rateDenominator, unsigned long long qpcPeriod,
                    unsigned long long qpcVBlank, unsigned long long qpcNow,
                    unsigned long long qpcFrequency, const FrameGrid *cached, FrameGrid &out)
{
    if (rateNumerator == 0 || rateDenominator == 0 || qpcFrequency == 0)
        return false;
    const double hz = static_cast<double>(rateNumerator) / static_cast<double>(rateDenominator);
    if (!(hz >= kSlowestRefreshHz && hz <= kFastestRefreshHz))
        return false;
    const double period = 1000.0 / hz;
    // The counter's period must tell the same rate; a compositor that reports one rate and
    // runs at another is not to be paced by.
    const double counted = static_cast<double>(qpcPeriod) * 1000.0 / static_cast<double>(qpcFrequency);
    if (std::fabs(counted - period) > period * 0.01)
        return false;
    const double now = qpcToMs(qpcNow, qpcFrequency);
    const double blank = qpcToMs(qpcVBlank, qpcFrequency);
    out.periodMs = period;
    if (qpcVBlank != 0 && blank <= now + period && now - blank <= kStaleBlankPeriods * period)
        out.phaseMs = std::fmod(blank, period);
    else
        out.phaseMs = cached && cached->periodMs > 0.0 ? std::fmod(cached->phaseMs, period) : 0.0;
    if (out.phaseMs < 0.0)
        out.phaseMs += period;
    return true;
}
