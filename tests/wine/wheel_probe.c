/*
 * A plain Win32 window that records every WM_MOUSEWHEEL and WM_MOUSEHWHEEL it receives, for
 * the end-to-end check under Wine. Built with mingw-w64 by scripts/wine-check.sh; not part of
 * the program.
 *
 *   wheel_probe.exe window LOGFILE X Y W H [hook] [core]
 *       Opens a visible top-level window at (X, Y) of size W x H and appends one line per
 *       wheel message to LOGFILE, with where the message came from (GetCurrentInputMessageSource:
 *       "hardware" or "injected" input, "posted" for a message posted to the window):
 *           wheel <delta> <keyflags hex> <x> <y> <microseconds> <source>
 *           hwheel <delta> <keyflags hex> <x> <y> <microseconds> <source>
 *       With "core" the window has the class of a UWP core window ("Windows.UI.Core.CoreWindow")
 *       and behaves like one: it reads the wheel from its input only, and drops every wheel
 *       message that did not come as input, logging it as "dropped wheel ..." (or "dropped
 *       hwheel ...").
 *       With "hook" it also installs a low-level mouse hook of its own on a second thread
 *       and logs each wheel event it sees before the next hook does:
 *           hook <delta> <x> <y> <microseconds>
 *           hhook <delta> <x> <y> <microseconds>
 *       Each announcement of a changed system setting is logged as "setting <wParam hex>".
 *       Installed after the program under test, this hook runs first, so its time stamp
 *       marks when the wheel event entered the hook chain. All times come from one
 *       performance counter, so the two kinds of line can be compared.
 *   wheel_probe.exe rehook
 *       Has the open probe window install its hook afresh, ahead of any hook installed since
 *       (the program under test installs its own again when it thinks the system removed
 *       it); the window logs "rehooked" once it is in.
 *       The first line is "ready <hwnd>" once the window is shown.
 *   wheel_probe.exe lines
 *       Prints the system's wheel-scroll-lines value ("lines <n>") and exits.
 *   wheel_probe.exe chars
 *       Prints the system's wheel-scroll-characters value ("chars <n>") and exits.
 *   wheel_probe.exe settings [close]
 *       Finds the settings window of the program under test (a toolkit window of class
 *       "Qt5...QWindowIcon" at least 300 pixels wide) and prints
 *           settings <visible 0|1> <left> <top> <right> <bottom>
 *       With "close" it then posts WM_CLOSE to it, as a system close request (Alt+F4) does.
 *       Prints "settings none" and exits 1 when there is no such window.
 *   wheel_probe.exe popup
 *       Prints the rectangle of the toolkit's visible popup window (an open list of a combo
 *       box) as "popup <left> <top> <right> <bottom>", or "popup none" and exits 1.
 *   wheel_probe.exe screen
 *       Prints the system DPI and the primary work area as
 *           screen <dpi> <left> <top> <right> <bottom>
 *   wheel_probe.exe hold FILE MILLISECONDS [close]
 *       Opens FILE for reading with read sharing only (no write or delete sharing, as an
 *       editor or a scanner may), prints "held", with "close" posts WM_CLOSE to the settings
 *       window, waits MILLISECONDS, prints "released <size>" with the size of the file then
 *       at that path, closes it and exits.
 *   wheel_probe.exe stall IMAGE MILLISECONDS
 *       Suspends the first thread (by creation time) of the process running IMAGE (an
 *       executable's file name) for MILLISECONDS, as a long stall of that thread would hold
 *       it; prints "stalled" once it is suspended and "resumed" after, or "stall none: <why>"
 *       and exits 1.
 *   wheel_probe.exe trayquit
 *       Asks the program's tray icon for its menu, as a right click does, and chooses the
 *       menu's last entry (quit) with the keys Up and Return; prints "trayquit sent", or
 *       "trayquit none: <why>" and exits 1 when there is no tray icon or no menu opens.
 *   wheel_probe.exe setlines N
 *       Sets the system's wheel-scroll-lines value to N for the session, announcing the change
 *       (SPIF_SENDCHANGE, and WM_SETTINGCHANGE sent to every top-level window, which Wine 8
 *       leaves out), as a user's change in the settings does; prints "setlines N" or
 *       "setlines error <code>" and exits 1.
 *   wheel_probe.exe notepad
 *       Finds Notepad's edit control and prints "notepad <first visible line> <x> <y>" with
 *       the centre of the control on the screen, or "notepad none" and exits 1.
 *   wheel_probe.exe notepad watch MILLISECONDS [fine N DELTA GAP]
 *       Watches the edit control's first visible line for MILLISECONDS, every millisecond,
 *       after a line "watching", and prints "notepad <line before> <line after> <changes
 *       seen>". With "fine" it first
 *       sends N wheel events of DELTA through SendInput, untagged, GAP milliseconds apart, as
 *       a touchpad's driver does.
 *   wheel_probe.exe look [FILE]
 *       Reads the settings window's pixels from the screen, as the user sees them, and prints
 *           look <vertical> <horizontal> <square corners>
 *       <vertical>: pixels of the vertical scroll bar's handle colour (#4F5663) in the strip
 *       along the right edge below the title bar; <horizontal>: the percentage of light pixels
 *       (a system scroll bar's grey, never the panel's) in the strip along the bottom edge, the
 *       corners left out; <square corners>: how many of the two lower corner pixels are
 *       painted in the window's own colours (0 when both are round). With FILE it writes the
 *       window's pixels there as a BMP file. Prints "look none" and exits 1 without a window.
 *   wheel_probe.exe shot FILE
 *       Writes the whole screen as a BMP file.
 * The rectangles of settings, popup and screen are in physical pixels (the probe declares
 * itself DPI aware for them), as the X server sees them.
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <tlhelp32.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifndef WM_MOUSEHWHEEL
#define WM_MOUSEHWHEEL 0x020E
#endif
#ifndef SPI_GETWHEELSCROLLCHARS
#define SPI_GETWHEELSCROLLCHARS 0x006C
#endif

static FILE *g_log;
static DWORD g_hookThreadId;
static const wchar_t g_probeClassName[] = L"SorvellaWheelProbe";
static const wchar_t g_coreClassName[] = L"Windows.UI.Core.CoreWindow";
static int g_inputOnly;
static LARGE_INTEGER g_frequency;
static CRITICAL_SECTION g_logLock;

static long long nowMicroseconds(void)
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return (long long)(counter.QuadPart * 1000000.0 / (double)g_frequency.QuadPart);
}

static void logLine(const char *format, ...)
{
    va_list args;
    EnterCriticalSection(&g_logLock);
    va_start(args, format);
    vfprintf(g_log, format, args);
    va_end(args);
    fputc('\n', g_log);
    fflush(g_log);
    LeaveCriticalSection(&g_logLock);
}

/* Where the message being handled came from; "unknown" where the system cannot tell. */
static const char *messageSource(void)
{
    typedef BOOL(WINAPI * SourceQuery)(INPUT_MESSAGE_SOURCE *);
    static SourceQuery query;
    static int looked;
    INPUT_MESSAGE_SOURCE source;
    if (!looked) {
        query = (SourceQuery)(void (*)(void))GetProcAddress(GetModuleHandleA("user32.dll"),
                                                            "GetCurrentInputMessageSource");
        looked = 1;
    }
    if (!query || !query(&source)) {
        return "unknown";
    }
    switch (source.originId) {
    case IMO_HARDWARE: return "hardware";
    case IMO_INJECTED: return "injected";
    case IMO_SYSTEM: return "system";
    default: return "posted";
    }
}

