#include "app/event_hub.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Ids far from the ones the program uses: the hub is process-wide and keeps every entry.
constexpr std::int64_t kEventA = 910001;
constexpr std::int64_t kEventB = 910002;

struct Call {
    int handler;
    std::int64_t id;
    void *data;
    std::int64_t value;
};

EventHub::Handler recorder(std::vector<Call> &calls, int handler)
{
    return [&calls, handler](std::int64_t id, void *data, std::int64_t value) -> std::int32_t {
        calls.push_back({handler, id, data, value});
        return 7;
    };
}

} // namespace

TEST(EventHubTest, PublishCallsEveryMatchingEntryInSubscriptionOrderWithItsArguments)
{
    std::vector<Call> calls;
    EventHub::subscribe(recorder(calls, 1), kEventA);
    EventHub::subscribe(recorder(calls, 2), kEventB);
    EventHub::subscribe(recorder(calls, 3), kEventA);

    int payload = 0;
    EXPECT_FALSE(EventHub::publish(kEventA, &payload, -42));

    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].handler, 1);
    EXPECT_EQ(calls[1].handler, 3);
    for (const Call &call : calls) {
        EXPECT_EQ(call.id, kEventA);
        EXPECT_EQ(call.data, &payload);
        EXPECT_EQ(call.value, -42);
    }

    calls.clear();
    EXPECT_FALSE(EventHub::publish(kEventB + 1000, nullptr, 0)); // nobody listens
    EXPECT_TRUE(calls.empty());

    // No check for duplicates: a second subscription runs the same handler twice.
    const EventHub::Handler twice = recorder(calls, 4);
    EventHub::subscribe(twice, kEventB);
    EventHub::subscribe(twice, kEventB);
    EventHub::publish(kEventB, nullptr, 1);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].handler, 2);
    EXPECT_EQ(calls[1].handler, 4);
    EXPECT_EQ(calls[2].handler, 4);
}

TEST(EventHubTest, HandlerThatSubscribesWhilePublishingIsSafeAndTheNewEntryRunsNextTime)
{
    constexpr std::int64_t id = 910020;
    int inner = 0;
    int outer = 0;
    EventHub::subscribe(
        [&](std::int64_t, void *, std::int64_t) {
            ++outer;
            // Enough entries to make the list move.
            for (int i = 0; i < 64; ++i) {
                EventHub::subscribe([&inner](std::int64_t, void *, std::int64_t) {
                    ++inner;
                    return 0;
                }, id + 1 + i % 2);
            }
            EventHub::subscribe([&inner](std::int64_t, void *, std::int64_t) {
                ++inner;
                return 0;
            }, id);
            return 0;
        },
        id);

    EventHub::publish(id, nullptr, 0);
    EXPECT_EQ(outer, 1);
    EXPECT_EQ(inner, 0); // entries added during a publish wait for the next one

    EventHub::publish(id, nullptr, 0);
    EXPECT_EQ(outer, 2);
    EXPECT_EQ(inner, 1);
}
