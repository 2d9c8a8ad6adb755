// The simulated desktop's waitable timers and events, and how a thread of the model waits on
// a timer beside its messages.
#include "platform/sim_desktop_helpers.h"

#include <algorithm>

namespace {

using sim_detail::key;
using sim_detail::fail;

} // namespace

SimDesktop::WaitableTimer *SimDesktop::waitableTimerOf(HANDLE handle)
{
    const auto it = m_waitableTimers.find(key(handle));
    return it == m_waitableTimers.end() ? nullptr : &it->second;
}

void SimDesktop::setLoopStandIn(std::function<void(HANDLE)> loop) { m_loopStandIn = std::move(loop); }
void SimDesktop::failWaitableTimers(DWORD error) { m_failWaitableTimers = error; }

int SimDesktop::armedWaitableTimers() const
{
    std::lock_guard<std::mutex> lock(m_threadMutex);
    return static_cast<int>(std::count_if(m_waitableTimers.begin(), m_waitableTimers.end(),
                                          [](const auto &t) { return t.second.dueAt >= 0; }));
}

HANDLE SimDesktop::createWaitableTimer(DWORD)
{
    if (m_failWaitableTimers)
        return fail<HANDLE>(m_failWaitableTimers, nullptr);
    std::uintptr_t handle = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        handle = (m_nextHandle += 0x10);
    }
    std::lock_guard<std::mutex> lock(m_threadMutex);
    m_waitableTimers[handle] = WaitableTimer{};
    return reinterpret_cast<HANDLE>(handle);
}

BOOL SimDesktop::setWaitableTimer(HANDLE timer, const LARGE_INTEGER *dueTime, LONG period)
{
    std::lock_guard<std::mutex> lock(m_threadMutex);
    WaitableTimer *t = waitableTimerOf(timer);
    if (!t)
        return fail<BOOL>(ERROR_INVALID_HANDLE, FALSE);
    // Only relative due times (negative, in 100 ns) and one-shot timers are modelled.
    if (!dueTime || dueTime->QuadPart > 0 || period != 0)
        return fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    const long long ms = (-dueTime->QuadPart + 9999) / 10000;
    t->dueAt = m_now + ms;
    t->signalled = false;
    return TRUE;
}

BOOL SimDesktop::cancelWaitableTimer(HANDLE timer)
{
    std::lock_guard<std::mutex> lock(m_threadMutex);
    WaitableTimer *t = waitableTimerOf(timer);
    if (!t)
        return fail<BOOL>(ERROR_INVALID_HANDLE, FALSE);
    t->dueAt = -1; // as on Windows, a signal already given stays
    return TRUE;
}

HANDLE SimDesktop::createEvent(BOOL manualReset, BOOL initialState)
{
    std::uintptr_t handle = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        handle = (m_nextHandle += 0x10);
    }
    std::lock_guard<std::mutex> lock(m_threadMutex);
    m_events[handle] = {manualReset != FALSE, initialState != FALSE};
    return reinterpret_cast<HANDLE>(handle);
}

BOOL SimDesktop::setEvent(HANDLE event)
{
    std::unique_lock<std::mutex> lock(m_threadMutex);
    const auto it = m_events.find(key(event));
    if (it == m_events.end())
        return fail<BOOL>(ERROR_INVALID_HANDLE, FALSE);
    it->second.second = true;
    std::vector<std::pair<DWORD, unsigned>> woken;
    for (const auto &t : m_queueThreads) {
        const std::vector<HANDLE> &events = t.second.events;
        if (t.second.parked && std::find(events.begin(), events.end(), event) != events.end())
            woken.emplace_back(t.first, t.second.parkings);
    }
    m_threadCv.notify_all();
    awaitNextWaits(lock, woken);
    return TRUE;
}

