#include "app/event_hub.h"

std::vector<EventHub::Entry> &EventHub::entries()
{
    static std::vector<Entry> s_entries;
    return s_entries;
}

void EventHub::subscribe(const Handler &handler, std::int64_t id)
{
    entries().push_back(Entry{handler, id});
}

bool EventHub::publish(std::int64_t id, void *data, std::int64_t value)
{
    std::vector<Entry> &list = entries();
    // A handler may subscribe further entries while it runs, which can move the list;
    // walk by index over the entries present at the start and call a copy of each.
    const std::size_t count = list.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (list[i].id != id || !list[i].handler)
            continue;
        const Handler handler = list[i].handler;
        handler(id, data, value);
    }
    return false;
}
