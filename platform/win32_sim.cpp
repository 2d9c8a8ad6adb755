// The Win32 names of win32.h, off Windows: each hands its call to the simulated desktop.
#include "platform/sim_desktop_helpers.h"

using sim_detail::served;

HHOOK WINAPI SetWindowsHookExA(int idHook, HOOKPROC lpfn, HINSTANCE hmod, DWORD dwThreadId)
{
    return served(__func__).setWindowsHookEx(idHook, lpfn, hmod, dwThreadId);
}

LRESULT WINAPI CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam)
{
    return served(__func__).callNextHookEx(hhk, nCode, wParam, lParam);
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk) { return served(__func__).unhookWindowsHookEx(hhk); }

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) { return served(__func__).getModuleHandle(lpModuleName); }

BOOL WINAPI GetClassInfoW(HINSTANCE hInstance, LPCWSTR lpClassName, LPWNDCLASSW lpWndClass)
{
    return served(__func__).getClassInfo(hInstance, lpClassName, lpWndClass);
}

ATOM WINAPI RegisterClassW(const WNDCLASSW *lpWndClass) { return served(__func__).registerClass(lpWndClass); }

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                            HINSTANCE hInstance, LPVOID lpParam)
{
    return served(__func__).createWindow(dwExStyle, lpClassName, lpWindowName, dwStyle, X, Y, nWidth, nHeight,
                               hWndParent, hMenu, hInstance, lpParam);
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) { return served(__func__).showWindow(hWnd, nCmdShow); }

BOOL WINAPI DestroyWindow(HWND hWnd) { return served(__func__).destroyWindow(hWnd); }

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return served(__func__).defWindowProc(hWnd, Msg, wParam, lParam);
}

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc)
{
    return served(__func__).setTimer(hWnd, nIDEvent, uElapse, lpTimerFunc);
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) { return served(__func__).killTimer(hWnd, uIDEvent); }

HWND WINAPI WindowFromPoint(POINT Point) { return served(__func__).windowFromPoint(Point); }

BOOL WINAPI IsWindow(HWND hWnd) { return served(__func__).isWindow(hWnd); }

BOOL WINAPI IsWindowVisible(HWND hWnd) { return served(__func__).isWindowVisible(hWnd); }

SHORT WINAPI GetAsyncKeyState(int vKey) { return served(__func__).getAsyncKeyState(vKey); }

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return served(__func__).postMessage(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI SystemParametersInfoW(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni)
{
    return served(__func__).systemParametersInfo(uiAction, uiParam, pvParam, fWinIni);
}

DWORD WINAPI GetLastError(void) { return simLastError(); }

VOID WINAPI SetLastError(DWORD dwErrCode) { simSetLastError(dwErrCode); }

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId)
{
    return served(__func__).getWindowThreadProcessId(hWnd, lpdwProcessId);
}

HANDLE WINAPI OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId)
{
    return served(__func__).openProcess(dwDesiredAccess, bInheritHandle, dwProcessId);
}

BOOL WINAPI QueryFullProcessImageNameW(HANDLE hProcess, DWORD dwFlags, LPWSTR lpExeName, PDWORD lpdwSize)
{
    return served(__func__).queryFullProcessImageName(hProcess, dwFlags, lpExeName, lpdwSize);
}

BOOL WINAPI CloseHandle(HANDLE hObject) { return served(__func__).closeHandle(hObject); }

HANDLE WINAPI GetCurrentProcess(void) { return SimDesktop::currentProcessHandle(); }

BOOL WINAPI GetProcessTimes(HANDLE hProcess, LPFILETIME lpCreationTime, LPFILETIME lpExitTime,
                            LPFILETIME lpKernelTime, LPFILETIME lpUserTime)
{
    return served(__func__).getProcessTimes(hProcess, lpCreationTime, lpExitTime, lpKernelTime, lpUserTime);
}

BOOL WINAPI OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle)
{
    return served(__func__).openProcessToken(ProcessHandle, DesiredAccess, TokenHandle);
}

BOOL WINAPI GetTokenInformation(HANDLE TokenHandle, TOKEN_INFORMATION_CLASS TokenInformationClass,
                                LPVOID TokenInformation, DWORD TokenInformationLength, PDWORD ReturnLength)
{
    return served(__func__).getTokenInformation(TokenHandle, TokenInformationClass, TokenInformation,
                                      TokenInformationLength, ReturnLength);
}

// Pure functions over a SID in memory, as in advapi32.
PUCHAR WINAPI GetSidSubAuthorityCount(PSID pSid) { return &static_cast<SID *>(pSid)->SubAuthorityCount; }

PDWORD WINAPI GetSidSubAuthority(PSID pSid, DWORD nSubAuthority)
{
    return &static_cast<SID *>(pSid)->SubAuthority[nSubAuthority];
}

MMRESULT WINAPI timeSetEvent(UINT uDelay, UINT uResolution, LPTIMECALLBACK fptc, DWORD_PTR dwUser,
                             UINT fuEvent)
{
    return served(__func__).timeSetEvent(uDelay, uResolution, fptc, dwUser, fuEvent);
}

MMRESULT WINAPI timeKillEvent(UINT uTimerID) { return served(__func__).timeKillEvent(uTimerID); }

DWORD WINAPI GetTickCount(void) { return served(__func__).tickCount(); }

BOOL WINAPI GetLastInputInfo(PLASTINPUTINFO plii) { return served(__func__).getLastInputInfo(plii); }

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) { return served(__func__).getCursorPos(lpPoint); }

int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount)
{
    return served(__func__).getClassName(hWnd, lpClassName, nMaxCount);
}

HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags) { return served(__func__).getAncestor(hwnd, gaFlags); }

HWND WINAPI GetForegroundWindow(void) { return served(__func__).getForegroundWindow(); }

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) { return served(__func__).getWindowRect(hWnd, lpRect); }

BOOL WINAPI IsZoomed(HWND hWnd) { return served(__func__).isZoomed(hWnd); }

HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD dwFlags) { return served(__func__).monitorFromWindow(hwnd, dwFlags); }

BOOL WINAPI GetMonitorInfoW(HMONITOR hMonitor, LPMONITORINFO lpmi) { return served(__func__).getMonitorInfo(hMonitor, lpmi); }

UINT WINAPI SendInput(UINT cInputs, LPINPUT pInputs, int cbSize) { return served(__func__).sendInput(cInputs, pInputs, cbSize); }

DWORD WINAPI GetCurrentThreadId(void) { return served(__func__).currentThreadId(); }

BOOL WINAPI PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return served(__func__).postThreadMessage(idThread, Msg, wParam, lParam);
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    return served(__func__).peekMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg);
}

LRESULT WINAPI DispatchMessageW(const MSG *lpMsg) { return served(__func__).dispatchMessage(lpMsg); }

DWORD WINAPI MsgWaitForMultipleObjects(DWORD nCount, const HANDLE *pHandles, BOOL fWaitAll,
                                       DWORD dwMilliseconds, DWORD dwWakeMask)
{
    return served(__func__).msgWaitForMultipleObjects(nCount, pHandles, fWaitAll, dwMilliseconds, dwWakeMask);
}

BOOL WINAPI PhysicalToLogicalPointForPerMonitorDPI(HWND hWnd, LPPOINT lpPoint)
{
    return served(__func__).physicalToLogicalPoint(hWnd, lpPoint);
}
