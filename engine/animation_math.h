#pragma once
// The arithmetic of the scroll animation, over plain numbers. Distances are in wheel units
// (120 is one notch) and are computed in 32-bit floats, as the step series depends on it.

#include <cstdint>

// Largest distance an animation travels, in either direction (69905 notches). Beyond 2^23 a
// 32-bit float can no longer count the progress in single units: the animation would stall
// and post the tail for ever.
constexpr int kLargestTarget = 8388608;

// Farthest apart a target and the progress towards it can be. Anything beyond it cannot come
// from wheel events.
constexpr float kLargestDistance = 2.0f * static_cast<float>(kLargestTarget);

// Distance the animation still has to consume.
float remainingDistance(int targetPos, float scrolledSoFar);

// Share of the remaining distance a per-tick percentage stands for; 0 counts as 1 percent.
float fractionOfPercent(std::uint64_t percent);

// The step of one tick: twice `fraction` of what remains, at least one unit while a unit or
// more remains, and never beyond the remaining distance. Below one unit the rest is taken.
float tickStep(float remaining, float fraction);

// Integer nearest to `value`, halves away from zero (as roundf), kept within the int range;
// 0 for a value that is not a number. Gives the whole units of a pending fraction too.
int nearestInt(float value);

// Nothing left to consume and nothing left to post, neither apart nor together (two float
// remainders just under half a unit each still owe one). A pending half unit with nothing left
// to consume also ends it: posting it would leave the opposite half, and the animation
// would post +1 and -1 on every tick without end.
bool animationComplete(int targetPos, float scrolledSoFar, float pendingFraction);

// Target arithmetic that stops at +-kLargestTarget instead of wrapping into the opposite
// direction.
int saturatedProduct(int a, int b);
int saturatedSum(int a, int b);

// Largest number of lines (characters) per notch a step is divided by; beyond it no glide
// delivers even one unit.
constexpr int kLargestUnitDivisor = kLargestTarget;

// A step of the series expressed in the user's own units, and the remainder carried on.
struct UserUnitStep {
    int units; // wheel units to send now; 0 sends nothing
    int carry; // what is left over, in 1/divisor of a wheel unit
};

// `n` wheel units of the series (which moves one line per 120 units) divided by the user's
// lines (characters) per notch, `divisor`, plus the remainder `carry` from the step before,
// rounded to the nearest whole unit with halves away from zero. An application that follows
// the setting then moves exactly what the series moves at one line per notch, and the units
// sent add up to the series' sum divided by `divisor`: no remainder is ever lost, only the
// last one under half a unit. A step of 0 sends nothing and keeps the carry. A divisor below
// 1 counts as 1, one above kLargestUnitDivisor as that.
UserUnitStep divideStep(int n, int divisor, int carry);