static LRESULT CALLBACK probeWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: {
        const char *source = messageSource();
        const int input = strcmp(source, "hardware") == 0 || strcmp(source, "injected") == 0;
        logLine("%s%s %d 0x%04x %d %d %lld %s", g_inputOnly && !input ? "dropped " : "",
                message == WM_MOUSEWHEEL ? "wheel" : "hwheel", (int)(short)HIWORD(wParam),
                (unsigned)LOWORD(wParam), (int)(short)LOWORD(lParam), (int)(short)HIWORD(lParam),
                nowMicroseconds(), source);
        return 0;
    }
    case WM_SETTINGCHANGE:
        logLine("setting 0x%04x", (unsigned)wParam);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_APP:
        if (g_hookThreadId) {
            PostThreadMessageW(g_hookThreadId, WM_APP, 0, 0);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

static LRESULT CALLBACK probeHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && (wParam == WM_MOUSEWHEEL || wParam == WM_MOUSEHWHEEL)) {
        const MSLLHOOKSTRUCT *event = (const MSLLHOOKSTRUCT *)lParam;
        logLine("%s %d %ld %ld %lld", wParam == WM_MOUSEWHEEL ? "hook" : "hhook",
                (int)(short)HIWORD(event->mouseData), event->pt.x, event->pt.y, nowMicroseconds());
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

static DWORD WINAPI hookThread(LPVOID unused)
{
    MSG msg;
    HHOOK hook;
    (void)unused;
    hook = SetWindowsHookExW(WH_MOUSE_LL, probeHookProc, GetModuleHandleW(NULL), 0);
    if (!hook) {
        logLine("hookfailed %lu", GetLastError());
        return 1;
    }
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        if (msg.message == WM_APP) {
            /* A hook goes in at the head of the chain. */
            UnhookWindowsHookEx(hook);
            hook = SetWindowsHookExW(WH_MOUSE_LL, probeHookProc, GetModuleHandleW(NULL), 0);
            if (!hook) {
                logLine("hookfailed %lu", GetLastError());
                return 1;
            }
            logLine("rehooked");
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    UnhookWindowsHookEx(hook);
    return 0;
}

static int runWindow(int argc, char **argv)
{
    const wchar_t *className = g_probeClassName;
    WNDCLASSW wc;
    HWND hwnd;
    MSG msg;
    int x, y, w, h, i, hook = 0;

    if (argc < 7) {
        fprintf(stderr, "usage: wheel_probe window LOGFILE X Y W H [hook] [core]\n");
        return 2;
    }
    for (i = 7; i < argc; ++i) {
        if (strcmp(argv[i], "hook") == 0) {
            hook = 1;
        } else if (strcmp(argv[i], "core") == 0) {
            g_inputOnly = 1;
            className = g_coreClassName;
        }
    }
    g_log = fopen(argv[2], "wb");
    if (!g_log) {
        fprintf(stderr, "wheel_probe: cannot write %s\n", argv[2]);
        return 2;
    }
    x = atoi(argv[3]);
    y = atoi(argv[4]);
    w = atoi(argv[5]);
    h = atoi(argv[6]);

    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = probeWndProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = className;
    if (!RegisterClassW(&wc)) {
        fprintf(stderr, "wheel_probe: RegisterClassW failed (%lu)\n", GetLastError());
        return 1;
    }
    /* Topmost, so that no window of the program under test (its main window is shown by a
     * second launch) comes between the cursor and the probe. */
    hwnd = CreateWindowExW(WS_EX_TOPMOST, className, L"Wheel probe", WS_POPUP | WS_VISIBLE, x, y, w, h,
                           NULL, NULL, wc.hInstance, NULL);
    if (!hwnd) {
        fprintf(stderr, "wheel_probe: CreateWindowExW failed (%lu)\n", GetLastError());
        return 1;
    }
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);

    if (hook) {
        HANDLE thread = CreateThread(NULL, 0, hookThread, NULL, 0, &g_hookThreadId);
        if (thread) {
            CloseHandle(thread);
        }
    }
    logLine("ready %p", (void *)hwnd);

    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

static HWND g_settingsWindow;
static HWND g_popupWindow;

static BOOL CALLBACK findToolkitWindows(HWND hwnd, LPARAM unused)
{
    char className[256];
    RECT rect;
    (void)unused;
    if (!GetClassNameA(hwnd, className, sizeof className) || strncmp(className, "Qt5", 3) != 0
        || !GetWindowRect(hwnd, &rect)) {
        return TRUE;
    }
    if (!g_settingsWindow && strstr(className, "QWindowIcon") && rect.right - rect.left >= 300) {
        g_settingsWindow = hwnd;
    }
    if (!g_popupWindow && strstr(className, "Popup") && IsWindowVisible(hwnd)) {
        g_popupWindow = hwnd;
    }
    return TRUE;
}

static int runPopup(void)
{
    RECT rect;
    EnumWindows(findToolkitWindows, 0);
    if (!g_popupWindow || !GetWindowRect(g_popupWindow, &rect)) {
        printf("popup none\n");
        return 1;
    }
    printf("popup %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
}

static int runSettings(int argc, char **argv)
{
    RECT rect;
    EnumWindows(findToolkitWindows, 0);
    if (!g_settingsWindow || !GetWindowRect(g_settingsWindow, &rect)) {
        printf("settings none\n");
        return 1;
    }
    printf("settings %d %ld %ld %ld %ld\n", IsWindowVisible(g_settingsWindow) ? 1 : 0, rect.left, rect.top,
           rect.right, rect.bottom);
    if (argc > 2 && strcmp(argv[2], "close") == 0 && !PostMessageW(g_settingsWindow, WM_CLOSE, 0, 0)) {
        printf("close error %lu\n", GetLastError());
        return 1;
    }
    return 0;
}

/* The screen's pixels in `rect`, top row first, 0x00RRGGBB each; free() the result. */
static DWORD *screenPixels(const RECT *rect)
{
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    BITMAPINFO info;
    void *bits = NULL;
    DWORD *copy = NULL;
    HDC screen, memory;
    HBITMAP bitmap;
    if (width <= 0 || height <= 0)
        return NULL;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    screen = GetDC(NULL);
    memory = CreateCompatibleDC(screen);
    bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, screen, rect->left, rect->top, SRCCOPY)) {
            GdiFlush();
            copy = (DWORD *)malloc((size_t)width * (size_t)height * sizeof(DWORD));
            if (copy)
                memcpy(copy, bits, (size_t)width * (size_t)height * sizeof(DWORD));
        }
        SelectObject(memory, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return copy;
}

static int writeBmp(const char *path, const DWORD *pixels, int width, int height)
{
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER header;
    const DWORD size = (DWORD)width * (DWORD)height * 4u;
    FILE *out = fopen(path, "wb");
    if (!out)
        return 0;
    ZeroMemory(&file, sizeof file);
    ZeroMemory(&header, sizeof header);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + size;
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = size;
    fwrite(&file, sizeof file, 1, out);
    fwrite(&header, sizeof header, 1, out);
    fwrite(pixels, 1, size, out);
    return fclose(out) == 0;
}

static int closeTo(DWORD pixel, DWORD colour, int tolerance)
{
    int shift;
    for (shift = 0; shift <= 16; shift += 8) {
        const int a = (int)((pixel >> shift) & 0xFF), b = (int)((colour >> shift) & 0xFF);
        if (a - b > tolerance || b - a > tolerance)
            return 0;
    }
    return 1;
}

static int runShot(int argc, char **argv)
{
    RECT rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    DWORD *pixels = argc > 2 ? screenPixels(&rect) : NULL;
    if (!pixels || !writeBmp(argv[2], pixels, rect.right, rect.bottom)) {
        printf("shot error %lu\n", GetLastError());
        free(pixels);
        return 1;
    }
    free(pixels);
    printf("shot %ld %ld\n", rect.right, rect.bottom);
    return 0;
}

static int runLook(int argc, char **argv)
{
    RECT rect;
    DWORD *pixels;
    int width, height, dpi, strip, x, y, vertical = 0, light = 0, counted = 0, square = 0;
    EnumWindows(findToolkitWindows, 0);
    if (!g_settingsWindow || !GetWindowRect(g_settingsWindow, &rect) || !(pixels = screenPixels(&rect))) {
        printf("look none\n");
        return 1;
    }
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
    {
        HDC screen = GetDC(NULL);
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(NULL, screen);
    }
    /* The panel's bar is 10 logical pixels wide at the right edge, below the 60 of the title. */
    strip = MulDiv(14, dpi, 96);
    for (y = MulDiv(60, dpi, 96); y < height; ++y)
        for (x = width - strip; x < width; ++x)
            vertical += closeTo(pixels[y * width + x], 0x4F5663, 6);
    /* A system horizontal bar is some 17 logical pixels high; the corners' 12 are left out. */
    for (y = height - MulDiv(14, dpi, 96); y < height; ++y) {
        for (x = MulDiv(12, dpi, 96); x < width - MulDiv(12, dpi, 96); ++x) {
            const DWORD p = pixels[y * width + x];
            light += ((p >> 16) & 0xFF) >= 0xB0 && ((p >> 8) & 0xFF) >= 0xB0 && (p & 0xFF) >= 0xB0;
            ++counted;
        }
    }
    /* The panel's own colours: the window's #222222, the content's #282c34, a bar's track. */
    {
        const DWORD corners[2] = {pixels[(height - 1) * width], pixels[(height - 1) * width + width - 1]};
        int i;
        for (i = 0; i < 2; ++i)
            square += closeTo(corners[i], 0x222222, 4) || closeTo(corners[i], 0x282C34, 4)
                || (((corners[i] >> 16) & 0xFF) >= 0xB0 && ((corners[i] >> 8) & 0xFF) >= 0xB0);
    }
    if (argc > 2 && !writeBmp(argv[2], pixels, width, height)) {
        printf("look error %lu\n", GetLastError());
        free(pixels);
        return 1;
    }
    free(pixels);
    printf("look %d %d %d\n", vertical, counted ? light * 100 / counted : 0, square);
    return 0;
}

static int runScreen(void)
{
    typedef UINT(WINAPI * DpiForSystem)(void);
    DpiForSystem dpiForSystem = (DpiForSystem)(void (*)(void))GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForSystem");
    RECT area;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
        printf("screen error %lu\n", GetLastError());
        return 1;
    }
    printf("screen %u %ld %ld %ld %ld\n", dpiForSystem ? dpiForSystem() : 0u, area.left, area.top, area.right,
           area.bottom);
    return 0;
}

/* Prints "NAME <value>" of a system parameter, or "NAME error <code>" and returns 1. */
static int printSystemValue(const char *name, UINT action)
{
    UINT value = 0;
    if (!SystemParametersInfoW(action, 0, &value, 0)) {
        printf("%s error %lu\n", name, GetLastError());
        return 1;
    }
    printf("%s %u\n", name, value);
    return 0;
}

/* The size of the file at PATH now, or -1. */
static long long fileSizeAt(const wchar_t *path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) {
        return -1;
    }
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

static int runHold(int argc, char **argv)
{
    wchar_t path[MAX_PATH];
    HANDLE file;
    long long size;
    if (argc < 4 || !MultiByteToWideChar(CP_ACP, 0, argv[2], -1, path, MAX_PATH)) {
        fprintf(stderr, "usage: wheel_probe hold FILE MILLISECONDS [close]\n");
        return 2;
    }
    file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        printf("hold error %lu\n", GetLastError());
        return 1;
    }
    printf("held\n");
    fflush(stdout);
    if (argc > 4 && strcmp(argv[4], "close") == 0) {
        EnumWindows(findToolkitWindows, 0);
        if (g_settingsWindow) {
            PostMessageW(g_settingsWindow, WM_CLOSE, 0, 0);
        }
    }
    Sleep((DWORD)atoi(argv[3]));
    size = fileSizeAt(path);
    CloseHandle(file);
    printf("released %lld\n", size);
    return 0;
}

