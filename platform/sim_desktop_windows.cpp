// The simulated desktop as a list of the running applications sees it: the top-level
// windows from the top down, their titles, owners and extended styles, their children, and
// whether the desktop window manager cloaks them. Nothing here sends a window a message.
#include "platform/sim_desktop_helpers.h"

#include <algorithm>
#include <vector>

namespace {

using sim_detail::fail;

using sim_detail::served;

const DWORD kErrorInvalidIndex = 1413;

} // namespace

// ---- the test's side ------------------------------------------------------------------

void SimDesktop::setWindowTitle(HWND hwnd, const std::wstring &title)
{
    changeWindow(hwnd, [&](Window &w) { w.title = title; });
}

void SimDesktop::setWindowOwner(HWND hwnd, HWND owner)
{
    changeWindow(hwnd, [&](Window &w) { w.owner = owner; });
}

void SimDesktop::setWindowExStyle(HWND hwnd, DWORD exStyle)
{
    changeWindow(hwnd, [&](Window &w) { w.exStyle = exStyle; });
}

void SimDesktop::setWindowCloaked(HWND hwnd, DWORD cloaked)
{
    changeWindow(hwnd, [&](Window &w) { w.cloaked = cloaked; });
}

// ---- the calls ------------------------------------------------------------------------

BOOL SimDesktop::enumWindows(WNDENUMPROC proc, LPARAM lParam)
{
    if (!proc)
        return fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
    // Windows takes the list first: windows made or destroyed by the callback do not disturb
    // the walk, and a destroyed one is still handed over (its calls then fail).
    std::vector<HWND> topLevel;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        for (auto it = m_zOrder.rbegin(); it != m_zOrder.rend(); ++it) {
            const Window &w = m_windows.at(*it);
            if (!w.parent && !w.messageOnly)
                topLevel.push_back(w.hwnd);
        }
    }
    for (HWND hwnd : topLevel) {
        if (!proc(hwnd, lParam))
            break;
    }
    return TRUE;
}

HWND SimDesktop::findWindowEx(HWND parent, HWND childAfter, LPCWSTR className, LPCWSTR title)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (parent && !findWindow(parent))
        return fail<HWND>(ERROR_INVALID_WINDOW_HANDLE, nullptr);
    // Children from the top down; a null parent means the desktop's own children.
    bool afterFound = childAfter == nullptr;
    for (auto it = m_zOrder.rbegin(); it != m_zOrder.rend(); ++it) {
        const Window &w = m_windows.at(*it);
        if (w.parent != parent || w.messageOnly)
            continue;
        if (!afterFound) {
            afterFound = w.hwnd == childAfter;
            continue;
        }
        if ((className && w.className != className) || (title && w.title != title))
            continue;
        return w.hwnd;
    }
    return fail<HWND>(ERROR_SUCCESS, nullptr);
}

HWND SimDesktop::getWindow(HWND hwnd, UINT cmd)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const Window *w = findWindow(hwnd);
    if (!w)
        return fail<HWND>(ERROR_INVALID_WINDOW_HANDLE, nullptr);
    if (cmd != GW_OWNER)
        return fail<HWND>(ERROR_INVALID_PARAMETER, nullptr);
    return findWindow(w->owner) ? w->owner : nullptr;
}

LONG SimDesktop::getWindowLong(HWND hwnd, int index)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const Window *w = findWindow(hwnd);
    if (!w)
        return fail<LONG>(ERROR_INVALID_WINDOW_HANDLE, 0);
    switch (index) {
    case GWL_STYLE: return static_cast<LONG>((w->style & ~DWORD(WS_VISIBLE)) | (w->visible ? WS_VISIBLE : 0));
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    default: return fail<LONG>(kErrorInvalidIndex, 0);
    }
}

int SimDesktop::getWindowText(HWND hwnd, LPWSTR buffer, int maxCount)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const Window *w = findWindow(hwnd);
    if (!w)
        return fail<int>(ERROR_INVALID_WINDOW_HANDLE, 0);
    if (!buffer || maxCount <= 0)
        return fail<int>(ERROR_INVALID_PARAMETER, 0);
    // Read from the window's own record, as Windows does for another process's window; cut to
    // the buffer and always terminated.
    const std::size_t copied = std::min<std::size_t>(w->title.size(), std::size_t(maxCount) - 1);
    std::copy_n(w->title.begin(), copied, buffer);
    buffer[copied] = L'\0';
    return static_cast<int>(copied);
}

HRESULT SimDesktop::dwmGetWindowAttribute(HWND hwnd, DWORD attribute, PVOID value, DWORD size)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const Window *w = findWindow(hwnd);
    if (!w)
        return E_HANDLE;
    if (attribute != DWMWA_CLOAKED || !value || size != sizeof(DWORD))
        return E_INVALIDARG;
    *static_cast<DWORD *>(value) = w->cloaked;
    return S_OK;
}

// ---- the Win32 names ------------------------------------------------------------------

BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam) { return served(__func__).enumWindows(lpEnumFunc, lParam); }

HWND WINAPI FindWindowExW(HWND hWndParent, HWND hWndChildAfter, LPCWSTR lpszClass, LPCWSTR lpszWindow)
{
    return served(__func__).findWindowEx(hWndParent, hWndChildAfter, lpszClass, lpszWindow);
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) { return served(__func__).getWindow(hWnd, uCmd); }

LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex) { return served(__func__).getWindowLong(hWnd, nIndex); }

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount)
{
    return served(__func__).getWindowText(hWnd, lpString, nMaxCount);
}

DWORD WINAPI GetCurrentProcessId(void) { return SimDesktop::kSelfPid; }

HRESULT WINAPI DwmGetWindowAttribute(HWND hwnd, DWORD dwAttribute, PVOID pvAttribute, DWORD cbAttribute)
{
    return served(__func__).dwmGetWindowAttribute(hwnd, dwAttribute, pvAttribute, cbAttribute);
}