void SimDesktop::awaitNextWaits(std::unique_lock<std::mutex> &lock, const std::vector<std::pair<DWORD, unsigned>> &woken)
{
    const DWORD self = currentThreadId();
    m_threadCv.wait(lock, [&] {
        return std::all_of(woken.begin(), woken.end(), [&](const std::pair<DWORD, unsigned> &w) {
            const auto it = m_queueThreads.find(w.first);
            return w.first == self || it == m_queueThreads.end()
                || (it->second.parked && it->second.parkings != w.second);
        });
    });
}

int SimDesktop::parkOnEvents(std::unique_lock<std::mutex> &lock, const HANDLE *events, DWORD count, long long wakeAt,
                             bool compositor)
{
    QueueThread &self = queueOfCurrentThread();
    // Looked up each time: a test may reset the desktop while the thread waits.
    const auto signalled = [&]() -> int {
        for (DWORD i = 0; i < count; ++i) {
            const auto it = m_events.find(key(events[i]));
            if (it != m_events.end() && it->second.second)
                return static_cast<int>(i);
        }
        return -1;
    };
    int set = signalled();
    if (set < 0) {
        self.events.assign(events, events + count);
        self.compositor = compositor;
        self.wakeAt = wakeAt;
        self.parked = true;
        ++self.parkings;
        m_threadCv.notify_all();
        m_threadCv.wait(lock, [&] { return self.woken || signalled() >= 0; });
        self.parked = false;
        self.woken = false;
        self.events.clear();
        self.compositor = false;
        set = signalled();
    }
    if (set >= 0) {
        auto &state = m_events.find(key(events[set]))->second;
        if (!state.first)
            state.second = false; // an auto-reset event: the wait takes its signal
    }
    m_threadCv.notify_all();
    return set;
}

DWORD SimDesktop::waitForEvents(DWORD count, const HANDLE *handles, DWORD milliseconds)
{
    std::unique_lock<std::mutex> lock(m_threadMutex);
    for (DWORD i = 0; i < count; ++i) {
        if (m_events.count(key(handles[i])) == 0)
            return fail<DWORD>(ERROR_INVALID_HANDLE, WAIT_FAILED);
    }
    const long long wakeAt = milliseconds == INFINITE ? -1 : m_now + milliseconds;
    for (;;) {
        const int set = parkOnEvents(lock, handles, count, wakeAt, false);
        if (set >= 0)
            return WAIT_OBJECT_0 + static_cast<DWORD>(set);
        if (wakeAt >= 0 && m_now >= wakeAt)
            return WAIT_TIMEOUT;
    }
}

void SimDesktop::setCompositorFrameOffset(long long offsetMs)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_compositor.frameOffset = offsetMs;
}

void SimDesktop::failCompositorClock(DWORD answer)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_compositor.clockAnswer = answer;
}

DWORD SimDesktop::waitForCompositorClock(UINT count, const HANDLE *handles, DWORD milliseconds)
{
    long long frameAt = -1;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        ++m_compositor.waitsByThread[currentThreadId()];
        if (m_compositor.clockAnswer)
            return m_compositor.clockAnswer;
        // The first frame after now, on the virtual clock's milliseconds: each comes the
        // offset after its blank. A blank that stopped advancing brings no frame, and the wait
        // only ends by its timeout.
        const ULONGLONG period = m_compositor.periodQpc;
        const ULONGLONG phase = m_compositor.phaseQpc;
        const ULONGLONG perMs = kQpcFrequency / 1000;
        const long long offset = m_compositor.frameOffset;
        const ULONGLONG after = m_now - offset <= 0 ? 0 : static_cast<ULONGLONG>(m_now - offset) * perMs;
        if (period != 0 && !m_compositor.frozen) {
            const ULONGLONG blank = after < phase ? phase : phase + ((after - phase) / period + 1) * period;
            frameAt = std::max(m_now + 1, static_cast<long long>((blank + perMs - 1) / perMs) + offset);
        }
    }
    std::unique_lock<std::mutex> lock(m_threadMutex);
    const long long timeoutAt = milliseconds == INFINITE ? -1 : m_now + milliseconds;
    long long wakeAt = frameAt;
    if (timeoutAt >= 0 && (wakeAt < 0 || timeoutAt < wakeAt))
        wakeAt = timeoutAt;
    for (;;) {
        const int set = parkOnEvents(lock, handles, count, wakeAt, true);
        if (set >= 0)
            return WAIT_OBJECT_0 + static_cast<DWORD>(set);
        if (frameAt >= 0 && m_now >= frameAt)
            return WAIT_OBJECT_0 + count;
        if (timeoutAt >= 0 && m_now >= timeoutAt)
            return WAIT_TIMEOUT;
    }
}

