#include "engine/refused_processes.h"

bool RefusedProcesses::refuses(DWORD pid, ULONGLONG startTime)
{
    const auto it = m_started.find(pid);
    if (it == m_started.end())
        return false;
    if (it->second != startTime && it->second != 0 && startTime != 0) {
        m_started.erase(it); // the pid now belongs to another process
        return false;
    }
    return true;
}

bool RefusedProcesses::remember(DWORD pid, ULONGLONG startTime,
                                const std::function<bool(DWORD, ULONGLONG)> &stillRuns)
{
    if (pid == 0)
        return false; // a window without a known process: nothing to tell it by
    for (auto it = m_started.begin(); it != m_started.end();) {
        if (it->first != pid && !stillRuns(it->first, it->second))
            it = m_started.erase(it);
        else
            ++it;
    }
    const bool known = refuses(pid, startTime);
    m_started[pid] = startTime;
    return !known;
}
