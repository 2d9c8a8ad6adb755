#pragma once
// Processes that refused the wheel messages we posted (Windows drops messages from a process
// of lower integrity): wheel events over any of their windows pass on while they run.

#include "platform/win32.h"

#include <functional>
#include <map>

class RefusedProcesses {
public:
    // A process is known by its pid and start time, as pids are reused.
    bool refuses(DWORD pid, ULONGLONG startTime);
    // Remembers a refusal; returns false when it was known already. Forgets every process
    // that `stillRuns` says has ended, so that the list holds only living processes.
    bool remember(DWORD pid, ULONGLONG startTime,
                  const std::function<bool(DWORD, ULONGLONG)> &stillRuns);
    std::size_t size() const { return m_started.size(); }
    void clear() { m_started.clear(); }

private:
    std::map<DWORD, ULONGLONG> m_started; // pid -> start time
};