static DWORD processOfImage(const wchar_t *image)
{
    PROCESSENTRY32W entry;
    DWORD pid = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !pid; more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, image) == 0) {
            pid = entry.th32ProcessID;
        }
    }
    CloseHandle(snapshot);
    return pid;
}

/* The thread of process pid created first, opened for suspending; NULL when none. */
static HANDLE firstThreadOf(DWORD pid)
{
    THREADENTRY32 entry;
    HANDLE first = NULL;
    ULONGLONG firstCreated = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return NULL;
    }
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        FILETIME created, exited, kernel, user;
        HANDLE thread;
        ULONGLONG when;
        if (entry.th32OwnerProcessID != pid) {
            continue;
        }
        thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread) {
            continue;
        }
        if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
            CloseHandle(thread);
            continue;
        }
        when = ((ULONGLONG)created.dwHighDateTime << 32) | created.dwLowDateTime;
        if (!first || when < firstCreated) {
            if (first) {
                CloseHandle(first);
            }
            first = thread;
            firstCreated = when;
        } else {
            CloseHandle(thread);
        }
    }
    CloseHandle(snapshot);
    return first;
}

static int runStall(int argc, char **argv)
{
    wchar_t image[MAX_PATH];
    DWORD pid;
    HANDLE thread;
    if (argc < 4 || !MultiByteToWideChar(CP_ACP, 0, argv[2], -1, image, MAX_PATH)) {
        fprintf(stderr, "usage: wheel_probe stall IMAGE MILLISECONDS\n");
        return 2;
    }
    pid = processOfImage(image);
    if (!pid) {
        printf("stall none: no process %s\n", argv[2]);
        return 1;
    }
    thread = firstThreadOf(pid);
    if (!thread || SuspendThread(thread) == (DWORD)-1) {
        printf("stall none: cannot suspend its first thread (%lu)\n", GetLastError());
        return 1;
    }
    printf("stalled\n");
    fflush(stdout);
    Sleep((DWORD)atoi(argv[3]));
    ResumeThread(thread);
    CloseHandle(thread);
    printf("resumed\n");
    return 0;
}

