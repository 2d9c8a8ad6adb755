// The hook watch backs off: a reinstall that brings no input back is tried again later and
// later, unlogged, until the hook hears input; then a removal is put back at the first look.
#include "engine/hook_watch.h"

#include <gtest/gtest.h>

#include <vector>

TEST(HookWatch, ReinstallsThatBringNoInputBackWaitLongerUntilTheHookHearsInputAgain)
{
    HookWatch watch;
    HookSighting seen{1000, {10, 10}};
    // The mouse moved without the hook hearing it: put back at once, and said.
    HookSighting now{2000, {50, 50}};
    EXPECT_EQ(nextWatchAction(watch, seen, now, 2000), WatchAction::Reinstall);
    seen = now; // the watch takes the input that showed the loss as seen

    // The silence goes on while the mouse moves: each next try waits twice as long, up to a
    // minute, and none is said.
    std::vector<DWORD> tries;
    for (DWORD tick = 2100; tick < 300000; tick += 100) {
        now = HookSighting{tick, {LONG(tick / 100 % 7), 3}};
        const WatchAction action = nextWatchAction(watch, seen, now, tick);
        if (action == WatchAction::Wait)
            continue;
        EXPECT_EQ(action, WatchAction::ReinstallQuietly);
        tries.push_back(tick);
        seen = now;
    }
    EXPECT_EQ(tries, (std::vector<DWORD>{4000, 8000, 16000, 32000, 64000, 124000, 184000, 244000}));

    // The hook hears input: the series ends, and a removal after that is put back at once.
    seen = HookSighting{300100, {1, 1}};
    EXPECT_EQ(nextWatchAction(watch, seen, seen, 300100), WatchAction::Wait);
    EXPECT_EQ(nextWatchAction(watch, seen, HookSighting{300200, {2, 2}}, 300200), WatchAction::Reinstall);
}
