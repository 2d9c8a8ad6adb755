#include "engine/window_cache.h"

#include "engine/application_frame.h"
#include "engine/window_facts.h"

#include <algorithm>
#include <iterator>

namespace {

void lookAtFrame(WindowLook &look)
{
    if (look.frame && !look.appName)
        look.appName = applicationFrameAppName(look.topLevel);
}

} // namespace

const WindowLook &WindowCache::look(HWND hwnd, DWORD now)
{
    DWORD pid = 0;
    const DWORD thread = hwnd ? GetWindowThreadProcessId(hwnd, &pid) : 0;
    if (thread == 0) { // no window, or one that is gone
        m_uncached = WindowLook{};
        m_uncached.hwnd = hwnd;
        return m_uncached;
    }
    // Browsers move tab windows between top-level windows: the root is asked every time.
    const HWND topLevel = topLevelOf(hwnd);
    WindowLook *const begin = std::begin(m_entries);
    WindowLook *const end = std::end(m_entries);
    WindowLook *entry = std::find_if(begin, end, [&](const WindowLook &e) { return e.hwnd == hwnd; });
    if (entry != end && entry->thread == thread && entry->process.pid == pid && entry->topLevel == topLevel
        && now - entry->takenAt < kMostAgeMs) {
        lookAtFrame(*entry);
        return *entry;
    }

    WindowLook fresh;
    fresh.hwnd = hwnd;
    fresh.thread = thread;
    fresh.topLevel = topLevel;
    fresh.process = processById(pid);
    fresh.frame = isApplicationFrame(topLevel);
    lookAtFrame(fresh);
    fresh.inputOnly = takesInputOnly(hwnd, topLevel);
    fresh.takenAt = now;
    // A process that could not be read is asked again at the next notch: it may be starting.
    if (fresh.process.fileName.empty()) {
        if (entry != end)
            *entry = WindowLook{};
        m_uncached = std::move(fresh);
        return m_uncached;
    }
    if (entry == end) {
        entry = begin;
        for (WindowLook *e = begin; e != end && entry->hwnd; ++e) {
            if (!e->hwnd || now - e->takenAt > now - entry->takenAt)
                entry = e;
        }
    }
    *entry = std::move(fresh);
    return *entry;
}

void WindowCache::clear()
{
    std::fill(std::begin(m_entries), std::end(m_entries), WindowLook{});
    m_uncached = WindowLook{};
}
