// The simulated desktop's window tree, foreground, monitors and synthesized input: what
// Windows answers about a window's class, ancestors, size and screen, and where it routes
// wheel input that every hook passed on.
#include "platform/sim_desktop_helpers.h"

#include <algorithm>

namespace {

using sim_detail::key;
using sim_detail::fail;

const DWORD kErrorInvalidMonitorHandle = 1461;

long long overlap(const SimDesktop::Rect &a, const SimDesktop::Rect &b)
{
    const long long w = std::min<long long>(a.right, b.right) - std::max<long long>(a.left, b.left);
    const long long h = std::min<long long>(a.bottom, b.bottom) - std::max<long long>(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

RECT toRect(const SimDesktop::Rect &r) { return RECT{r.left, r.top, r.right, r.bottom}; }

} // namespace

// ---- the test's side ------------------------------------------------------------------

HWND SimDesktop::addChildWindow(HWND parent, const std::wstring &className, const Rect &rect, DWORD pid)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const Window *p = findWindow(parent);
    if (!p)
        return nullptr;
    return newWindow(pid ? pid : p->pid, WS_VISIBLE, parent, nullptr, nullptr, className, L"", rect);
}

void SimDesktop::setWindowClass(HWND hwnd, const std::wstring &className)
{
    changeWindow(hwnd, [&](Window &w) { w.className = className; });
}

void SimDesktop::setWindowZoomed(HWND hwnd, bool zoomed)
{
    changeWindow(hwnd, [&](Window &w) { w.zoomed = zoomed; });
}

void SimDesktop::setForegroundWindow(HWND hwnd)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_foreground = hwnd;
}

HMONITOR SimDesktop::addMonitor(const Rect &rect)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::uintptr_t id = (m_nextHandle += 0x10);
    m_monitors.emplace_back(id, rect);
    return reinterpret_cast<HMONITOR>(id);
}

void SimDesktop::removeMonitor(HMONITOR monitor)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_monitors.erase(std::remove_if(m_monitors.begin(), m_monitors.end(),
                                    [&](const auto &m) { return m.first == key(reinterpret_cast<HWND>(monitor)); }),
                     m_monitors.end());
}

void SimDesktop::setWheelRouting(std::optional<UINT> routing)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_wheelRouting = routing;
}

const std::vector<SimDesktop::InputEvent> &SimDesktop::receivedInput() const { return m_received; }
void SimDesktop::clearReceivedInput() { m_received.clear(); }
int SimDesktop::sendInputCalls() const { return m_counts.sendInputCalls; }
void SimDesktop::failSendInput(DWORD error) { m_failures.sendInput = error; }

// ---- the Win32 calls ----------------------------------------------------------------

int SimDesktop::getClassName(HWND hwnd, LPWSTR buffer, int maxCount)
{
    std::wstring name;
    if (hwnd == desktopWindow()) {
        name = L"#32769";
    } else if (const Window *w = findWindow(hwnd)) {
        name = w->className;
    } else {
        return fail<int>(ERROR_INVALID_WINDOW_HANDLE, 0);
    }
    if (!buffer || maxCount <= 0)
        return fail<int>(ERROR_INSUFFICIENT_BUFFER, 0);
    // Cut to the buffer, always terminated, as Windows does.
    const std::size_t copied = std::min<std::size_t>(name.size(), std::size_t(maxCount) - 1);
    std::copy_n(name.begin(), copied, buffer);
    buffer[copied] = L'\0';
    return static_cast<int>(copied);
}

HWND SimDesktop::getAncestor(HWND hwnd, UINT flags)
{
    const Window *w = findWindow(hwnd);
    if (!w || w->messageOnly)
        return nullptr;
    if (flags == GA_PARENT)
        return w->parent ? w->parent : desktopWindow();
    if (flags != GA_ROOT)
        return nullptr;
    while (w->parent) {
        const Window *parent = findWindow(w->parent);
        if (!parent)
            break;
        w = parent;
    }
    return w->hwnd;
}

HWND SimDesktop::getForegroundWindow() { return findWindow(m_foreground) ? m_foreground : nullptr; }

const SimDesktop::Window *SimDesktop::windowToAnswer(HWND hwnd, const void *out)
{
    const Window *w = findWindow(hwnd);
    if (!w)
        return fail<const Window *>(ERROR_INVALID_WINDOW_HANDLE, nullptr);
    if (!out)
        return fail<const Window *>(ERROR_INVALID_PARAMETER, nullptr);
    return w;
}

BOOL SimDesktop::getWindowRect(HWND hwnd, LPRECT rect)
{
    const Window *w = windowToAnswer(hwnd, rect);
    if (!w)
        return FALSE;
    *rect = toRect(w->rect);
    return TRUE;
}

