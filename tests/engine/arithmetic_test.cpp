// The engine's decisions on their own, over plain data: the animation's series and its
// changes by notches, step, rounding, end condition, message composition, the hook's decision
// and the typed reads of a parameter set.
#include "engine/animation_math.h"
#include "engine/hook_params.h"
#include "config/param_reading.h"
#include "engine/scroll_animation.h"
#include "engine/wheel_axis.h"
#include "engine/wheel_decision.h"
#include "engine/wheel_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

using nlohmann::json;

namespace {
constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

// The units each tick posts until the animation arrives, as the host's tick runs it.
std::vector<int> ticks(ScrollAnimation &a, std::uint64_t percent)
{
    std::vector<int> posted;
    while (posted.size() < 100000 && !animationLost(a)) {
        const float fraction = tickNeedsPercentage(a) ? fractionOfPercent(percent) : 0.0f;
        const int units = advanceAnimation(a, fraction);
        markPosted(a, units);
        posted.push_back(units);
        if (animationArrived(a))
            break;
    }
    return posted;
}

std::vector<int> series(int target, std::uint64_t percent)
{
    ScrollAnimation a;
    beginAnimation(a, nullptr, POINT{}, target);
    return ticks(a, percent);
}

std::vector<int> head(const std::vector<int> &v, std::size_t n)
{
    return std::vector<int>(v.begin(), v.begin() + static_cast<long>(std::min(n, v.size())));
}

int sum(const std::vector<int> &v)
{
    return std::accumulate(v.begin(), v.end(), 0);
}
} // namespace

TEST(AnimationSeries, OneNotchEasesOutOverSixtySevenTicksEitherWay)
{
    const std::vector<int> up = series(1200, 4);
    EXPECT_EQ(up.size(), 67u);
    EXPECT_EQ(head(up, 5), (std::vector<int>{96, 88, 82, 74, 69}));
    EXPECT_EQ(std::vector<int>(up.end() - 5, up.end()), std::vector<int>(5, 1));
    EXPECT_EQ(sum(up), 1200);
    std::vector<int> down = series(-1200, 4);
    for (int &units : down)
        units = -units;
    EXPECT_EQ(down, up);
}

TEST(AnimationSeries, CarriedFractionsShapeSmallSlowAndFastAnimations)
{
    const std::vector<int> small = series(120, 4);
    EXPECT_EQ(small.size(), 40u);
    EXPECT_EQ(head(small, 6), (std::vector<int>{10, 8, 9, 7, 7, 6}));
    EXPECT_EQ(sum(small), 120);
    const std::vector<int> slow = series(1200, 0); // 0 counts as 1 percent
    EXPECT_EQ(slow.size(), 207u);
    EXPECT_EQ(slow.front(), 24);
    EXPECT_EQ(series(7, 4), std::vector<int>(7, 1));
    EXPECT_EQ(series(1200, 50), std::vector<int>{1200});
    EXPECT_EQ(series(-1200, 100), std::vector<int>{-1200});
    // Float rounding can leave just under half a unit to consume and just under half a unit
    // pending (0.49976 and 0.49990 here): together a whole unit, which is still posted.
    EXPECT_EQ(sum(series(3251, 19)), 3251);
    EXPECT_EQ(sum(series(7063, 4)), 7063);
    EXPECT_EQ(sum(series(-7063, 4)), -7063);
}

TEST(AnimationNotches, BeginStartsFromNothingAtTheNotch)
{
    ScrollAnimation a;
    a.scrolledSoFar = 40.0f;
    a.pendingFraction = 0.7f; // left by an animation stopped half way
    const HWND window = reinterpret_cast<HWND>(0x50);
    beginAnimation(a, window, POINT{-3, 9}, -2400);
    EXPECT_TRUE(a.isAnimating);
    EXPECT_EQ(a.targetHwnd, window);
    EXPECT_EQ(a.targetPoint.x, -3);
    EXPECT_EQ(a.targetPoint.y, 9);
    EXPECT_EQ(a.targetPos, -2400);
    EXPECT_EQ(a.scrolledSoFar, 0.0f);
    EXPECT_EQ(a.pendingFraction, 0.0f);
}