long long SimDesktop::compositorWaitsOf(DWORD threadId) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const auto it = m_compositor.waitsByThread.find(threadId);
    return it == m_compositor.waitsByThread.end() ? 0 : it->second;
}

int SimDesktop::compositorClockWaiters() const
{
    std::lock_guard<std::mutex> lock(m_threadMutex);
    return static_cast<int>(std::count_if(m_queueThreads.begin(), m_queueThreads.end(),
                                          [](const auto &t) { return t.second.parked && t.second.compositor; }));
}

long long SimDesktop::nextWaitableTimerDue()
{
    std::lock_guard<std::mutex> lock(m_threadMutex);
    long long due = -1;
    for (const auto &t : m_waitableTimers) {
        if (t.second.dueAt >= 0 && (due < 0 || t.second.dueAt < due))
            due = t.second.dueAt;
    }
    return due;
}

bool SimDesktop::wakeCompositorWaiter(long long until, long long otherDueAt)
{
    std::unique_lock<std::mutex> lock(m_threadMutex);
    auto next = m_queueThreads.end();
    for (auto it = m_queueThreads.begin(); it != m_queueThreads.end(); ++it) {
        const QueueThread &t = it->second;
        if (t.parked && t.compositor && !t.woken && t.wakeAt >= 0
            && (next == m_queueThreads.end() || t.wakeAt < next->second.wakeAt))
            next = it;
    }
    // Other timers first when due at the same time.
    if (next == m_queueThreads.end() || next->second.wakeAt > until || next->second.wakeAt >= otherDueAt)
        return false;
    m_now = std::max(m_now, next->second.wakeAt);
    next->second.woken = true;
    const std::vector<std::pair<DWORD, unsigned>> woken{{next->first, next->second.parkings}};
    m_threadCv.notify_all();
    awaitNextWaits(lock, woken);
    lock.unlock();
    pumpMessages();
    return true;
}

bool SimDesktop::eventSignalled(HANDLE event) const
{
    std::lock_guard<std::mutex> lock(m_threadMutex);
    const auto it = m_events.find(key(event));
    return it != m_events.end() && it->second.second;
}

bool SimDesktop::closeWaitHandle(HANDLE handle)
{
    std::lock_guard<std::mutex> lock(m_threadMutex);
    return m_waitableTimers.erase(key(handle)) == 1 || m_events.erase(key(handle)) == 1;
}

bool SimDesktop::fireWaitableTimer(long long until, long long otherDueAt)
{
    std::unique_lock<std::mutex> lock(m_threadMutex);
    auto next = m_waitableTimers.end();
    for (auto it = m_waitableTimers.begin(); it != m_waitableTimers.end(); ++it) {
        if (it->second.dueAt >= 0 && (next == m_waitableTimers.end() || it->second.dueAt < next->second.dueAt))
            next = it;
    }
    // Other timers first when due at the same time.
    if (next == m_waitableTimers.end() || next->second.dueAt > until || next->second.dueAt >= otherDueAt)
        return false;
    const HANDLE handle = reinterpret_cast<HANDLE>(next->first);
    m_now = std::max(m_now, next->second.dueAt);
    next->second.dueAt = -1;
    next->second.signalled = true;
    lock.unlock();
    wakeDueThreads();
    lock.lock();
    const auto waiter = std::find_if(m_queueThreads.begin(), m_queueThreads.end(),
                                     [&](const auto &t) { return t.second.parked && t.second.waitsOn == handle; });
    if (waiter != m_queueThreads.end()) {
        // Wakes the thread and lets it run to its next wait.
        const DWORD id = waiter->first;
        m_threadCv.notify_all();
        m_threadCv.wait(lock, [&] {
            const auto it = m_queueThreads.find(id);
            const WaitableTimer *t = waitableTimerOf(handle);
            return it == m_queueThreads.end() || ((!t || !t->signalled) && it->second.parked);
        });
    } else if (m_loopStandIn && std::all_of(m_queueThreads.begin(), m_queueThreads.end(),
                                            [self = currentThreadId()](const auto &t) { return t.first == self; })) {
        if (WaitableTimer *t = waitableTimerOf(handle))
            t->signalled = false;
        lock.unlock();
        m_loopStandIn(handle);
    }
    if (lock.owns_lock())
        lock.unlock();
    pumpMessages();
    return true;
}

