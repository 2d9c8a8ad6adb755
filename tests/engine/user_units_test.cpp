// Glides in the user's own lines and characters, fine input left to the device, and the notch
// a set only reverses: the plain arithmetic first, then the hook and the tick against the
// simulated desktop, read by two model clients: one that follows the session's wheel lines
// at every message and carries partial deltas (as Windows' edit control does), and one that
// counts messages (a notch taken as a command).
#include "engine_test_support.h"

#include "engine/animation_math.h"
#include "engine/fine_input.h"
#include "engine/scroll_animation.h"
#include "engine/wheel_units.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace {

using S = SmoothScroller;

// The series of one animation at 4 percent, each step as the series gives it and as it goes
// out divided by `divisor`.
struct DividedSeries {
    std::vector<int> series;
    std::vector<int> sent;
};
DividedSeries divided(int target, int divisor)
{
    ScrollAnimation a;
    beginAnimation(a, nullptr, POINT{}, target, {}, divisor);
    DividedSeries out;
    while (out.series.size() < 100000) {
        const float fraction = tickNeedsPercentage(a) ? fractionOfPercent(4) : 0.0f;
        const int units = advanceAnimation(a, fraction);
        markPosted(a, units);
        out.series.push_back(units);
        out.sent.push_back(userUnits(a, units));
        if (animationArrived(a))
            break;
    }
    return out;
}

// Lines a client that follows the session's setting moves for these deltas: each message's
// delta times the lines per notch, in whole lines, the partial rest carried to the next
// message. `lines` is the session's value while the messages arrive.
int linesMoved(const std::vector<int> &deltas, int lines)
{
    long long carried = 0;
    int moved = 0;
    for (int delta : deltas) {
        carried += static_cast<long long>(delta) * lines;
        const long long whole = carried / 120;
        moved += static_cast<int>(whole);
        carried -= whole * 120;
    }
    return moved;
}

int sum(const std::vector<int> &v)
{
    return std::accumulate(v.begin(), v.end(), 0);
}

} // namespace

TEST(UserUnits, EachStepIsDividedWithItsRemainderCarriedAndHalvesAwayFromZero)
{
    EXPECT_EQ(divideStep(96, 3, 0).units, 32);
    EXPECT_EQ(divideStep(88, 3, 0).units, 29); // 29 1/3: a third carried
    EXPECT_EQ(divideStep(88, 3, 0).carry, 1);
    EXPECT_EQ(divideStep(82, 3, 1).units, 28); // 27 2/3 rounds up, a third owed back
    EXPECT_EQ(divideStep(82, 3, 1).carry, -1);
    EXPECT_EQ(divideStep(1, 2, 0).units, 1); // a half goes away from zero
    EXPECT_EQ(divideStep(-1, 2, 0).units, -1);
    EXPECT_EQ(divideStep(1, 2, -1).units, 0); // the half it took is paid back
    // Nothing new never sends the half sent ahead back the other way.
    EXPECT_EQ(divideStep(0, 2, -1).units, 0);
    EXPECT_EQ(divideStep(0, 2, -1).carry, -1);
    EXPECT_EQ(divideStep(0, 4, 2).units, 0);
    EXPECT_EQ(divideStep(1, 100, 0).units, 0); // less than a unit sends nothing, and is kept
    EXPECT_EQ(divideStep(1, 100, 0).carry, 1);
    EXPECT_EQ(divideStep(96, 0, 0).units, 96); // no divisor below 1
    EXPECT_EQ(divideStep(-32767, 1, 0).units, -32767);
    // A page per notch, or 0, gives no unit: the series goes out as it is (the program sets
    // such a setting to 1 for the session).
    EXPECT_EQ(unitDivisorOf(WheelUnits{WHEEL_PAGESCROLL, 0}, WheelAxis::Vertical), 1);
    EXPECT_EQ(unitDivisorOf(WheelUnits{WHEEL_PAGESCROLL, 0}, WheelAxis::Horizontal), 1);
    EXPECT_EQ(unitDivisorOf(WheelUnits{3, 100}, WheelAxis::Horizontal), 100);
    EXPECT_EQ(unitDivisorOf(WheelUnits{0xFFFFFFFEu, 1}, WheelAxis::Vertical), kLargestUnitDivisor);
}

