#include "engine/wheel_lines.h"

#include "platform/win32.h"

#include <QDebug>

#include <atomic>
#include <iostream>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace {

constexpr UINT kChangeFlags = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;

// Two workers may overlap after quick toggles; each line is written whole.
std::mutex s_outputMutex;

// The system's value before our first change; read and written on the calling (GUI) thread.
std::optional<UINT> s_originalLines;

// Requests are numbered. A restore marks every request made so far as undone, and a worker
// of an undone request puts the restored value back after its own change, so that the
// restore wins whichever of the two reaches the system last.
std::atomic<unsigned> s_lastRequest{0};
std::atomic<unsigned> s_undoneUpTo{0};
std::atomic<UINT> s_restoredLines{0};

} // namespace

void applyWheelScrollLines()
{
    if (!s_originalLines) {
        UINT lines = 0;
        if (SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
            s_originalLines = lines;
    }
    const unsigned request = ++s_lastRequest;
    try {
        std::thread(wheelLinesThreadProc, std::make_unique<int>(1), request).detach();
    } catch (const std::system_error &e) {
        // Without a worker the setting simply stays as it is; the program must keep running.
        qCritical() << "[SmoothScroller] Failed to start the wheel-lines worker:" << e.what();
    }
}

int wheelLinesThreadProc(std::unique_ptr<int> value, unsigned request)
{
    const UINT lines = value ? static_cast<UINT>(*value) : 1u;
    const BOOL ok = SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr, kChangeFlags);
    const DWORD error = ok ? 0 : GetLastError();
    if (ok && request <= s_undoneUpTo)
        SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, s_restoredLines, nullptr, kChangeFlags);

    std::lock_guard<std::mutex> lock(s_outputMutex);
    if (ok) {
        // The full-width exclamation mark in code page 936, spelled as bytes so that no
        // compiler or editor re-encodes it.
        std::cout << "Set params success\xA3\xA1" << std::endl;
    } else {
        std::cout << "Set params error" << error << std::endl;
    }
    return 0;
}

void restoreWheelScrollLines()
{
    if (!s_originalLines)
        return;
    const UINT lines = *s_originalLines;
    // A later change records the value afresh.
    s_originalLines.reset();
    s_restoredLines = lines;
    s_undoneUpTo = s_lastRequest.load();
    if (SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr, kChangeFlags)) {
        qInfo() << "[SmoothScroller] System wheel scroll lines restored to" << lines;
    } else {
        const DWORD error = GetLastError();
        qCritical() << "[SmoothScroller] Failed to restore the system wheel scroll lines! Error:" << error;
    }
}