BOOL SimDesktop::isZoomed(HWND hwnd)
{
    const Window *w = findWindow(hwnd);
    return w && w->zoomed ? TRUE : FALSE;
}

HMONITOR SimDesktop::monitorFromWindow(HWND hwnd, DWORD flags)
{
    const Window *w = findWindow(hwnd);
    const std::pair<std::uintptr_t, Rect> *best = nullptr;
    long long bestArea = 0;
    for (const auto &monitor : m_monitors) {
        const long long area = w ? overlap(w->rect, monitor.second) : 0;
        if (area > bestArea) {
            best = &monitor;
            bestArea = area;
        }
    }
    if (!best && flags != MONITOR_DEFAULTTONULL && !m_monitors.empty())
        best = &m_monitors.front(); // near enough for a model: the primary
    return best ? reinterpret_cast<HMONITOR>(best->first) : nullptr;
}

BOOL SimDesktop::getMonitorInfo(HMONITOR monitor, LPMONITORINFO info)
{
    auto it = std::find_if(m_monitors.begin(), m_monitors.end(),
                           [&](const auto &m) { return reinterpret_cast<HMONITOR>(m.first) == monitor; });
    if (it == m_monitors.end())
        return fail<BOOL>(kErrorInvalidMonitorHandle, FALSE);
    if (!info || info->cbSize < sizeof(MONITORINFO))
        return fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    info->rcMonitor = toRect(it->second);
    info->rcWork = info->rcMonitor;
    info->dwFlags = it == m_monitors.begin() ? MONITORINFOF_PRIMARY : 0;
    if (info->cbSize >= sizeof(MONITORINFOEXW)) {
        const std::wstring name = L"\\\\.\\DISPLAY" + std::to_wstring(it->first);
        name.copy(static_cast<MONITORINFOEXW *>(info)->szDevice, CCHDEVICENAME - 1);
        static_cast<MONITORINFOEXW *>(info)->szDevice[std::min<std::size_t>(name.size(), CCHDEVICENAME - 1)] = 0;
    }
    return TRUE;
}

UINT SimDesktop::sendInput(UINT count, LPINPUT inputs, int size)
{
    ++m_counts.sendInputCalls;
    if (m_failures.sendInput)
        return fail<UINT>(m_failures.sendInput, 0);
    if (!inputs || size != static_cast<int>(sizeof(INPUT)))
        return fail<UINT>(ERROR_INVALID_PARAMETER, 0);
    for (UINT i = 0; i < count; ++i) {
        const MOUSEINPUT &mi = inputs[i].mi;
        if (inputs[i].type != INPUT_MOUSE || !(mi.dwFlags & (MOUSEEVENTF_WHEEL | MOUSEEVENTF_HWHEEL)))
            continue;
        PendingInput event{};
        event.message = (mi.dwFlags & MOUSEEVENTF_WHEEL) ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL;
        event.info.pt = m_cursor;
        // The hook sees the wheel's delta in the high word, as for a real notch.
        event.info.mouseData = (mi.mouseData & 0xFFFF) << 16;
        event.info.flags = LLMHF_INJECTED;
        event.info.dwExtraInfo = mi.dwExtraInfo;
        m_pendingInput.push_back(event);
    }
    // The system's input thread takes the events once no hook call is in progress.
    if (m_hookCallStack.empty())
        deliverPendingInput();
    return count;
}

void SimDesktop::deliverPendingInput()
{
    while (m_hookCallStack.empty() && !m_pendingInput.empty()) {
        const PendingInput event = m_pendingInput.front();
        m_pendingInput.pop_front();
        runHookChain(event.message, event.info, HC_ACTION);
    }
}

void SimDesktop::routeWheel(UINT message, const MSLLHOOKSTRUCT &info)
{
    if (message != WM_MOUSEWHEEL && message != WM_MOUSEHWHEEL)
        return;
    const HWND target = m_wheelRouting == UINT{MOUSEWHEEL_ROUTING_MOUSE_POS} ? windowFromPoint(m_cursor)
                                                                             : getForegroundWindow();
    const Window *w = findWindow(target);
    if (!w)
        return;
    const bool injected = (info.flags & LLMHF_INJECTED) != 0;
    if (injected) {
        const auto theirs = m_processes.find(w->pid);
        const auto ours = m_processes.find(kSelfPid);
        if (theirs != m_processes.end() && ours != m_processes.end()
            && theirs->second.integrity > ours->second.integrity)
            return;
    }
    m_received.push_back(InputEvent{target, message, static_cast<short>(HIWORD(info.mouseData)), injected,
                                    info.dwExtraInfo});
}

BOOL SimDesktop::wheelRoutingInfo(PVOID value)
{
    if (!m_wheelRouting)
        return fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    if (!value)
        return fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    *static_cast<UINT *>(value) = *m_wheelRouting;
    return TRUE;
}