TEST(UserUnits, AClientFollowingTheSettingMovesTheSeriesLinesOverTheSameTicks)
{
    const std::vector<int> plain = divided(1200, 1).series;
    ASSERT_EQ(plain.size(), 67u);
    EXPECT_EQ(divided(1200, 1).sent, plain); // at one line per notch the series itself
    for (int target : {1200, -1200, 120, 7}) {
        for (int lines : {1, 2, 3, 5, 7, 100}) {
            const DividedSeries d = divided(target, lines);
            EXPECT_EQ(d.series, divided(target, 1).series) << target << " " << lines;
            // After every tick the units sent, times the lines per notch, are within half a
            // unit of the series' units so far: no step runs ahead or falls behind.
            long long series = 0;
            long long sent = 0;
            for (std::size_t i = 0; i < d.series.size(); ++i) {
                series += d.series[i];
                sent += d.sent[i];
                ASSERT_LE(2 * std::llabs(sent * lines - series), lines) << target << " " << lines << " tick " << i;
            }
        }
    }
    // One notch at the defaults moves 10 lines whatever the setting that divides it exactly.
    for (int lines : {1, 3, 5, 100})
        EXPECT_EQ(linesMoved(divided(1200, lines).sent, lines), 10) << lines;
    EXPECT_EQ(sum(divided(1200, 3).sent), 400);
    EXPECT_EQ(sum(divided(1200, 100).sent), 12);
}

TEST(FineInput, OffNotchDeltasAndWhatFollowsThemWithin300msAreFine)
{
    FineInputTrack track;
    EXPECT_FALSE(takeFineInput(track, 120, 1000));
    EXPECT_FALSE(takeFineInput(track, -240, 1001));
    EXPECT_FALSE(takeFineInput(track, 0, 1002));
    EXPECT_TRUE(takeFineInput(track, -40, 2000));
    EXPECT_TRUE(takeFineInput(track, 120, 2299)); // a stream that happens to sum to a notch
    EXPECT_TRUE(takeFineInput(track, 120, 2598)); // 299 ms after the one before
    EXPECT_FALSE(takeFineInput(track, 120, 2898)); // 300 ms: a notch again
    for (int raw : {1, 119, 121, 32767, -32768})
        EXPECT_TRUE(takeFineInput(track, raw, 100000)) << raw;
    // Across the tick count's wrap.
    FineInputTrack wrap;
    EXPECT_TRUE(takeFineInput(wrap, 30, 0xFFFFFF00u));
    EXPECT_TRUE(takeFineInput(wrap, 120, 0x00000020u));
    EXPECT_FALSE(takeFineInput(wrap, 120, 0x00000200u));
}

namespace {

class UserUnitsEngine : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_app = addApp();
    }
    static void useLines(UINT lines, UINT chars = 3)
    {
        sim().setWheelScrollLines(lines);
        sim().setWheelScrollChars(chars);
        publishWheelUnits(WheelUnits{lines, chars});
    }
    // Wheel messages that reached m_app: posted, or passed on to it as input.
    std::vector<int> reached(UINT message = WM_MOUSEWHEEL) const
    {
        std::vector<int> deltas = postedDeltas(message);
        for (const SimDesktop::InputEvent &e : sim().receivedInput()) {
            if (e.hwnd == m_app && e.message == message)
                deltas.push_back(e.delta);
        }
        return deltas;
    }
    HWND m_app = nullptr;
};

} // namespace

TEST_F(UserUnitsEngine, NotchGlidesInTheUsersLinesAndKeepsThemWhenTheyChangeMidGlide)
{
    useLines(3);
    EXPECT_TRUE(wheel(120).swallowed());
    EXPECT_EQ(postedDeltas(), std::vector<int>{32}); // 96 at one line per notch
    runAnimation(30);
    useLines(5); // announced half way: this glide keeps 3
    runAnimation();
    EXPECT_EQ(postedSum(), 400);
    EXPECT_EQ(linesMoved(postedDeltas(), 3), 10);
    std::vector<int> expected = divided(1200, 3).sent;
    expected.erase(std::remove(expected.begin(), expected.end(), 0), expected.end()); // 0 sends nothing
    EXPECT_EQ(postedDeltas(), expected);

    sim().clearPosted();
    wheel(-120); // the next glide takes 5
    runAnimation();
    EXPECT_EQ(postedSum(), -240);
    EXPECT_EQ(linesMoved(postedDeltas(), 5), -10);

    // The tilt wheel in characters.
    sim().clearPosted();
    useLines(5, 4);
    tilt(120);
    runAnimation();
    EXPECT_EQ(postedSum(WM_MOUSEHWHEEL), 300);
}

