// The simulated desktop's threads and their message queues, and the DPI of windows and
// monitors: how a thread waits for messages and what coordinates a window reads.
#include "platform/sim_desktop_helpers.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

using sim_detail::key;
using sim_detail::fail;

std::atomic<DWORD> s_nextThreadId{0x3000};
thread_local DWORD t_threadId = 0;
thread_local DWORD t_actingFor = 0;

// Tells the model when a thread with a queue ends, as the system notices a thread's exit.
struct QueueOwnerExit {
    DWORD id = 0;
    ~QueueOwnerExit()
    {
        if (id)
            SimDesktop::instance().threadEnded(id);
    }
};
thread_local QueueOwnerExit t_queueOwner;

bool matches(const MSG &m, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (hwnd && m.hwnd != hwnd)
        return false;
    return (filterMin == 0 && filterMax == 0) || (m.message >= filterMin && m.message <= filterMax);
}

} // namespace

SimDesktop::ActingThread::ActingThread(DWORD threadId)
    : previous(t_actingFor)
{
    if (threadId != 0)
        t_actingFor = threadId;
}

SimDesktop::ActingThread::~ActingThread() { t_actingFor = previous; }

DWORD SimDesktop::currentThreadId()
{
    if (t_actingFor != 0)
        return t_actingFor;
    if (t_threadId == 0)
        t_threadId = (s_nextThreadId += 4);
    return t_threadId;
}

int SimDesktop::queueThreadCount() const
{
    std::lock_guard<std::mutex> lock(m_threadMutex);
    return static_cast<int>(m_queueThreads.size());
}

SimDesktop::QueueThread &SimDesktop::queueOfCurrentThread()
{
    const DWORD id = currentThreadId();
    t_queueOwner.id = id;
    return m_queueThreads[id];
}

BOOL SimDesktop::postThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard<std::mutex> lock(m_threadMutex);
    const auto it = m_queueThreads.find(threadId);
    if (it == m_queueThreads.end())
        return fail<BOOL>(ERROR_INVALID_THREAD_ID, FALSE);
    it->second.messages.push_back(MSG{nullptr, message, wParam, lParam, 0, POINT{0, 0}});
    m_threadCv.notify_all();
    return TRUE;
}

BOOL SimDesktop::peekMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    std::lock_guard<std::mutex> lock(m_threadMutex);
    std::deque<MSG> &messages = queueOfCurrentThread().messages;
    const auto it = std::find_if(messages.begin(), messages.end(),
                                 [&](const MSG &m) { return matches(m, hwnd, filterMin, filterMax); });
    if (it == messages.end())
        return FALSE;
    if (msg)
        *msg = *it;
    if (removeMsg & PM_REMOVE)
        messages.erase(it);
    return TRUE;
}

LRESULT SimDesktop::dispatchMessage(const MSG *msg)
{
    if (!msg || !msg->hwnd)
        return 0;
    return deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void SimDesktop::threadEnded(DWORD threadId)
{
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        m_hooks.erase(std::remove_if(m_hooks.begin(), m_hooks.end(),
                                     [threadId](const Hook &h) { return h.owner == threadId; }),
                      m_hooks.end());
    }
    std::lock_guard<std::mutex> lock(m_threadMutex);
    m_queueThreads.erase(threadId);
    m_threadCv.notify_all();
}

void SimDesktop::holdThread(DWORD threadId, bool held)
{
    std::unique_lock<std::mutex> lock(m_threadMutex);
    if (!held) {
        m_heldThreads.erase(threadId);
        m_threadCv.notify_all();
        return;
    }
    m_heldThreads.insert(threadId);
    // Held in its wait: one that runs now is held once it waits next.
    m_threadCv.wait(lock, [&] {
        const auto it = m_queueThreads.find(threadId);
        return it == m_queueThreads.end() || it->second.parked;
    });
}

void SimDesktop::awaitParkedThreads()
{
    const DWORD self = currentThreadId();
    std::unique_lock<std::mutex> lock(m_threadMutex);
    m_threadCv.wait(lock, [&] {
        return std::all_of(m_queueThreads.begin(), m_queueThreads.end(),
                           [&](const auto &t) { return t.first == self || t.second.parked; });
    });
}

void SimDesktop::wakeDueThreads()
{
    std::unique_lock<std::mutex> lock(m_threadMutex);
    std::vector<DWORD> due;
    for (auto &entry : m_queueThreads) {
        QueueThread &t = entry.second;
        if (t.parked && !t.woken && t.wakeAt >= 0 && t.wakeAt <= m_now && !m_heldThreads.count(entry.first)) {
            t.woken = true;
            due.push_back(entry.first);
        }
    }
    if (due.empty())
        return;
    m_threadCv.notify_all();
    m_threadCv.wait(lock, [&] {
        return std::all_of(due.begin(), due.end(), [&](DWORD id) {
            const auto it = m_queueThreads.find(id);
            return it == m_queueThreads.end() || (it->second.parked && !it->second.woken);
        });
    });
}

// ---- DPI ----------------------------------------------------------------------------

void SimDesktop::setWindowDpiAwareness(HWND hwnd, DpiAwareness awareness)
{
    changeWindow(hwnd, [&](Window &w) { w.dpiAwareness = awareness; });
}

void SimDesktop::setMonitorScale(HMONITOR monitor, UINT percent)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_monitorScales[key(monitor)] = percent;
}

BOOL SimDesktop::physicalToLogicalPoint(HWND hwnd, LPPOINT point)
{
    const Window *w = windowToAnswer(hwnd, point);
    if (!w)
        return FALSE;
    const HMONITOR monitor = monitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
    if (w->dpiAwareness == DpiAwareness::PerMonitorAware || !monitor)
        return TRUE;
    const auto scaleOf = [this](std::uintptr_t id) {
        const auto it = m_monitorScales.find(id);
        return it == m_monitorScales.end() ? 100.0 : static_cast<double>(it->second);
    };
    // An unaware window sees every monitor at 100 %, a system-aware one at the primary's
    // scale; either scaled about the monitor's top-left corner.
    const double own = w->dpiAwareness == DpiAwareness::Unaware ? 100.0 : scaleOf(m_monitors.front().first);
    const double factor = own / scaleOf(key(monitor));
    const auto origin = std::find_if(m_monitors.begin(), m_monitors.end(),
                                     [&](const auto &m) { return m.first == key(monitor); })->second;
    point->x = origin.left + static_cast<LONG>(std::lround((point->x - origin.left) * factor));
    point->y = origin.top + static_cast<LONG>(std::lround((point->y - origin.top) * factor));
    return TRUE;
}
