#include "app/glide_preview.h"

#include "engine/animation_math.h"
#include "engine/paced_glide.h"
#include "engine/scroll_animation.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr double kUnitsPerLine = 120.0;
// A notch of the largest target at 1 percent ends in under 700 ticks; beyond this count the
// state can never arrive.
constexpr int kMostTicks = 20000;
// Frames followed one by one before a paced glide's length is taken from its ticks instead.
constexpr int kMostFrames = 200000;

struct Series {
    GlideCurve curve;
    long long units = 0;
    bool done = false;
};

// Adds the units delivered at `ms`; the points stop after the first one past the cut.
void deliver(Series &s, double ms, int units, bool up)
{
    s.units += units;
    if (s.curve.cut)
        return;
    const double lines = static_cast<double>(s.units) / kUnitsPerLine * (up ? 1.0 : -1.0);
    s.curve.points.append(QPointF(ms, lines));
    s.curve.cut = ms > kGlideCutMs;
}

void finish(Series &s, double lengthMs, bool up)
{
    s.curve.lengthMs = lengthMs;
    s.curve.lines = static_cast<double>(s.units) / kUnitsPerLine * (up ? 1.0 : -1.0);
}

// The ticks of the interval clock: the first with the notch, then one every interval.
Series tickSeries(int total, float fraction, double interval, bool up)
{
    Series s;
    ScrollAnimation a;
    beginAnimation(a, nullptr, POINT{0, 0}, total);
    int tick = 0;
    for (; tick < kMostTicks && !animationLost(a); ++tick) {
        const int units = advanceAnimation(a, fraction);
        markPosted(a, units);
        deliver(s, tick * interval, units, up);
        if (animationArrived(a)) {
            s.done = true;
            break;
        }
    }
    finish(s, std::min(tick, kMostTicks - 1) * interval, up);
    return s;
}

// The frames of a paced glide, the notch taken on a vertical blank: its own step delivers
// the schedule up to the next blank, and each frame after it up to the blank after its own.
Series frameSeries(int total, float fraction, unsigned interval, double hz, bool up)
{
    Series s;
    ScrollAnimation a;
    beginAnimation(a, nullptr, POINT{0, 0}, total);
    a.paced = true;
    beginSchedule(a, 0.0, interval);
    const double period = 1000.0 / hz;
    for (int frame = 0; frame < kMostFrames && !animationLost(a); ++frame) {
        const int units = advanceSchedule(a, (frame + 1) * period, fraction);
        markPosted(a, units);
        deliver(s, frame * period, units, up);
        if (scheduleArrived(a)) {
            s.done = true;
            finish(s, frame * period, up);
            break;
        }
    }
    return s;
}

} // namespace

GlideCurve glideCurve(const GlideShape &shape)
{
    GlideCurve passing;
    if (!shape.smoothing) {
        passing.kind = GlideCurve::Kind::SmoothingOff;
        return passing;
    }
    // As the hook makes the target: the multiple times the notch's 120 units, its sign the way.
    const int total = saturatedProduct(shape.multiple, shape.up ? 120 : -120);
    if (total == 0) {
        passing.kind = GlideCurve::Kind::NoDistance;
        return passing;
    }
    const float fraction = fractionOfPercent(static_cast<std::uint64_t>(std::max(shape.percent, 0)));
    // The timer takes the interval's low 32 bits; below 1 ms a step is drawn 1 ms apart, as
    // the paced schedule spreads it.
    const unsigned interval = static_cast<unsigned>(shape.intervalMs);
    const double tickMs = std::max(1.0, static_cast<double>(interval));

    // Outside 20 to 500 Hz the engine follows the interval clock.
    if (shape.pacedHz >= kSlowestRefreshHz && shape.pacedHz <= kFastestRefreshHz) {
        Series frames = frameSeries(total, fraction, interval, shape.pacedHz, shape.up);
        if (!frames.done) {
            // Too long to follow frame by frame: as long as its ticks (within two frames).
            const Series ticks = tickSeries(total, fraction, tickMs, shape.up);
            frames.curve.lengthMs = ticks.curve.lengthMs;
            frames.curve.lines = ticks.curve.lines;
        }
        return frames.curve;
    }
    return tickSeries(total, fraction, tickMs, shape.up).curve;
}
