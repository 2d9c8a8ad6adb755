#pragma once
// A glide paced by the display: the tick series laid out in time and sampled at the display's
// vertical blanks, so that every frame shows an even share of it. Plain functions over the
// animation value; the host decides when frames come and delivers what these return.
//
// The schedule: the tick at the schedule's start is taken at once, and between two ticks the
// schedule advances linearly through the later tick's step. Each delivery is what the
// schedule reaches at a sample time minus what was delivered, rounded with the fraction
// carried (the same pending fraction the ticks use).

#include "engine/scroll_animation.h"

// A new schedule for `a` (a new glide, a reversal or a restart) beginning at `start`, the
// last vertical blank at or before the notch (ms on the frame clock), laid out at the
// set's interval.
void beginSchedule(ScrollAnimation &a, double start, unsigned interval);

// Consumes the schedule up to `until` (never backwards) at `fraction` for ticks that begin
// on the way, and returns the whole units to deliver now; markPosted then takes them off.
int advanceSchedule(ScrollAnimation &a, double until, float fraction);

// A slight opposite notch on a paced glide (after settleAnimation): the next frame takes what
// is left and ends it.
void settleSchedule(ScrollAnimation &a);

// The schedule has run to its end: no tick in progress, nothing left to consume or deliver.
bool scheduleArrived(const ScrollAnimation &a);

// The vertical blanks of a display: at phase + k * period, in ms on the frame clock.
struct FrameGrid {
    double periodMs = 0.0;
    double phaseMs = 0.0; // in [0, period)
};
double lastBlankAtOrBefore(const FrameGrid &grid, double t);

// Rates a display can run at; beyond them the figures are taken as a fault.
constexpr double kSlowestRefreshHz = 20.0;
constexpr double kFastestRefreshHz = 500.0;

// What the compositor reports, turned into a grid. The period comes from the refresh rate
// (numerator / denominator in Hz) and must agree with the counter's period within 1 %; the
// phase comes from the latest vertical blank, unless that lies more than kStaleBlankPeriods
// periods before `qpcNow` (a blank that stopped advancing): then `cached`'s phase is kept, or
// 0. Nothing when the figures are unusable (no rate, a rate outside 20 to 500 Hz).
constexpr double kStaleBlankPeriods = 64.0;
bool gridFromTiming(unsigned rateNumerator, unsigned rateDenominator, unsigned long long qpcPeriod,
                    unsigned long long qpcVBlank, unsigned long long qpcNow,
                    unsigned long long qpcFrequency, const FrameGrid *cached, FrameGrid &out);

// Milliseconds of the frame clock for a counter value.
double qpcToMs(unsigned long long qpc, unsigned long long qpcFrequency);