static HWND g_menuWindow;

/* A visible popup menu: the system's (class #32768) or a toolkit popup. */
static BOOL CALLBACK findMenu(HWND hwnd, LPARAM unused)
{
    char className[256];
    (void)unused;
    if (IsWindowVisible(hwnd) && GetClassNameA(hwnd, className, sizeof className)
        && (strcmp(className, "#32768") == 0 || (strncmp(className, "Qt5", 3) == 0 && strstr(className, "Popup")))) {
        g_menuWindow = hwnd;
        return FALSE;
    }
    return TRUE;
}

static int runTrayQuit(void)
{
    /* The toolkit's tray icon talks to its hidden window with WM_APP + 101; the low word of
     * lParam is the mouse message, wParam the point (version 4 of the notification area). */
    HWND tray = FindWindowW(NULL, L"QTrayIconMessageWindow");
    int tries;
    if (!tray || !PostMessageW(tray, WM_APP + 101, MAKEWPARAM(100, 100), MAKELPARAM(WM_CONTEXTMENU, 0))) {
        printf("trayquit none: no tray icon\n");
        return 1;
    }
    for (tries = 0; tries < 50 && !g_menuWindow; ++tries) {
        Sleep(100);
        EnumWindows(findMenu, 0);
    }
    if (!g_menuWindow) {
        printf("trayquit none: no menu\n");
        return 1;
    }
    Sleep(300);
    PostMessageW(g_menuWindow, WM_KEYDOWN, VK_UP, 1);
    PostMessageW(g_menuWindow, WM_KEYUP, VK_UP, 0xC0000001);
    Sleep(300);
    PostMessageW(g_menuWindow, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(g_menuWindow, WM_KEYUP, VK_RETURN, 0xC0000001);
    printf("trayquit sent\n");
    return 0;
}

/* ---- the user's wheel lines, and Notepad as a client that follows them ---------------- */

static int runSetLines(int argc, char **argv)
{
    const UINT lines = argc > 2 ? (UINT)strtoul(argv[2], NULL, 10) : 3;
    if (!SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, NULL, SPIF_SENDCHANGE)) {
        printf("setlines error %lu\n", GetLastError());
        return 1;
    }
    /* Windows announces the change to every top-level window itself; Wine 8 announces none
       (seen: no window of another process receives it), so the probe does. */
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETWHEELSCROLLLINES, 0, SMTO_ABORTIFHUNG, 2000, NULL);
    printf("setlines %u\n", lines);
    return 0;
}

