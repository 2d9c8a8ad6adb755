// The engine's arithmetic on its own: step, rounding, end condition, message composition,
// the hook's decision and the typed reads of a parameter set.
#include "engine/animation_math.h"
#include "engine/hook_params.h"
#include "config/param_reading.h"
#include "engine/wheel_decision.h"
#include "engine/wheel_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using nlohmann::json;

namespace {
constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();
} // namespace

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
