// The Win32 names of win32.h, off Windows: each hands its call to the simulated desktop.
#include "platform/sim_desktop.h"

namespace {
SimDesktop &desk() { return SimDesktop::instance(); }
} // namespace

HHOOK WINAPI SetWindowsHookExA(int idHook, HOOKPROC lpfn, HINSTANCE hmod, DWORD dwThreadId)
{
    return desk().setWindowsHookEx(idHook, lpfn, hmod, dwThreadId);
}

LRESULT WINAPI CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam)
{
    return desk().callNextHookEx(hhk, nCode, wParam, lParam);
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk) { return desk().unhookWindowsHookEx(hhk); }

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) { return desk().getModuleHandle(lpModuleName); }

BOOL WINAPI GetClassInfoW(HINSTANCE hInstance, LPCWSTR lpClassName, LPWNDCLASSW lpWndClass)
{
    return desk().getClassInfo(hInstance, lpClassName, lpWndClass);
}

ATOM WINAPI RegisterClassW(const WNDCLASSW *lpWndClass) { return desk().registerClass(lpWndClass); }

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                            HINSTANCE hInstance, LPVOID lpParam)
{
    return desk().createWindow(dwExStyle, lpClassName, lpWindowName, dwStyle, X, Y, nWidth, nHeight,
                               hWndParent, hMenu, hInstance, lpParam);
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) { return desk().showWindow(hWnd, nCmdShow); }

BOOL WINAPI DestroyWindow(HWND hWnd) { return desk().destroyWindow(hWnd); }

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return desk().defWindowProc(hWnd, Msg, wParam, lParam);
}

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc)
{
    return desk().setTimer(hWnd, nIDEvent, uElapse, lpTimerFunc);
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) { return desk().killTimer(hWnd, uIDEvent); }

HWND WINAPI WindowFromPoint(POINT Point) { return desk().windowFromPoint(Point); }

BOOL WINAPI IsWindow(HWND hWnd) { return desk().isWindow(hWnd); }

BOOL WINAPI IsWindowVisible(HWND hWnd) { return desk().isWindowVisible(hWnd); }

SHORT WINAPI GetAsyncKeyState(int vKey) { return desk().getAsyncKeyState(vKey); }

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return desk().postMessage(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI SystemParametersInfoW(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni)
{
    return desk().systemParametersInfo(uiAction, uiParam, pvParam, fWinIni);
}

DWORD WINAPI GetLastError(void) { return simLastError(); }

VOID WINAPI SetLastError(DWORD dwErrCode) { simSetLastError(dwErrCode); }

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId)
{
    return desk().getWindowThreadProcessId(hWnd, lpdwProcessId);
}

HANDLE WINAPI OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId)
{
    return desk().openProcess(dwDesiredAccess, bInheritHandle, dwProcessId);
}

BOOL WINAPI QueryFullProcessImageNameW(HANDLE hProcess, DWORD dwFlags, LPWSTR lpExeName, PDWORD lpdwSize)
{
    return desk().queryFullProcessImageName(hProcess, dwFlags, lpExeName, lpdwSize);
}

BOOL WINAPI CloseHandle(HANDLE hObject) { return desk().closeHandle(hObject); }

HANDLE WINAPI GetCurrentProcess(void) { return SimDesktop::currentProcessHandle(); }

BOOL WINAPI GetProcessTimes(HANDLE hProcess, LPFILETIME lpCreationTime, LPFILETIME lpExitTime,
                            LPFILETIME lpKernelTime, LPFILETIME lpUserTime)
{
    return desk().getProcessTimes(hProcess, lpCreationTime, lpExitTime, lpKernelTime, lpUserTime);
}

BOOL WINAPI OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle)
{
    return desk().openProcessToken(ProcessHandle, DesiredAccess, TokenHandle);
}

BOOL WINAPI GetTokenInformation(HANDLE TokenHandle, TOKEN_INFORMATION_CLASS TokenInformationClass,
                                LPVOID TokenInformation, DWORD TokenInformationLength, PDWORD ReturnLength)
{
    return desk().getTokenInformation(TokenHandle, TokenInformationClass, TokenInformation,
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
    return desk().timeSetEvent(uDelay, uResolution, fptc, dwUser, fuEvent);
}

MMRESULT WINAPI timeKillEvent(UINT uTimerID) { return desk().timeKillEvent(uTimerID); }

DWORD WINAPI GetTickCount(void) { return desk().tickCount(); }

BOOL WINAPI GetLastInputInfo(PLASTINPUTINFO plii) { return desk().getLastInputInfo(plii); }

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) { return desk().getCursorPos(lpPoint); }

int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount)
{
    return desk().getClassName(hWnd, lpClassName, nMaxCount);
}

HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags) { return desk().getAncestor(hwnd, gaFlags); }

HWND WINAPI GetForegroundWindow(void) { return desk().getForegroundWindow(); }

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) { return desk().getWindowRect(hWnd, lpRect); }

BOOL WINAPI IsZoomed(HWND hWnd) { return desk().isZoomed(hWnd); }

HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD dwFlags) { return desk().monitorFromWindow(hwnd, dwFlags); }

BOOL WINAPI GetMonitorInfoW(HMONITOR hMonitor, LPMONITORINFO lpmi) { return desk().getMonitorInfo(hMonitor, lpmi); }

UINT WINAPI SendInput(UINT cInputs, LPINPUT pInputs, int cbSize) { return desk().sendInput(cInputs, pInputs, cbSize); }

DWORD WINAPI GetCurrentThreadId(void) { return desk().currentThreadId(); }

BOOL WINAPI PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return desk().postThreadMessage(idThread, Msg, wParam, lParam);
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    return desk().peekMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg);
}

LRESULT WINAPI DispatchMessageW(const MSG *lpMsg) { return desk().dispatchMessage(lpMsg); }

DWORD WINAPI MsgWaitForMultipleObjects(DWORD nCount, const HANDLE *pHandles, BOOL fWaitAll,
                                       DWORD dwMilliseconds, DWORD dwWakeMask)
{
    return desk().msgWaitForMultipleObjects(nCount, pHandles, fWaitAll, dwMilliseconds, dwWakeMask);
}

BOOL WINAPI PhysicalToLogicalPointForPerMonitorDPI(HWND hWnd, LPPOINT lpPoint)
{
    return desk().physicalToLogicalPoint(hWnd, lpPoint);
}
