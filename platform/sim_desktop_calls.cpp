// The simulated desktop's side of each Win32 call: what Windows does, including how it fails.
#include "platform/sim_desktop_helpers.h"


#include <algorithm>

namespace {

using sim_detail::key;
using sim_detail::fail;

// Error codes of windows.h that the program itself never names.
const DWORD kErrorInvalidHookFilter = 1426;
const DWORD kErrorInvalidFilterProc = 1427;
const DWORD kErrorNoAccess = 998;
const DWORD kErrorInvalidTimer = ERROR_INVALID_PARAMETER;

bool contains(const SimDesktop::Rect &r, POINT pt)
{
    return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
}

} // namespace

// ---- hooks --------------------------------------------------------------------------

HHOOK SimDesktop::setWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE hmod, DWORD threadId)
{
    ++m_setHookCalls;
    if (m_failures.hook)
        return fail<HHOOK>(m_failures.hook, nullptr);
    if (idHook != WH_MOUSE_LL)
        return fail<HHOOK>(kErrorInvalidHookFilter, nullptr);
    if (!proc)
        return fail<HHOOK>(kErrorInvalidFilterProc, nullptr);
    if (!hmod && threadId == 0)
        return fail<HHOOK>(ERROR_HOOK_NEEDS_HMOD, nullptr);
    Hook hook;
    hook.handle = reinterpret_cast<HHOOK>(m_nextHandle += 0x10);
    hook.id = idHook;
    hook.proc = proc;
    hook.module = hmod;
    hook.thread = threadId;
    hook.owner = currentThreadId();
    m_hooks.insert(m_hooks.begin(), hook);
    return hook.handle;
}

LRESULT SimDesktop::callNextHookEx(HHOOK, int nCode, WPARAM wParam, LPARAM lParam)
{
    // Outside a hook call there is no chain to continue.
    if (m_hookCallStack.empty())
        return 0;
    const std::size_t next = m_hookCallStack.back() + 1;
    if (next >= m_hooks.size()) {
        m_hookReachedEnd.back() = true;
        return 0;
    }
    const std::size_t previous = m_hookCallStack.back();
    m_hookCallStack.back() = next;
    HOOKPROC proc = m_hooks[next].proc;
    ++m_hooksEntered;
    const LRESULT result = proc(nCode, wParam, lParam);
    m_hookCallStack.back() = previous;
    return result;
}

BOOL SimDesktop::unhookWindowsHookEx(HHOOK hhk)
{
    auto it = std::find_if(m_hooks.begin(), m_hooks.end(), [&](const Hook &h) { return h.handle == hhk; });
    if (it == m_hooks.end())
        return fail<BOOL>(ERROR_INVALID_HOOK_HANDLE, FALSE);
    m_hooks.erase(it);
    return TRUE;
}

// ---- modules and classes ------------------------------------------------------------

HMODULE SimDesktop::getModuleHandle(LPCSTR name)
{
    if (m_failures.moduleHandle)
        return fail<HMODULE>(m_failures.moduleHandle, nullptr);
    if (name)
        return fail<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
    return moduleHandle();
}

BOOL SimDesktop::getClassInfo(HINSTANCE hInstance, LPCWSTR className, LPWNDCLASSW out)
{
    if (!className || !out)
        return fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    for (const WindowClass &c : m_classes) {
        if (c.hInstance == hInstance && c.name == className) {
            *out = c.record;
            return TRUE;
        }
    }
    return fail<BOOL>(ERROR_CLASS_DOES_NOT_EXIST, FALSE);
}

ATOM SimDesktop::registerClass(const WNDCLASSW *wc)
{
    ++m_counts.registerClassCalls;
    if (m_failures.registerClass)
        return fail<ATOM>(m_failures.registerClass, 0);
    if (!wc || !wc->lpszClassName || !wc->lpszClassName[0])
        return fail<ATOM>(ERROR_INVALID_PARAMETER, 0);
    if (isClassRegistered(wc->hInstance, wc->lpszClassName))
        return fail<ATOM>(ERROR_CLASS_ALREADY_EXISTS, 0);
    WindowClass c;
    c.hInstance = wc->hInstance;
    c.name = wc->lpszClassName;
    c.record = *wc;
    c.record.lpszClassName = nullptr; // the caller's text need not outlive the call
    m_classes.push_back(c);
    return static_cast<ATOM>(0xC000 + m_classes.size());
}