TEST_F(UserUnitsEngine, NotchesPassedOnMoveTheUsersDistanceAsOneMessage)
{
    useLines(3);
    set("app.exe")["smoothScrollEnabled"] = false;
    EXPECT_TRUE(wheel(120).passedOn());
    EXPECT_TRUE(tilt(-240).passedOn());
    EXPECT_EQ(reached(), std::vector<int>{120});
    EXPECT_EQ(linesMoved(reached(), 3), 3);
    EXPECT_EQ(reached(WM_MOUSEHWHEEL), std::vector<int>{-240});

    // With the direction reversed the notch goes reversed, the same size, one message, the
    // way the steps go.
    set("app.exe")["scrollDirectionNormal"] = false;
    sim().clearReceivedInput();
    EXPECT_TRUE(wheel(120).swallowed());
    EXPECT_TRUE(tilt(-240).swallowed());
    EXPECT_EQ(reached(), std::vector<int>{-120});
    EXPECT_EQ(reached(WM_MOUSEHWHEEL), std::vector<int>{240});
    EXPECT_FALSE(timerRunning());
    EXPECT_EQ(sim().posted().back().lParam, LPARAM((kCursor.y << 16) | kCursor.x));

    // A window that takes the wheel only as input gets it injected with our tag, once.
    sim().clearPosted();
    setClass(m_app, L"Windows.UI.Core.CoreWindow");
    sim().setForegroundWindow(m_app);
    EXPECT_TRUE(wheel(240).swallowed());
    ASSERT_EQ(sim().receivedInput().size(), 1u);
    EXPECT_EQ(sim().receivedInput()[0].delta, -240);
    EXPECT_TRUE(sim().receivedInput()[0].injected);
    EXPECT_TRUE(postedDeltas().empty());

    // A post the window's process refuses: the notch goes on as it came, not lost.
    setClass(m_app, L"Edit");
    sim().clearReceivedInput();
    sim().failPostTo(m_app, ERROR_ACCESS_DENIED);
    EXPECT_TRUE(wheel(120).passedOn());
    EXPECT_EQ(reached(), std::vector<int>{120});
}

TEST_F(UserUnitsEngine, FineInputGoesOnUntouchedAndStopsTheGlideOfItsAxisOnly)
{
    useLines(3);
    set()["scrollDirectionNormal"] = false; // never applied to fine input
    for (short delta : {-40, -40, -40})
        EXPECT_TRUE(wheel(delta).passedOn());
    EXPECT_EQ(reached(), (std::vector<int>{-40, -40, -40}));
    EXPECT_EQ(linesMoved(reached(), 3), -3);
    EXPECT_FALSE(vertical().isAnimating);
    // A stream that turns direction, and one that sums to a notch, stay the device's.
    for (short delta : {40, 120, -1, 119})
        EXPECT_TRUE(wheel(delta).passedOn()) << delta;

    sim().advanceTime(300);
    set()["scrollDirectionNormal"] = true;
    EXPECT_TRUE(wheel(120).swallowed()); // a whole notch glides again
    EXPECT_TRUE(tilt(120).swallowed());
    ASSERT_TRUE(vertical().isAnimating);
    // A fine event over another window ends the vertical glide at once; the tilt glides on.
    const HWND other = addApp(L"C:\\Other\\other.exe");
    sim().clearPosted();
    EXPECT_TRUE(wheel(30, POINT{500, 500}).passedOn());
    EXPECT_FALSE(vertical().isAnimating);
    EXPECT_TRUE(horizontal().isAnimating);
    runAnimation();
    EXPECT_TRUE(postedDeltas(WM_MOUSEWHEEL).empty());
    EXPECT_EQ(sim().receivedInput().back().hwnd, other);
    EXPECT_EQ(postedSum(WM_MOUSEHWHEEL), 400 - 32); // the rest of the tilt's glide
    // And a fine tilt ends the tilt's glide.
    sim().advanceTime(1000);
    EXPECT_TRUE(tilt(120).swallowed());
    EXPECT_TRUE(tilt(-15).passedOn());
    EXPECT_FALSE(horizontal().isAnimating);

    // Every extreme delta that is no whole notch passes on as it came.
    sim().advanceTime(1000);
    for (short delta : {1, 119, 121, 32767, -32768}) {
        sim().clearReceivedInput();
        EXPECT_TRUE(wheel(delta).passedOn()) << delta;
        EXPECT_EQ(sim().receivedInput().back().delta, delta);
    }
    sim().advanceTime(1000);
    EXPECT_TRUE(wheel(240).swallowed());
    EXPECT_EQ(vertical().targetPos, 2400);
}
