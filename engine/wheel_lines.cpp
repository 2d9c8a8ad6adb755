#include "engine/wheel_lines.h"

#include "platform/win32.h"

#include <QDebug>

#include <iostream>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// Two workers may overlap after quick toggles; each line is written whole.
std::mutex s_outputMutex;

} // namespace

void applyWheelScrollLines()
{
    try {
        std::thread(wheelLinesThreadProc, std::make_unique<int>(1)).detach();
    } catch (const std::system_error &e) {
        // Without a worker the setting simply stays as it is; the program must keep running.
        qCritical() << "[SmoothScroller] Failed to start the wheel-lines worker:" << e.what();
    }
}

int wheelLinesThreadProc(std::unique_ptr<int> value)
{
    const UINT lines = value ? static_cast<UINT>(*value) : 1u;
    const BOOL ok = SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr,
                                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    const DWORD error = ok ? 0 : GetLastError();

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