// ---- windows ------------------------------------------------------------------------

HWND SimDesktop::createWindow(DWORD, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                              int width, int height, HWND parent, HMENU, HINSTANCE hInstance, LPVOID)
{
    if (!className)
        return fail<HWND>(ERROR_CANNOT_FIND_WND_CLASS, nullptr);
    auto cls = std::find_if(m_classes.begin(), m_classes.end(), [&](const WindowClass &c) {
        return c.hInstance == hInstance && c.name == className;
    });
    if (cls == m_classes.end())
        return fail<HWND>(ERROR_CANNOT_FIND_WND_CLASS, nullptr);
    if (parent == HWND_MESSAGE) {
        if (m_failures.messageOnly)
            return fail<HWND>(m_failures.messageOnly, nullptr);
    } else if (!parent) {
        if (m_failures.topLevel)
            return fail<HWND>(m_failures.topLevel, nullptr);
    } else if (!findWindow(parent)) {
        return fail<HWND>(ERROR_INVALID_WINDOW_HANDLE, nullptr);
    }

    Rect rect;
    if (x != CW_USEDEFAULT) {
        rect.left = x;
        rect.top = y;
    }
    rect.right = rect.left + (width == CW_USEDEFAULT ? 800 : width);
    rect.bottom = rect.top + (width == CW_USEDEFAULT ? 600 : height);
    const HWND hwnd = newWindow(kSelfPid, style, parent, cls->record.lpfnWndProc, hInstance, className,
                                title ? title : L"", rect);
    m_created.push_back(hwnd);
    findWindow(hwnd)->thread = currentThreadId();

    // As Windows does: a window procedure that refuses WM_NCCREATE or answers WM_CREATE
    // with -1 makes the creation fail.
    if (deliver(hwnd, WM_NCCREATE, 0, 0) == 0) {
        deliver(hwnd, WM_NCDESTROY, 0, 0);
        destroyTree(hwnd);
        return fail<HWND>(ERROR_SUCCESS, nullptr);
    }
    if (deliver(hwnd, WM_CREATE, 0, 0) == -1) {
        destroyWindow(hwnd);
        return fail<HWND>(ERROR_SUCCESS, nullptr);
    }
    return hwnd;
}

BOOL SimDesktop::showWindow(HWND hwnd, int cmdShow)
{
    Window *w = findWindow(hwnd);
    if (!w)
        return fail<BOOL>(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    const bool wasVisible = w->visible;
    w->visible = cmdShow != SW_HIDE && !w->messageOnly;
    if (w->visible)
        w->style |= WS_VISIBLE;
    else
        w->style &= ~static_cast<DWORD>(WS_VISIBLE);
    return wasVisible ? TRUE : FALSE;
}

void SimDesktop::destroyTree(HWND hwnd)
{
    m_windows.erase(key(hwnd));
    m_zOrder.erase(std::remove(m_zOrder.begin(), m_zOrder.end(), key(hwnd)), m_zOrder.end());
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if (it->first.first == key(hwnd))
            it = m_timers.erase(it);
        else
            ++it;
    }
    m_postFailures.erase(key(hwnd));
}

BOOL SimDesktop::destroyWindow(HWND hwnd)
{
    const Window *w = findWindow(hwnd);
    // Only the thread that made a window can destroy it.
    if (w && w->thread != 0 && w->thread != currentThreadId())
        return fail<BOOL>(ERROR_ACCESS_DENIED, FALSE);
    return destroyOnOwnerThread(hwnd);
}

BOOL SimDesktop::destroyOnOwnerThread(HWND hwnd)
{
    Window *w = findWindow(hwnd);
    if (!w || w->destroying)
        return fail<BOOL>(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    w->destroying = true;
    // The window still exists while its procedure handles WM_DESTROY.
    deliver(hwnd, WM_DESTROY, 0, 0);
    destroyWindowsWhere([hwnd](const Window &w) { return w.parent == hwnd; });
    deliver(hwnd, WM_NCDESTROY, 0, 0);
    destroyTree(hwnd);
    return TRUE;
}

LRESULT SimDesktop::defWindowProc(HWND hwnd, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        destroyWindow(hwnd);
        return 0;
    default:
        return 0;
    }
}

