#include "engine/compositor_clock_thread.h"

#include <system_error>

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
    m_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!m_stopEvent)
        return false;
    try {
        m_thread = std::thread(&CompositorClockThread::run, this);
    } catch (const std::system_error &) {
        CloseHandle(m_stopEvent);
        m_stopEvent = nullptr;
        return false;
    }
    return true;
}

void CompositorClockThread::stop()
{
    if (!m_thread.joinable())
        return;
    SetEvent(m_stopEvent);
    m_thread.join();
    CloseHandle(m_stopEvent);
    m_stopEvent = nullptr;
    m_failed = false;
}

void CompositorClockThread::run()
{
    const HANDLE handles[] = {m_stopEvent};
    for (;;) {
        const DWORD result = m_wait(1, handles, m_stallMs);
        if (result == WAIT_OBJECT_0)
            return;
        if (result != WAIT_OBJECT_0 + 1 && result != static_cast<DWORD>(WAIT_TIMEOUT)) {
            // Waiting again would return at once, over and over: the engine's next aim takes
            // its waitable timer instead, woken by this last frame.
            m_failed = true;
            m_onFrame();
            return;
        }
        m_onFrame();
    }
}
