#pragma once
// What every source of the simulated desktop needs: a handle as a map key, and a call that
// fails as Windows does, with the calling thread's last error set.

#include "platform/sim_desktop.h"

#include <cstdint>

namespace sim_detail {

inline std::uintptr_t key(const void *handle) { return reinterpret_cast<std::uintptr_t>(handle); }

// Counts a call of the Win32 function `call` (its __func__) and returns the desktop that serves it.
SimDesktop &served(const char *call);
void forgetServedCalls();
long long servedCallsOf(const char *call);
long long servedCallTotal();

template <typename T>
T fail(DWORD error, T result)
{
    simSetLastError(error);
    return result;
}

} // namespace sim_detail