static HWND notepadEdit(void)
{
    HWND notepad = FindWindowW(L"Notepad", NULL);
    return notepad ? FindWindowExW(notepad, NULL, L"Edit", NULL) : NULL;
}

static long firstVisibleLine(HWND edit)
{
    DWORD_PTR line = 0;
    if (!SendMessageTimeoutW(edit, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_ABORTIFHUNG, 1000, &line))
        return -1;
    return (long)line;
}

static void sendFineWheel(int delta)
{
    INPUT input;
    ZeroMemory(&input, sizeof input);
    input.type = INPUT_MOUSE;
    input.mi.mouseData = (DWORD)delta;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    SendInput(1, &input, sizeof input);
}

static int runNotepad(int argc, char **argv)
{
    HWND edit = notepadEdit();
    if (!edit) {
        printf("notepad none\n");
        return 1;
    }
    if (argc < 4 || strcmp(argv[2], "watch") != 0) {
        RECT rect;
        GetWindowRect(edit, &rect);
        printf("notepad %ld %ld %ld\n", firstVisibleLine(edit), (rect.left + rect.right) / 2,
               (rect.top + rect.bottom) / 2);
        return 0;
    }
    const DWORD watch = (DWORD)strtoul(argv[3], NULL, 10);
    int fineLeft = 0, fineDelta = 0;
    DWORD fineGap = 0;
    if (argc > 7 && strcmp(argv[4], "fine") == 0) {
        fineLeft = atoi(argv[5]);
        fineDelta = atoi(argv[6]);
        fineGap = (DWORD)strtoul(argv[7], NULL, 10);
    }
    const long before = firstVisibleLine(edit);
    long last = before;
    int changes = 0;
    printf("watching\n");
    fflush(stdout);
    const DWORD start = GetTickCount();
    DWORD nextFine = start;
    while (GetTickCount() - start < watch) {
        if (fineLeft > 0 && GetTickCount() - nextFine < 0x80000000u) {
            sendFineWheel(fineDelta);
            --fineLeft;
            nextFine += fineGap;
        }
        const long line = firstVisibleLine(edit);
        if (line != last) {
            ++changes;
            last = line;
        }
        Sleep(1);
    }
    printf("notepad %ld %ld %d\n", before, last, changes);
    return 0;
}

