#include "engine/scroll_animation.h"

#include "engine/animation_math.h"

#include <cmath>

float remainingDistance(const ScrollAnimation &a)
{
    return remainingDistance(a.targetPos, a.scrolledSoFar);
}

void beginAnimation(ScrollAnimation &a, HWND hwnd, POINT pt, int total, const StepRoute &route,
                    int unitDivisor)
{
    a.unitDivisor = unitDivisor;
    a.unitCarry = 0;
    a.targetPos = total;
    a.scrolledSoFar = 0.0f;
    a.targetHwnd = hwnd;
    a.targetPoint = pt;
    a.pendingFraction = 0.0f;
    a.postedUnits = 0;
    a.route = route;
    a.undelivered = false;
    a.isAnimating = true;
}

void settleAnimation(ScrollAnimation &a)
{
    // The next tick finds less than a unit left and ends the animation.
    a.targetPos = nearestInt(a.scrolledSoFar);
    // What has been posted is the progress less the pending fraction. The fraction is
    // dropped, so the progress drops it too: a notch that extends this animation before it
    // ends then still posts exactly the target, not a unit more or less.
    a.scrolledSoFar -= a.pendingFraction;
    a.pendingFraction = 0.0f;
}

ExtendOutcome extendAnimation(ScrollAnimation &a, int total)
{
    a.targetPos = saturatedSum(a.targetPos, total);
    if (a.activeTimerId != 0)
        return ExtendOutcome::ClockCarriesIt;
    return std::fabs(remainingDistance(a)) >= 1.0f ? ExtendOutcome::RestartClock
                                                   : ExtendOutcome::NothingToDo;
}

void restartAnimation(ScrollAnimation &a, HWND hwnd, POINT pt, const StepRoute &route)
{
    a.isAnimating = true;
    a.targetHwnd = hwnd;
    a.targetPoint = pt;
    a.route = route;
    a.undelivered = false;
}

bool animationLost(const ScrollAnimation &a)
{
    const float remaining = remainingDistance(a);
    return !std::isfinite(remaining) || std::fabs(remaining) > kLargestDistance;
}

bool tickNeedsPercentage(const ScrollAnimation &a)
{
    return std::fabs(remainingDistance(a)) >= 1.0f;
}

int advanceAnimation(ScrollAnimation &a, float fraction)
{
    return consumeStep(a, tickStep(remainingDistance(a), fraction));
}

int consumeStep(ScrollAnimation &a, float step)
{
    const float remaining = remainingDistance(a);
    // A step of the schedule never overshoots, and one left from before a notch that turned
    // an arrived glide round moves nothing the wrong way.
    if (step * remaining < 0.0f)
        step = 0.0f;
    else if (std::fabs(step) > std::fabs(remaining))
        step = remaining;
    a.pendingFraction += step;
    a.scrolledSoFar += step;
    // The two sums round apart at every step, the progress the more coarsely the farther it
    // has come. Over a long glide of some 10^4 units (a wheel spun freely, notch after notch)
    // they would drift a unit apart, and the glide would deliver a unit more or less than its
    // target. Within a quarter of a unit the fraction is kept as it is; beyond, it is what the
    // progress says is left of what went out.
    const float sent = static_cast<float>(a.postedUnits);
    if (std::fabs(a.pendingFraction - (a.scrolledSoFar - sent)) > 0.25f)
        a.pendingFraction = a.scrolledSoFar - sent;
    return unitsDue(a);
}

int unitsDue(const ScrollAnimation &a)
{
    const int units = nearestInt(a.pendingFraction);
    // Never a unit against the way the glide still has to go. Once a half unit has gone out
    // ahead as a whole one, -0.5 is pending: a frame that adds nothing to it must not send that
    // half back, nor the next one send it forward again. Nor may a fraction put right from the
    // coarse progress of a long glide (consumeStep) send one back: it waits for the next steps.
    const float owed = remainingDistance(a) + a.pendingFraction;
    if ((units > 0 && !(owed > 0.0f)) || (units < 0 && !(owed < 0.0f)))
        return 0;
    return units;
}

void markPosted(ScrollAnimation &a, int units)
{
    a.pendingFraction -= static_cast<float>(units);
    a.postedUnits += units;
}

int userUnits(ScrollAnimation &a, int units)
{
    const UserUnitStep step = divideStep(units, a.unitDivisor, a.unitCarry);
    a.unitCarry = step.carry;
    return step.units;
}

bool animationArrived(const ScrollAnimation &a)
{
    return animationComplete(a.targetPos, a.scrolledSoFar, a.pendingFraction);
}