DWORD SimDesktop::msgWaitForMultipleObjects(DWORD count, const HANDLE *handles, BOOL, DWORD milliseconds, DWORD)
{
    std::unique_lock<std::mutex> lock(m_threadMutex);
    // The model's threads wait for messages and at most one waitable timer.
    const HANDLE handle = count == 1 && handles ? handles[0] : nullptr;
    if (count > 1 || (count == 1 && !waitableTimerOf(handle)))
        return fail<DWORD>(ERROR_INVALID_PARAMETER, WAIT_FAILED);
    const DWORD id = currentThreadId();
    QueueThread &self = queueOfCurrentThread();
    // Looked up each time: a test may reset the desktop while the thread waits.
    const auto timerSignalled = [&] {
        const WaitableTimer *timer = handle ? waitableTimerOf(handle) : nullptr;
        return timer && timer->signalled;
    };
    if ((self.messages.empty() && !timerSignalled()) || m_heldThreads.count(id)) {
        self.wakeAt = milliseconds == INFINITE ? -1 : m_now + milliseconds;
        self.waitsOn = handle;
        self.parked = true;
        ++self.parkings;
        m_threadCv.notify_all();
        m_threadCv.wait(lock, [&] {
            return !m_heldThreads.count(id) && (!self.messages.empty() || self.woken || timerSignalled());
        });
        self.parked = false;
        self.woken = false;
        self.waitsOn = nullptr;
    }
    if (timerSignalled()) {
        waitableTimerOf(handle)->signalled = false; // a synchronization timer: the wait takes its signal
        m_threadCv.notify_all();
        return WAIT_OBJECT_0;
    }
    return self.messages.empty() ? WAIT_TIMEOUT : WAIT_OBJECT_0 + count;
}

HANDLE WINAPI CreateWaitableTimerExW(LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD dwFlags, DWORD)
{
    return sim_detail::served(__func__).createWaitableTimer(dwFlags);
}

BOOL WINAPI SetWaitableTimer(HANDLE hTimer, const LARGE_INTEGER *lpDueTime, LONG lPeriod, PTIMERAPCROUTINE, LPVOID,
                             BOOL)
{
    return sim_detail::served(__func__).setWaitableTimer(hTimer, lpDueTime, lPeriod);
}

BOOL WINAPI CancelWaitableTimer(HANDLE hTimer) { return sim_detail::served(__func__).cancelWaitableTimer(hTimer); }

HANDLE WINAPI CreateEventW(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCWSTR)
{
    return sim_detail::served(__func__).createEvent(bManualReset, bInitialState);
}

BOOL WINAPI SetEvent(HANDLE hEvent) { return sim_detail::served(__func__).setEvent(hEvent); }

DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE *lpHandles, BOOL, DWORD dwMilliseconds)
{
    return sim_detail::served(__func__).waitForEvents(nCount, lpHandles, dwMilliseconds);
}

DWORD WINAPI DCompositionWaitForCompositorClock(UINT count, const HANDLE *handles, DWORD timeoutInMs)
{
    return sim_detail::served(__func__).waitForCompositorClock(count, handles, timeoutInMs);
}