int main(int argc, char **argv)
{
    QueryPerformanceFrequency(&g_frequency);
    InitializeCriticalSection(&g_logLock);
    if (argc >= 2 && strcmp(argv[1], "lines") == 0) {
        return printSystemValue("lines", SPI_GETWHEELSCROLLLINES);
    }
    if (argc >= 2 && strcmp(argv[1], "chars") == 0) {
        return printSystemValue("chars", SPI_GETWHEELSCROLLCHARS);
    }
    if (argc >= 2 && strcmp(argv[1], "setlines") == 0) {
        return runSetLines(argc, argv);
    }
    if (argc >= 2 && strcmp(argv[1], "notepad") == 0) {
        return runNotepad(argc, argv);
    }
    if (argc >= 2 && strcmp(argv[1], "rehook") == 0) {
        HWND probe = FindWindowW(g_probeClassName, NULL);
        if (!probe || !PostMessageW(probe, WM_APP, 0, 0)) {
            printf("rehook none\n");
            return 1;
        }
        printf("rehook sent\n");
        return 0;
    }
    if (argc >= 2 && strcmp(argv[1], "window") == 0) {
        return runWindow(argc, argv);
    }
    SetProcessDPIAware();
    if (argc >= 2 && strcmp(argv[1], "settings") == 0) {
        return runSettings(argc, argv);
    }
    if (argc >= 2 && strcmp(argv[1], "screen") == 0) {
        return runScreen();
    }
    if (argc >= 2 && strcmp(argv[1], "popup") == 0) {
        return runPopup();
    }
    if (argc >= 2 && strcmp(argv[1], "look") == 0) {
        return runLook(argc, argv);
    }
    if (argc >= 2 && strcmp(argv[1], "shot") == 0) {
        return runShot(argc, argv);
    }
    if (argc >= 2 && strcmp(argv[1], "hold") == 0) {
        return runHold(argc, argv);
    }
    if (argc >= 2 && strcmp(argv[1], "trayquit") == 0) {
        return runTrayQuit();
    }
    if (argc >= 2 && strcmp(argv[1], "stall") == 0) {
        return runStall(argc, argv);
    }
    fprintf(stderr, "usage: wheel_probe window LOGFILE X Y W H [hook] | wheel_probe lines | wheel_probe chars | wheel_probe rehook | wheel_probe settings [close] | wheel_probe popup | wheel_probe look [FILE] | wheel_probe shot FILE | wheel_probe screen | wheel_probe hold FILE MS [close] | wheel_probe trayquit | wheel_probe stall IMAGE MS\n");
    return 2;
}
