// How often the simulated desktop served each Win32 call: one counter per function, found by
// the address of its name, so that counting costs a few nanoseconds and takes no lock.
#include "platform/sim_desktop_helpers.h"

#include <atomic>
#include <cstring>

namespace {

// More than the functions win32.h names.
constexpr std::size_t kSlots = 256;

struct Slot {
    std::atomic<const char *> call{nullptr};
    std::atomic<long long> count{0};
};
Slot s_slots[kSlots];

} // namespace

SimDesktop &sim_detail::served(const char *call)
{
    std::size_t i = (reinterpret_cast<std::uintptr_t>(call) >> 4) % kSlots;
    for (std::size_t tries = 0; tries < kSlots; ++tries, i = (i + 1) % kSlots) {
        const char *seen = s_slots[i].call.load(std::memory_order_acquire);
        if (!seen && s_slots[i].call.compare_exchange_strong(seen, call))
            seen = call;
        if (seen == call) {
            s_slots[i].count.fetch_add(1, std::memory_order_relaxed);
            break;
        }
    }
    return SimDesktop::instance();
}

void sim_detail::forgetServedCalls()
{
    for (Slot &slot : s_slots)
        slot.count = 0;
}

long long sim_detail::servedCallsOf(const char *call)
{
    long long sum = 0;
    for (const Slot &slot : s_slots) {
        const char *name = slot.call.load(std::memory_order_acquire);
        if (name && std::strcmp(name, call) == 0)
            sum += slot.count.load();
    }
    return sum;
}

long long sim_detail::servedCallTotal()
{
    long long sum = 0;
    for (const Slot &slot : s_slots)
        sum += slot.count.load();
    return sum;
}

long long SimDesktop::servedCalls(const char *name) const { return sim_detail::servedCallsOf(name); }
long long SimDesktop::servedCallTotal() const { return sim_detail::servedCallTotal(); }

long long SimDesktop::displayQueries() const
{
    return servedCalls("EnumDisplaySettingsW") + servedCalls("DwmGetCompositionTimingInfo");
}

long long SimDesktop::monitorQueries() const
{
    return servedCalls("MonitorFromWindow") + servedCalls("GetMonitorInfoW");
}

long long SimDesktop::compositorWaits() const { return servedCalls("DCompositionWaitForCompositorClock"); }
