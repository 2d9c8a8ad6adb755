// A fast spin goes farther: the distance each notch adds at a steady pace, and what begins a
// spin afresh, through the hook on the simulated desktop's performance counter.
#include "engine_test_support.h"

#include "config/param_reading.h"

#include <map>
#include <utility>

namespace {

class FastSpin : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        addApp();
    }
    // What the notch adds to the glide's target.
    static int addedBy(short delta)
    {
        const int before = vertical().isAnimating ? vertical().targetPos : 0;
        wheel(delta);
        return vertical().targetPos - before;
    }
    static void finishGlide()
    {
        runAnimation();
        sim().advanceTime(300);
    }
};

TEST_F(FastSpin, EachNotchAddsItsMultipleOfTheSteadyPace)
{
    // 1200 units a notch at the defaults, times 1 + (M - 1) (1000 / t - 10) / 40 within 1 and M.
    const std::map<std::pair<int, int>, int> kExpected = {
        {{300, 3}, 1200}, {{100, 3}, 1200}, {{50, 3}, 1800}, {{33, 3}, 2418}, {{20, 3}, 3600}, {{5, 3}, 3600},
        {{300, 10}, 1200}, {{100, 10}, 1200}, {{50, 10}, 3900}, {{33, 10}, 6682}, {{20, 10}, 12000}, {{5, 10}, 12000},
        {{300, 1}, 1200}, {{100, 1}, 1200}, {{50, 1}, 1200}, {{33, 1}, 1200}, {{20, 1}, 1200}, {{5, 1}, 1200},
    };
    for (const auto &[key, expected] : kExpected) {
        const auto [interval, maximum] = key;
        for (const short delta : {short{120}, short{-120}}) {
            set()[kFastSpinMaxKey] = maximum;
            EXPECT_EQ(addedBy(delta), delta * 10) << "the first notch of a spin, at " << interval;
            for (int n = 0; n < 5; ++n) {
                sim().advanceTime(interval);
                EXPECT_EQ(addedBy(delta), delta > 0 ? expected : -expected) << interval << " ms, at most " << maximum;
            }
            finishGlide();
        }
    }
}

TEST_F(FastSpin, ASpinBeginsAfreshAtItsOwnDistance)
{
    set()[kFastSpinMaxKey] = 3;
    const auto spin = [](short delta) {
        for (int n = 0; n < 3; ++n) {
            addedBy(delta);
            sim().advanceTime(20);
        }
    };
    spin(120);
    wheel(-240);
    EXPECT_EQ(vertical().targetPos, -2400) << "a reversal begins at its own distance";
    for (const short next : {short{120}, short{-120}}) {
        spin(120);
        wheel(-120); // settles the glide
        sim().advanceTime(20);
        EXPECT_EQ(addedBy(next), next * 10) << "after a settle";
    }
    spin(120);
    mouse(WM_LBUTTONDOWN);
    sim().advanceTime(20);
    EXPECT_EQ(addedBy(120), 1200) << "after a button";
    spin(120);
    finishGlide();
    EXPECT_EQ(addedBy(120), 1200) << "after a pause";
    finishGlide();
    // Two notches in one event: 40 ms for the pair is 20 ms each.
    finishGlide();
    addedBy(120);
    sim().advanceTime(40);
    EXPECT_EQ(addedBy(240), 7200);
    finishGlide();
    // Seen alone: a glide all but arrived turned around, and a counter that stands still or
    // runs back, which tells nothing of the pace.
    FastSpinTrack track;
    const HWND w = vertical().targetHwnd;
    takeFastSpinNotch(track, 0.0, 120, w, WheelAction::Start, 3);
    EXPECT_EQ(takeFastSpinNotch(track, 20.0, 120, w, WheelAction::Extend, 3), 3.0);
    EXPECT_EQ(takeFastSpinNotch(track, 40.0, -120, w, WheelAction::Extend, 3), 1.0);
    EXPECT_EQ(takeFastSpinNotch(track, 40.0, -120, w, WheelAction::Extend, 3), 1.0);
    EXPECT_EQ(takeFastSpinNotch(track, 30.0, -120, w, WheelAction::Extend, 3), 1.0);
    // The tilt wheel never spins faster.
    for (int n = 0; n < 4; ++n) {
        const int before = horizontal().isAnimating ? horizontal().targetPos : 0;
        tilt(120);
        EXPECT_EQ(horizontal().targetPos - before, 1200);
        sim().advanceTime(5);
    }
}

} // namespace
