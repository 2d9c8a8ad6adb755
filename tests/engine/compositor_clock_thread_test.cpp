// The helper thread that waits for the compositor's clock, against a clock of the test's own.
#include "engine/compositor_clock_thread.h"

#include "platform/sim_desktop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::atomic<DWORD> s_answer{WAIT_OBJECT_0 + 1};
std::atomic<int> s_frames{0};

// A frame every millisecond, answered as s_answer says, until the stop event is set.
DWORD WINAPI testClock(UINT count, const HANDLE *handles, DWORD)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (count == 1 && SimDesktop::instance().eventSignalled(handles[0]))
        return WAIT_OBJECT_0;
    return s_answer;
}

void countFrame() { ++s_frames; }

template <typename Done>
bool within5s(Done done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}

TEST(CompositorClockThread, HandsOnFramesAndStallsUntilStoppedAndEndsOnAnythingElse)
{
    SimDesktop::instance().reset();
    CompositorClockThread clock;
    for (DWORD answer : {DWORD(WAIT_OBJECT_0 + 1), DWORD(WAIT_TIMEOUT)}) {
        s_answer = answer;
        s_frames = 0;
        ASSERT_TRUE(clock.start(testClock, countFrame, 34));
        EXPECT_TRUE(within5s([] { return s_frames >= 3; })) << answer;
        clock.stop();
        EXPECT_FALSE(clock.running());
        const int handed = s_frames;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(s_frames, handed) << "a frame after stop()";
    }

    // The display is off (STATUS_GRAPHICS_PRESENT_OCCLUDED): one last frame, and no busy loop.
    s_answer = 0xC01E0006;
    s_frames = 0;
    ASSERT_TRUE(clock.start(testClock, countFrame, 34));
    EXPECT_TRUE(within5s([&] { return clock.failed(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(s_frames, 1);
    EXPECT_FALSE(clock.start(testClock, countFrame, 34)) << "a failed clock runs again before stop()";
    clock.stop();
    EXPECT_FALSE(clock.failed());
    s_answer = WAIT_OBJECT_0 + 1;
    EXPECT_TRUE(clock.start(testClock, countFrame, 34));
    clock.stop();
    SimDesktop::instance().reset();
}

} // namespace