TEST(AnimationNotches, SettlingStopsWhereItIsAndKeepsCountOfWhatWasPosted)
{
    ScrollAnimation a;
    beginAnimation(a, nullptr, POINT{}, 1200);
    a.scrolledSoFar = 100.3f;
    a.pendingFraction = 0.3f; // 100 units posted
    a.postedUnits = 100;
    settleAnimation(a);
    EXPECT_EQ(a.targetPos, 100);
    EXPECT_EQ(a.pendingFraction, 0.0f);
    EXPECT_EQ(ticks(a, 4), std::vector<int>{0}); // the next tick posts nothing and ends it
    // A notch that extends the settled animation still posts exactly its own distance.
    a.activeTimerId = 1;
    EXPECT_EQ(extendAnimation(a, 1200), ExtendOutcome::ClockCarriesIt);
    EXPECT_EQ(sum(ticks(a, 4)), 1200);

    // Settling on a half unit posts that unit and ends, instead of swinging for ever.
    beginAnimation(a, nullptr, POINT{}, 1200);
    a.scrolledSoFar = 100.5f;
    a.pendingFraction = 0.5f;
    a.postedUnits = 100;
    settleAnimation(a);
    EXPECT_EQ(a.targetPos, 101);
    EXPECT_EQ(ticks(a, 4), std::vector<int>{1});
}

TEST(AnimationNotches, ExtensionRestartsOnlyAStoppedClockWithDistanceLeft)
{
    ScrollAnimation a;
    beginAnimation(a, nullptr, POINT{}, 1200);
    a.activeTimerId = 1;
    EXPECT_EQ(extendAnimation(a, 1200), ExtendOutcome::ClockCarriesIt);
    EXPECT_EQ(a.targetPos, 2400);
    a.activeTimerId = 0;
    EXPECT_EQ(extendAnimation(a, -120), ExtendOutcome::RestartClock);
    a.scrolledSoFar = 2279.6f;
    EXPECT_EQ(extendAnimation(a, 0), ExtendOutcome::NothingToDo);
    EXPECT_EQ(extendAnimation(a, kIntMax), ExtendOutcome::RestartClock);
    EXPECT_EQ(a.targetPos, kLargestTarget);

    const HWND window = reinterpret_cast<HWND>(0x60);
    a.isAnimating = false;
    restartAnimation(a, window, POINT{700, 20});
    EXPECT_TRUE(a.isAnimating);
    EXPECT_EQ(a.targetHwnd, window);
    EXPECT_EQ(a.targetPoint.x, 700);
    EXPECT_EQ(a.targetPos, kLargestTarget); // the progress is kept
}

TEST(AnimationNotches, StateNoTickCanEndIsLost)
{
    ScrollAnimation a;
    beginAnimation(a, nullptr, POINT{}, kIntMax);
    EXPECT_TRUE(animationLost(a));
    a.targetPos = 5;
    a.scrolledSoFar = std::nanf("");
    EXPECT_TRUE(animationLost(a));
    a.scrolledSoFar = -1.0e30f;
    EXPECT_TRUE(animationLost(a));
    a.scrolledSoFar = 0.0f;
    EXPECT_FALSE(animationLost(a));
}

TEST(WheelAxes, EachAxisHasItsClockAndMessage)
{
    EXPECT_EQ(clockIdOf(WheelAxis::Vertical), 1u);
    EXPECT_EQ(clockIdOf(WheelAxis::Horizontal), 2u);
    EXPECT_EQ(axisOfClock(2), WheelAxis::Horizontal);
    EXPECT_FALSE(axisOfClock(0));
    EXPECT_FALSE(axisOfClock(3));
    EXPECT_EQ(axisOfWheelMessage(WM_MOUSEWHEEL), WheelAxis::Vertical);
    EXPECT_EQ(axisOfWheelMessage(WM_MOUSEHWHEEL), WheelAxis::Horizontal);
    EXPECT_FALSE(axisOfWheelMessage(WM_MOUSEMOVE));
    EXPECT_EQ(wheelMessageOf(WheelAxis::Horizontal), UINT{WM_MOUSEHWHEEL});
}

