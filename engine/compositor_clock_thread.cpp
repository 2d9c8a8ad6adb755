#include "engine/compositor_clock_thread.h"

#include <iterator>
#include <system_error>

std::atomic<int> CompositorClockThread::s_starts{0};
std::atomic<int> CompositorClockThread::s_joins{0};

namespace {

void closeEvent(HANDLE &event)
{
    if (event)
        CloseHandle(event);
    event = nullptr;
}

} // namespace

CompositorClockThread::~CompositorClockThread() { stop(); }

bool CompositorClockThread::start(CompositorClockWait wait, void (*onFrame)(), DWORD stallMs)
{
    if (running())
        return !m_failed;
    if (!wait || !onFrame)
        return false;
    m_wait = wait;
    m_onFrame = onFrame;
    m_stallMs = stallMs;
    m_failed = false;
    m_active = false;
    m_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_wakeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (m_stopEvent && m_wakeEvent) {
        try {
            m_thread = std::thread(&CompositorClockThread::run, this);
            ++s_starts;
            return true;
        } catch (const std::system_error &) {
        }
    }
    closeEvent(m_stopEvent);
    closeEvent(m_wakeEvent);
    return false;
}

void CompositorClockThread::resume()
{
    if (running() && !m_active.exchange(true))
        SetEvent(m_wakeEvent);
}

void CompositorClockThread::park()
{
    // Woken out of its wait for the next frame, the thread parks at once.
    if (running() && m_active.exchange(false))
        SetEvent(m_wakeEvent);
}

void CompositorClockThread::stop()
{
    if (!m_thread.joinable())
        return;
    SetEvent(m_stopEvent);
    m_thread.join();
    ++s_joins;
    closeEvent(m_stopEvent);
    closeEvent(m_wakeEvent);
    m_active = false;
    m_failed = false;
}

void CompositorClockThread::run()
{
    const HANDLE handles[] = {m_stopEvent, m_wakeEvent};
    constexpr DWORD kCount = DWORD(std::size(handles));
    for (;;) {
        const bool active = m_active;
        const DWORD result = active ? m_wait(kCount, handles, m_stallMs)
                                    : WaitForMultipleObjects(kCount, handles, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0)
            return;
        if (result == WAIT_OBJECT_0 + 1)
            continue; // resumed or parked: look again
        if (!active || (result != WAIT_OBJECT_0 + kCount && result != static_cast<DWORD>(WAIT_TIMEOUT))) {
            // Waiting again would return at once, over and over: the engine's next aim takes
            // its waitable timer instead, woken by this last frame.
            m_failed = true;
            m_onFrame();
            return;
        }
        if (m_active)
            m_onFrame();
    }
}