HWND SimDesktop::windowFromPoint(POINT pt)
{
    if (m_windowFromPointOverride)
        return *m_windowFromPointOverride;
    for (auto it = m_zOrder.rbegin(); it != m_zOrder.rend(); ++it) {
        const Window &w = m_windows.at(*it);
        if (!w.parent && w.visible && contains(w.rect, pt))
            return deepestChildAt(w.hwnd, pt);
    }
    return nullptr;
}

HWND SimDesktop::deepestChildAt(HWND hwnd, POINT pt) const
{
    for (auto it = m_zOrder.rbegin(); it != m_zOrder.rend(); ++it) {
        const Window &w = m_windows.at(*it);
        if (w.parent == hwnd && w.visible && contains(w.rect, pt))
            return deepestChildAt(w.hwnd, pt);
    }
    return hwnd;
}

BOOL SimDesktop::isWindow(HWND hwnd) { return findWindow(hwnd) ? TRUE : FALSE; }

BOOL SimDesktop::isWindowVisible(HWND hwnd)
{
    const Window *w = findWindow(hwnd);
    return w && w->visible ? TRUE : FALSE;
}

// ---- timers -------------------------------------------------------------------------

UINT_PTR SimDesktop::setTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    ++m_counts.setTimerCalls;
    if (m_failures.setTimer)
        return fail<UINT_PTR>(m_failures.setTimer, 0);
    if (hwnd && !findWindow(hwnd))
        return fail<UINT_PTR>(ERROR_INVALID_WINDOW_HANDLE, 0);
    if (!hwnd)
        id = 0x7FF0 + static_cast<UINT_PTR>(++m_timerSequence); // a thread timer gets an id of its own
    TimerInfo t;
    t.hwnd = hwnd;
    t.id = id;
    t.requestedInterval = elapse;
    t.effectiveInterval = std::min<UINT>(std::max<UINT>(elapse, USER_TIMER_MINIMUM), USER_TIMER_MAXIMUM);
    t.dueAt = m_now + t.effectiveInterval;
    t.proc = proc;
    // The same window and id replace the running timer.
    m_timers[{key(hwnd), id}] = t;
    return id != 0 ? id : 1;
}

BOOL SimDesktop::killTimer(HWND hwnd, UINT_PTR id)
{
    ++m_counts.killTimerCalls;
    if (hwnd && !findWindow(hwnd))
        return fail<BOOL>(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    if (m_timers.erase({key(hwnd), id}) == 0)
        return fail<BOOL>(kErrorInvalidTimer, FALSE);
    return TRUE;
}

// ---- input and messages -------------------------------------------------------------

SHORT SimDesktop::getAsyncKeyState(int vk)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_keyQueries.push_back(vk);
    auto it = m_keys.find(vk);
    return it == m_keys.end() ? SHORT{0} : it->second;
}

BOOL SimDesktop::postMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++m_counts.postAttempts;
    if (hwnd && !findWindow(hwnd)) {
        ++m_counts.failedPosts;
        return fail<BOOL>(ERROR_INVALID_WINDOW_HANDLE, FALSE);
    }
    auto failure = m_postFailures.find(key(hwnd));
    if (failure != m_postFailures.end()) {
        ++m_counts.failedPosts;
        return fail<BOOL>(failure->second, FALSE);
    }
    const Window *w = findWindow(hwnd);
    if (w && w->pid == kSelfPid)
        m_queue.push_back(PostedMessage{hwnd, message, wParam, lParam});
    else
        m_posted.push_back(PostedMessage{hwnd, message, wParam, lParam});
    return TRUE;
}