TEST(TickStep, TakesTwiceThePercentageAtLeastOneUnitAndNeverOvershoots)
{
    EXPECT_FLOAT_EQ(tickStep(1200.0f, 0.04f), 96.0f);
    EXPECT_FLOAT_EQ(tickStep(-1200.0f, 0.04f), -96.0f);
    EXPECT_FLOAT_EQ(tickStep(1200.0f, 0.01f), 24.0f);
    // Below one unit of progress the tail moves one unit per tick.
    EXPECT_EQ(tickStep(5.0f, 0.04f), 1.0f);
    EXPECT_EQ(tickStep(-5.0f, 0.04f), -1.0f);
    // Less than a unit left: the rest is taken as it is.
    EXPECT_EQ(tickStep(0.3f, 0.04f), 0.3f);
    EXPECT_EQ(tickStep(-0.7f, 0.04f), -0.7f);
    // Half or more finishes at once, and never more than what remains.
    EXPECT_EQ(tickStep(1200.0f, 0.5f), 1200.0f);
    EXPECT_EQ(tickStep(-1200.0f, 1.0f), -1200.0f);
    EXPECT_EQ(tickStep(1.5f, 0.04f), 1.0f);
}

TEST(TickStep, PercentageOfZeroCountsAsOnePercent)
{
    EXPECT_EQ(fractionOfPercent(0), 0.01f);
    EXPECT_EQ(fractionOfPercent(4), 0.04f);
    EXPECT_EQ(fractionOfPercent(100), 1.0f);
}

TEST(Rounding, HalvesGoAwayFromZeroAndStayInRange)
{
    EXPECT_EQ(nearestInt(0.5f), 1);
    EXPECT_EQ(nearestInt(-0.5f), -1);
    EXPECT_EQ(nearestInt(0.49f), 0);
    EXPECT_EQ(nearestInt(2.5f), 3);
    EXPECT_EQ(nearestInt(-2.5f), -3);
    EXPECT_EQ(nearestInt(3.0e9f), kIntMax);
    EXPECT_EQ(nearestInt(-3.0e9f), kIntMin);
    EXPECT_EQ(nearestInt(std::nanf("")), 0);
    EXPECT_EQ(nearestInt(100.3f), 100);
    EXPECT_EQ(nearestInt(100.5f), 101);
    EXPECT_EQ(nearestInt(-100.5f), -101);
}

TEST(EndCondition, NeedsNothingLeftToConsumeAndToPost)
{
    EXPECT_TRUE(animationComplete(1200, 1200.0f, 0.0f));
    EXPECT_TRUE(animationComplete(100, 100.3f, 0.3f));
    EXPECT_FALSE(animationComplete(1200, 1199.0f, 0.0f));
    EXPECT_FALSE(animationComplete(100, 100.0f, 0.6f));
    // Each part is under half a unit, but together they owe one.
    EXPECT_FALSE(animationComplete(3251, 3250.500244f, 0.499903f));
    // A half unit with nothing left to consume ends it instead of swinging for ever.
    EXPECT_TRUE(animationComplete(101, 101.0f, -0.5f));
    EXPECT_TRUE(animationComplete(-101, -101.0f, 0.5f));
    EXPECT_TRUE(animationComplete(0, std::nanf(""), 0.0f));
}

TEST(TargetArithmetic, StopsAtTheLargestTargetInsteadOfFlippingSign)
{
    EXPECT_EQ(saturatedProduct(10, -120), -1200);
    EXPECT_EQ(saturatedProduct(kIntMax, 120), kLargestTarget);
    EXPECT_EQ(saturatedProduct(kIntMax, -120), -kLargestTarget);
    EXPECT_EQ(saturatedProduct(20, 32767), 655340);
    EXPECT_EQ(saturatedSum(kLargestTarget - 5, 1200), kLargestTarget);
    EXPECT_EQ(saturatedSum(-kLargestTarget + 5, -1200), -kLargestTarget);
    EXPECT_EQ(saturatedSum(2400, -1200), 1200);
}

