#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// Event id a later launch publishes to ask the running instance to show its window.
constexpr std::int64_t kShowMainWindowEvent = 20000;

// A process-wide, ordered list of (event id, handler) entries. Entries are never removed;
// subscribing the same handler twice makes it run twice. GUI thread only, so unlocked.
class EventHub {
public:
    using Handler = std::function<std::int32_t(std::int64_t id, void *data, std::int64_t value)>;

    // Appends a copy of handler for events with this id.
    static void subscribe(const Handler &handler, std::int64_t id);

    // Calls every entry subscribed to id, in subscription order. Handlers' results are
    // ignored and the result is always false.
    static bool publish(std::int64_t id, void *data, std::int64_t value);

private:
    struct Entry {
        Handler handler;
        std::int64_t id;
    };

    static std::vector<Entry> &entries();
};
