#pragma once
// One scroll animation as plain data, and what wheel notches and clock ticks do to it. Nothing
// here calls the platform: the host asks these functions what to do (post n units, start or
// stop the clock) and does it.

#include "engine/wheel_route.h"
#include "platform/win32.h"

#include <string>

struct ScrollAnimation {
    bool isAnimating = false;
    HWND targetHwnd = nullptr;    // receives the steps: the window the notch was turned over
    POINT targetPoint = {0, 0};   // cursor of the notch that began (or restarted) it
    int targetPos = 0;            // distance to travel in wheel units; positive is up (or right)
    float scrolledSoFar = 0.0f;   // consumed by ticks
    float pendingFraction = 0.0f; // consumed but not yet posted as whole units
    long long postedUnits = 0;    // taken off the pending fraction (markPosted) since it began
    int lastDelta = 0;            // direction-adjusted delta of the axis's latest notch
    UINT_PTR activeTimerId = 0;   // what the clock's start returned; 0 while no clock runs
    std::string paramSet;         // the set chosen by the axis's latest notch
    StepRoute route;              // posted to the target, or injected as input
    bool undelivered = false;     // a step could not be handed to the system at all
    // The user's lines (characters) per notch the steps are divided by, as they were when
    // the animation began, and the remainder of that division carried to the next step.
    int unitDivisor = 1;
    int unitCarry = 0;
    // The clock's interval in ms, and whether the display's frames pace the glide instead of
    // the interval's ticks: both fixed by the notch that began or restarted it.
    unsigned intervalMs = 5;
    bool paced = false;
    // A paced glide's place on its schedule (paced_glide.h): consumed up to scheduleAt (ms
    // on the frame clock); the tick at the start taken or not; the tick in progress, its
    // step not yet consumed and the time until it completes.
    double scheduleAt = 0.0;
    bool scheduleStarted = false;
    bool tickInProgress = false;
    float stepLeft = 0.0f;
    double tickLeftMs = 0.0;
    // The clock is aimed at the display's next frame rather than ticking at the interval.
    bool frameWake = false;
};

float remainingDistance(const ScrollAnimation &a);

// A new animation of `total` units towards `hwnd`, with the steps carrying `pt` and going the
// way `route` says, each divided by `unitDivisor` (userUnits).
void beginAnimation(ScrollAnimation &a, HWND hwnd, POINT pt, int total, const StepRoute &route = {},
                    int unitDivisor = 1);

// A slight opposite notch: the animation stops where it is, at the next tick.
void settleAnimation(ScrollAnimation &a);

enum class ExtendOutcome {
    ClockCarriesIt, // the running clock takes the larger target
    RestartClock,   // the clock had stopped: restart it (restartAnimation) for what is left
    NothingToDo,    // less than a unit to go
};
// A notch in the animation's direction (or onto one that has as good as arrived).
ExtendOutcome extendAnimation(ScrollAnimation &a, int total);
void restartAnimation(ScrollAnimation &a, HWND hwnd, POINT pt, const StepRoute &route = {});

// State that no tick can bring to an end (not a number, or farther than any notch reaches).
bool animationLost(const ScrollAnimation &a);
// The tick's step depends on the set's percentage (a unit or more is left).
bool tickNeedsPercentage(const ScrollAnimation &a);
// Consumes one tick's step at `fraction` (fractionOfPercent) and returns the whole units to
// post now; markPosted then takes them off the pending fraction.
int advanceAnimation(ScrollAnimation &a, float fraction);
// Consumes `step` (never beyond what remains) and returns the whole units now pending.
int consumeStep(ScrollAnimation &a, float step);
// The whole units of the pending fraction due now: the nearest, but never a unit against the
// way the glide still has to go.
int unitsDue(const ScrollAnimation &a);
void markPosted(ScrollAnimation &a, int units);
// The units of the series' step `units` (what markPosted took) that go out in the user's
// units (divideStep), carrying the remainder on; 0 sends nothing.
int userUnits(ScrollAnimation &a, int units);
// Nothing left to consume or to post (animationComplete).
bool animationArrived(const ScrollAnimation &a);