TEST(WheelMessage, WParamCarriesDeltaInHighWordAndKeysInLowWord)
{
    EXPECT_EQ(wheelWParam(120, false, false), WPARAM{0x00780000});
    EXPECT_EQ(wheelWParam(-120, false, false), WPARAM{0xFF880000});
    EXPECT_EQ(wheelWParam(96, true, false), WPARAM{0x00600008});
    EXPECT_EQ(wheelWParam(-1, false, true), WPARAM{0xFFFF0004});
    EXPECT_EQ(wheelWParam(1, true, true), WPARAM{0x0001000C});
    EXPECT_EQ(wheelWParam(32767, false, false), WPARAM{0x7FFF0000});
}

TEST(WheelMessage, LParamCarriesPointCutToSixteenBitsWithNothingAbove)
{
    POINT pt{100, 200};
    EXPECT_EQ(wheelLParam(pt), LPARAM{0x00C80064});
    pt = POINT{-1, -2};
    EXPECT_EQ(wheelLParam(pt), LPARAM{0xFFFEFFFF});
    EXPECT_GT(wheelLParam(pt), 0); // upper bits zero, not sign-extended
    pt = POINT{-1920, 1080};
    EXPECT_EQ(static_cast<short>(wheelLParam(pt) & 0xFFFF), -1920);
    EXPECT_EQ(static_cast<short>((wheelLParam(pt) >> 16) & 0xFFFF), 1080);
    pt = POINT{0x12345, 0x10001};
    EXPECT_EQ(wheelLParam(pt), LPARAM{0x00012345});
}

TEST(WheelMessage, ChunksFitTheSixteenBitDeltaInTheSameDirection)
{
    EXPECT_EQ(nextWheelChunk(96), 96);
    EXPECT_EQ(nextWheelChunk(-32767), -32767);
    EXPECT_EQ(nextWheelChunk(40000), 32767);
    EXPECT_EQ(nextWheelChunk(-40000), -32767);
    EXPECT_EQ(nextWheelChunk(kIntMin), -32767);
}

TEST(WheelDecision, FollowsTheAnimationAndTheNotch)
{
    EXPECT_EQ(decideWheelAction(false, false, 0.0f, 120), WheelAction::Start);
    EXPECT_EQ(decideWheelAction(false, true, 500.0f, -240), WheelAction::Start);
    EXPECT_EQ(decideWheelAction(true, false, 500.0f, 120), WheelAction::Retarget);
    EXPECT_EQ(decideWheelAction(true, true, 500.0f, 120), WheelAction::Extend);
    EXPECT_EQ(decideWheelAction(true, true, 500.0f, -120), WheelAction::Settle);
    EXPECT_EQ(decideWheelAction(true, true, 500.0f, -121), WheelAction::Reverse);
    EXPECT_EQ(decideWheelAction(true, true, -500.0f, 120), WheelAction::Settle);
    EXPECT_EQ(decideWheelAction(true, true, -500.0f, 240), WheelAction::Reverse);
    // As good as arrived: any notch adds to the target.
    EXPECT_EQ(decideWheelAction(true, true, 0.5f, -240), WheelAction::Extend);
    EXPECT_EQ(decideWheelAction(true, true, -0.4f, 240), WheelAction::Extend);
}

TEST(WheelDecision, ExclusionIsExactAndCaseSensitive)
{
    EXPECT_TRUE(isExcludedProcess(L"SystemSettings.exe"));
    EXPECT_TRUE(isExcludedProcess(L"StartMenuExperienceHost.exe"));
    EXPECT_TRUE(isExcludedProcess(L"SearchHost.exe"));
    EXPECT_FALSE(isExcludedProcess(L"searchhost.exe"));
    EXPECT_FALSE(isExcludedProcess(L"SearchHost.exe "));
    EXPECT_FALSE(isExcludedProcess(L"SearchHost"));
    EXPECT_FALSE(isExcludedProcess(L""));
}

