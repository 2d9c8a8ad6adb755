// The helper thread that waits for the compositor's clock, against the simulated desktop's.
#include "engine/compositor_clock_thread.h"

#include "platform/sim_desktop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::atomic<int> s_frames{0};

void countFrame() { ++s_frames; }

TEST(CompositorClockThread, ParkedUntilResumedItHandsOnEachFrameAndEndsOnAnythingElse)
{
    SimDesktop &sim = SimDesktop::instance();
    sim.reset();
    s_frames = 0;
    CompositorClockThread clock;
    const int starts = CompositorClockThread::threadStarts();
    const int joins = CompositorClockThread::threadJoins();
    ASSERT_TRUE(clock.start(DCompositionWaitForCompositorClock, countFrame, 34));
    while (sim.queueThreadCount() == 0) // until it waits
        std::this_thread::yield();

    // Parked, it waits for nothing but an event: no frame and no timeout wake it.
    sim.advanceTime(1000);
    EXPECT_EQ(s_frames, 0);
    EXPECT_EQ(sim.compositorWaits(), 0);
    // Resumed, it hands on every frame of a 60 Hz display: blanks at 1016.7, 1033.3, ... 1100.
    clock.resume();
    sim.advanceTime(100);
    EXPECT_EQ(s_frames, 6);
    clock.park();
    EXPECT_EQ(sim.compositorClockWaiters(), 0) << "parking waited for the next frame";
    sim.advanceTime(1000);
    EXPECT_EQ(s_frames, 6);

    // A still desktop composes nothing: the glide goes on at each timeout.
    sim.freezeVerticalBlank(true);
    clock.resume();
    sim.advanceTime(100);
    EXPECT_EQ(s_frames, 6 + 2);
    sim.freezeVerticalBlank(false);

    // The display is off (STATUS_GRAPHICS_PRESENT_OCCLUDED): a last frame, and the thread ends
    // rather than wait again and again.
    sim.failCompositorClock(0xC01E0006);
    sim.advanceTime(40);
    EXPECT_TRUE(clock.failed());
    const int last = s_frames;
    sim.advanceTime(1000);
    EXPECT_EQ(s_frames, last);
    EXPECT_FALSE(clock.start(DCompositionWaitForCompositorClock, countFrame, 34)) << "a failed clock runs again before stop()";
    clock.stop();
    EXPECT_FALSE(clock.failed());
    EXPECT_EQ(CompositorClockThread::threadStarts() - starts, 1);
    EXPECT_EQ(CompositorClockThread::threadJoins() - joins, 1);
    sim.reset();
}

} // namespace
