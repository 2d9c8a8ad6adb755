#include "engine/animation_math.h"

#include <cmath>
#include <limits>

namespace {

int clampToInt(long long value)
{
    constexpr long long kMin = std::numeric_limits<int>::min();
    constexpr long long kMax = std::numeric_limits<int>::max();
    return static_cast<int>(value < kMin ? kMin : (value > kMax ? kMax : value));
}

int clampToTarget(long long value)
{
    return static_cast<int>(value < -kLargestTarget ? -kLargestTarget
                                                    : (value > kLargestTarget ? kLargestTarget : value));
}

} // namespace

float remainingDistance(int targetPos, float scrolledSoFar)
{
    return static_cast<float>(targetPos) - scrolledSoFar;
}

float fractionOfPercent(std::uint64_t percent)
{
    float fraction = static_cast<float>(static_cast<float>(percent) / 100.0);
    if (fraction <= 0.0f)
        fraction = 0.01f;
    return fraction;
}

float tickStep(float remaining, float fraction)
{
    float step;
    if (std::fabs(remaining) >= 1.0f) {
        step = fraction * remaining;
        step = step + step;
        if (std::fabs(step) < 1.0f)
            step = remaining > 0.0f ? 1.0f : -1.0f;
    } else {
        step = remaining;
    }
    if (std::fabs(step) > std::fabs(remaining))
        step = remaining;
    return step;
}

int nearestInt(float value)
{
    if (!std::isfinite(value))
        return 0;
    // 2^31 is exactly representable; anything at or beyond it saturates.
    constexpr float kLimit = 2147483648.0f;
    if (value >= kLimit)
        return std::numeric_limits<int>::max();
    if (value <= -kLimit)
        return std::numeric_limits<int>::min();
    return clampToInt(std::llround(value));
}

bool animationComplete(int targetPos, float scrolledSoFar, float pendingFraction)
{
    // State that is no longer a number can never arrive; end rather than tick for ever.
    if (!std::isfinite(scrolledSoFar) || !std::isfinite(pendingFraction))
        return true;
    const float remaining = remainingDistance(targetPos, scrolledSoFar);
    // Each part under half a unit can still add up to a whole unit owed, as the float sums
    // round apart: the next tick then takes the rest and posts that unit.
    return std::fabs(remaining) < 0.5f && std::fabs(pendingFraction) <= 0.5f
        && std::fabs(remaining + pendingFraction) <= 0.5f;
}

int saturatedProduct(int a, int b)
{
    return clampToTarget(static_cast<long long>(a) * static_cast<long long>(b));
}

int saturatedSum(int a, int b)
{
    return clampToTarget(static_cast<long long>(a) + static_cast<long long>(b));
}

UserUnitStep divideStep(int n, int divisor, int carry)
{
    const long long d = divisor < 1 ? 1 : (divisor > kLargestUnitDivisor ? kLargestUnitDivisor : divisor);
    const long long sum = static_cast<long long>(n) + carry;
    long long units = sum / d;
    const long long rest = sum - units * d;
    if (2 * (rest < 0 ? -rest : rest) >= d)
        units += sum < 0 ? -1 : 1;
    // A step that brings nothing new sends nothing. Without this, the half unit a step before
    // sent ahead (carry -d/2 after a tie) would round away from zero into a whole unit back:
    // a step against the glide at its end.
    if (n == 0)
        units = 0;
    return UserUnitStep{clampToInt(units), static_cast<int>(sum - units * d)};
}