TEST(ParamReading, NumbersDropTheirFractionAndStayInRange)
{
    const json set = {{"a", 10}, {"b", 10.9}, {"c", -3.7}, {"d", 1e12}, {"e", -1e12},
                      {"f", 5000000000LL}, {"g", "10"}, {"h", true}, {"i", nullptr}};
    EXPECT_EQ(readSigned32(set, "a"), 10);
    EXPECT_EQ(readSigned32(set, "b"), 10);
    EXPECT_EQ(readSigned32(set, "c"), -3);
    EXPECT_EQ(readSigned32(set, "d"), kIntMax);
    EXPECT_EQ(readSigned32(set, "e"), kIntMin);
    EXPECT_EQ(readSigned32(set, "f"), kIntMax);
    EXPECT_FALSE(readSigned32(set, "g"));
    EXPECT_FALSE(readSigned32(set, "h"));
    EXPECT_FALSE(readSigned32(set, "i"));
    EXPECT_FALSE(readSigned32(set, "missing"));

    EXPECT_EQ(readUnsigned(set, "b"), 10u);
    EXPECT_EQ(readUnsigned(set, "c"), 0u);
    EXPECT_EQ(readUnsigned(set, "f"), 5000000000ULL);
    EXPECT_FALSE(readUnsigned(set, "g"));
    EXPECT_FALSE(readUnsigned(json::array({1, 2}), "a"));

    EXPECT_EQ(readFlag(json{{"x", false}}, "x"), false);
    EXPECT_FALSE(readFlag(json{{"x", 1}}, "x"));
}

TEST(ParamReading, HookNeedsEveryMemberItReadsWithItsType)
{
    json set = {{"accelUp", 10},        {"accelDown", 3},
                {"rapidIntervalUp", 5}, {"rapidIntervalDown", 4294967303LL},
                {"scrollDirectionNormal", false}, {"smoothScrollEnabled", true}};
    auto params = readHookParams(&set);
    ASSERT_TRUE(params);
    EXPECT_FALSE(params->directionNormal);
    EXPECT_EQ(params->accel(true), 10);
    EXPECT_EQ(params->accel(false), 3);
    EXPECT_EQ(params->interval(true), 5u);
    EXPECT_EQ(params->interval(false), 7u); // the timer takes the low 32 bits

    EXPECT_FALSE(readHookParams(nullptr));
    const json notAnObject = json::array();
    EXPECT_FALSE(readHookParams(&notAnObject));
    for (const char *key : {"accelUp", "accelDown", "rapidIntervalUp", "rapidIntervalDown",
                            "scrollDirectionNormal", "smoothScrollEnabled"}) {
        json lacking = set;
        lacking.erase(key);
        EXPECT_FALSE(readHookParams(&lacking)) << key;
        json wrongType = set;
        wrongType[key] = "5";
        EXPECT_FALSE(readHookParams(&wrongType)) << key;
    }
}

TEST(ParamReading, TickPercentFallsBackToDefaultThenToFourPercent)
{
    json doc = {{"parameters",
                 {{"default", {{"scrollDistanceUp", 30}, {"scrollDistanceDown", 40}}},
                  {"app.exe", {{"scrollDistanceUp", 7}, {"scrollDistanceDown", "x"}}},
                  {"odd.exe", 12}}}};
    EXPECT_EQ(tickPercent(doc, "app.exe", true), 7u);
    EXPECT_EQ(tickPercent(doc, "app.exe", false), 40u);
    EXPECT_EQ(tickPercent(doc, "gone.exe", true), 30u);
    EXPECT_EQ(tickPercent(doc, "odd.exe", false), 40u);

    doc["parameters"]["default"]["scrollDistanceUp"] = json::object();
    EXPECT_EQ(tickPercent(doc, "gone.exe", true), 4u);
    doc["parameters"].erase("default");
    EXPECT_EQ(tickPercent(doc, "gone.exe", false), 4u);
    EXPECT_EQ(tickPercent(json(), "default", true), 4u);
    EXPECT_EQ(tickPercent(json{{"parameters", json::array()}}, "default", true), 4u);
}
