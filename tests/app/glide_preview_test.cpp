#include "app/glide_preview.h"
#include "ui/glide_chart.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

GlideShape shape(int multiple, int percent, int interval, double pacedHz = 0.0)
{
    GlideShape s;
    s.multiple = multiple;
    s.percent = percent;
    s.intervalMs = interval;
    s.pacedHz = pacedHz;
    return s;
}

TEST(GlidePreview, LengthAndDistanceMatchTheTickSeries)
{
    // The defaults: 1200 units in 67 steps, the first with the notch, so 66 intervals.
    const GlideCurve defaults = glideCurve(shape(10, 4, 5));
    EXPECT_EQ(defaults.points.size(), 67);
    EXPECT_DOUBLE_EQ(defaults.lengthMs, 330.0);
    EXPECT_DOUBLE_EQ(defaults.lines, 10.0);
    EXPECT_NEAR(defaults.points.first().y(), 96.0 / 120.0, 1e-9);
    // Half the rest at each step: 11 steps; 50 % or more: all of it in the first, at once.
    const GlideCurve quarter = glideCurve(shape(10, 25, 5));
    EXPECT_EQ(quarter.points.size(), 11);
    EXPECT_DOUBLE_EQ(quarter.lengthMs, 50.0);
    const GlideCurve half = glideCurve(shape(10, 50, 5));
    EXPECT_EQ(half.points.size(), 1);
    EXPECT_DOUBLE_EQ(half.lengthMs, 0.0);
    EXPECT_DOUBLE_EQ(half.lines, 10.0);

    // Paced at 60 Hz: the same distance, ending no more than two frames before the ticks.
    const GlideCurve paced = glideCurve(shape(10, 4, 5, 60.0));
    EXPECT_DOUBLE_EQ(paced.lines, 10.0);
    EXPECT_LE(paced.lengthMs, 330.0);
    EXPECT_GE(paced.lengthMs, 330.0 - 2 * 1000.0 / 60.0);
    // A rate the engine does not pace by follows the ticks.
    EXPECT_DOUBLE_EQ(glideCurve(shape(10, 4, 5, 1000.0)).lengthMs, 330.0);
    // Down goes the same way along its own notch.
    GlideShape down = shape(10, 4, 5);
    down.up = false;
    EXPECT_DOUBLE_EQ(glideCurve(down).lines, 10.0);
}

TEST(GlidePreview, ValuesFromAHandEditedFileStayFiniteAndBounded)
{
    // No distance, or smoothing off: the notch passes through, and the picture says so.
    EXPECT_EQ(glideCurve(shape(0, 4, 5)).kind, GlideCurve::Kind::NoDistance);
    GlideShape off = shape(10, 4, 5);
    off.smoothing = false;
    EXPECT_EQ(glideCurve(off).kind, GlideCurve::Kind::SmoothingOff);
    EXPECT_EQ(GlideChart::summary(glideCurve(shape(0, 4, 5))).first(), QStringLiteral("原样通过"));
    // A negative distance reverses the glide.
    const GlideCurve reversed = glideCurve(shape(-10, 4, 5));
    EXPECT_DOUBLE_EQ(reversed.lines, -10.0);
    EXPECT_LT(reversed.points.last().y(), 0.0);
    // A share of 0 counts as 1 % (207 steps); 100,000 times the notch stops at the largest
    // target; at 500 ms such a glide lasts minutes: drawn to the cut, its length written.
    EXPECT_DOUBLE_EQ(glideCurve(shape(10, 0, 1)).lengthMs, 206.0);
    for (double hz : {0.0, 500.0}) {
        const GlideCurve longest = glideCurve(shape(100000, 0, 500, hz));
        EXPECT_TRUE(longest.cut);
        EXPECT_GT(longest.lengthMs, 60000.0);
        EXPECT_TRUE(std::isfinite(longest.lines));
        EXPECT_LE(longest.points.size(), kGlideCutMs / 2 + 2);
        EXPECT_LE(longest.points.last().x(), kGlideCutMs + 500.0);
    }
    EXPECT_EQ(GlideChart::lengthText(330.0), QStringLiteral("330 ms"));
    EXPECT_EQ(GlideChart::lengthText(425000.0), QStringLiteral("7 分 5 秒"));
    // An interval of 1 ms, and one the timer would take as its low 32 bits.
    EXPECT_DOUBLE_EQ(glideCurve(shape(10, 4, 1)).lengthMs, 66.0);
    EXPECT_TRUE(std::isfinite(glideCurve(shape(10, 4, -5)).lengthMs));
}

} // namespace