BOOL SimDesktop::systemParametersInfo(UINT action, UINT uiParam, PVOID pvParam, UINT winIni)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (action == SPI_GETMOUSEWHEELROUTING)
        return wheelRoutingInfo(pvParam);
    ++m_counts.spiCalls;
    m_spiFlags[action] = winIni;
    switch (action) {
    case SPI_SETWHEELSCROLLLINES:
    case SPI_SETWHEELSCROLLCHARS:
        if (m_failures.spi)
            return fail<BOOL>(m_failures.spi, FALSE);
        setWheelValue(action == SPI_SETWHEELSCROLLLINES, uiParam, winIni);
        return TRUE;
    case SPI_GETWHEELSCROLLLINES:
    case SPI_GETWHEELSCROLLCHARS:
        if (m_failWheelReads)
            return fail<BOOL>(m_failWheelReads, FALSE);
        if (!pvParam)
            return fail<BOOL>(kErrorNoAccess, FALSE);
        *static_cast<UINT *>(pvParam) = action == SPI_GETWHEELSCROLLLINES ? m_wheelLines : m_wheelChars;
        return TRUE;
    default:
        return fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    }
}

// ---- processes ----------------------------------------------------------------------

DWORD SimDesktop::getWindowThreadProcessId(HWND hwnd, LPDWORD pid)
{
    const Window *w = findWindow(hwnd);
    if (!w) {
        if (pid)
            *pid = 0;
        return fail<DWORD>(ERROR_INVALID_WINDOW_HANDLE, 0);
    }
    if (pid)
        *pid = w->pid;
    if (w->thread)
        return w->thread;
    const auto process = m_processes.find(w->pid);
    return process != m_processes.end() ? process->second.thread : 0x2000 + w->pid; // the owning thread
}

HANDLE SimDesktop::openProcess(DWORD access, BOOL inherit, DWORD pid)
{
    m_lastOpenAccess = access;
    m_lastOpenInherit = inherit;
    auto it = m_processes.find(pid);
    if (pid == 0 || it == m_processes.end())
        return fail<HANDLE>(ERROR_INVALID_PARAMETER, nullptr);
    if (!it->second.canOpen)
        return fail<HANDLE>(ERROR_ACCESS_DENIED, nullptr);
    const std::uintptr_t handle = (m_nextHandle += 0x10);
    m_openHandles[handle] = {pid, access};
    ++m_counts.openedTotal;
    return reinterpret_cast<HANDLE>(handle);
}

BOOL SimDesktop::queryFullProcessImageName(HANDLE process, DWORD flags, LPWSTR buffer, PDWORD size)
{
    auto handle = m_openHandles.find(reinterpret_cast<std::uintptr_t>(process));
    if (handle == m_openHandles.end())
        return fail<BOOL>(ERROR_INVALID_HANDLE, FALSE);
    if (!buffer || !size)
        return fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    if ((handle->second.second & (PROCESS_QUERY_LIMITED_INFORMATION | 0x0400)) == 0)
        return fail<BOOL>(ERROR_ACCESS_DENIED, FALSE);
    const auto owner = m_processes.find(handle->second.first);
    if (owner == m_processes.end())
        return fail<BOOL>(ERROR_INVALID_HANDLE, FALSE); // the process has ended
    const Process &p = owner->second;
    if (p.queryError)
        return fail<BOOL>(p.queryError, FALSE);
    std::wstring path = p.imagePath;
    if (flags & PROCESS_NAME_NATIVE) {
        const std::size_t colon = path.find(L':');
        path = L"\\Device\\HarddiskVolume3" + (colon == std::wstring::npos ? path : path.substr(colon + 1));
    }
    // size comes in as the buffer's capacity and goes out as the length without the terminator.
    if (path.size() + 1 > *size)
        return fail<BOOL>(ERROR_INSUFFICIENT_BUFFER, FALSE);
    std::copy(path.begin(), path.end(), buffer);
    buffer[path.size()] = L'\0';
    *size = static_cast<DWORD>(path.size());
    return TRUE;
}

BOOL SimDesktop::closeHandle(HANDLE handle)
{
    if (closeWaitHandle(handle))
        return TRUE;
    if (m_tokens.erase(reinterpret_cast<std::uintptr_t>(handle)) == 1)
        return TRUE;
    if (m_openHandles.erase(reinterpret_cast<std::uintptr_t>(handle)) == 0) {
        ++m_counts.badCloses;
        return fail<BOOL>(ERROR_INVALID_HANDLE, FALSE);
    }
    return TRUE;
}
