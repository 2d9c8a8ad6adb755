#include "engine/wheel_lines.h"

#include "platform/registry.h"
#include "platform/win32.h"

#include <QDebug>

#include <atomic>
#include <iostream>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace {

constexpr UINT kLinesFlags = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;
// Without SPIF_UPDATEINIFILE the change lasts for the session and the stored value stays.
constexpr UINT kCharsFlags = SPIF_SENDCHANGE;

const char kDesktopKey[] = "HKEY_CURRENT_USER\\Control Panel\\Desktop";
const char kWheelScrollCharsValue[] = "WheelScrollChars";

// Two workers may overlap after quick toggles; each line is written whole.
std::mutex s_outputMutex;

// The system's values before our first change; read and written on the calling (GUI) thread.
std::optional<UINT> s_originalLines;
std::optional<UINT> s_originalChars;
bool s_changed = false;

// Requests are numbered. A restore marks every request made so far as undone, and a worker
// of an undone request puts the restored values back after its own change, so that the
// restore wins whichever of the two reaches the system last.
std::atomic<unsigned> s_lastRequest{0};
std::atomic<unsigned> s_undoneUpTo{0};
std::atomic<UINT> s_restoredLines{0};
std::atomic<bool> s_linesRestored{false};
std::atomic<UINT> s_restoredChars{0};
std::atomic<bool> s_charsRestored{false};

std::optional<UINT> systemValue(UINT action)
{
    UINT value = 0;
    if (!SystemParametersInfoW(action, 0, &value, 0))
        return std::nullopt;
    return value;
}

// The characters the user's profile stores; nothing when there is no such value.
std::optional<UINT> storedWheelScrollChars()
{
    const QVariant value =
        openRegistryKey(QString::fromLatin1(kDesktopKey))->value(QString::fromLatin1(kWheelScrollCharsValue));
    bool ok = false;
    const uint chars = value.toString().trimmed().toUInt(&ok);
    if (!ok)
        return std::nullopt;
    return chars;
}

void setChars(UINT chars)
{
    if (!SystemParametersInfoW(SPI_SETWHEELSCROLLCHARS, chars, nullptr, kCharsFlags)) {
        const DWORD error = GetLastError();
        qCritical() << "[SmoothScroller] Failed to set the system wheel scroll chars! Error:" << error;
    }
}

} // namespace

void applyWheelScrollLines()
{
    if (!s_changed) {
        s_originalLines = systemValue(SPI_GETWHEELSCROLLLINES);
        s_originalChars = systemValue(SPI_GETWHEELSCROLLCHARS);
        s_changed = true;
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
    const UINT wanted = value ? static_cast<UINT>(*value) : 1u;
    const BOOL ok = SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, wanted, nullptr, kLinesFlags);
    const DWORD error = ok ? 0 : GetLastError();
    setChars(wanted);
    if (request <= s_undoneUpTo) {
        if (s_linesRestored)
            SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, s_restoredLines, nullptr, kLinesFlags);
        if (s_charsRestored)
            SystemParametersInfoW(SPI_SETWHEELSCROLLCHARS, s_restoredChars, nullptr, kCharsFlags);
    }

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
    if (!s_changed)
        return;
    // A later change records the values afresh.
    s_changed = false;
    const std::optional<UINT> lines = s_originalLines;
    std::optional<UINT> chars = storedWheelScrollChars();
    if (!chars)
        chars = s_originalChars; // a profile without the value: as it was before our change
    s_linesRestored = lines.has_value();
    s_restoredLines = lines.value_or(0);
    s_charsRestored = chars.has_value();
    s_restoredChars = chars.value_or(0);
    s_undoneUpTo = s_lastRequest.load();
    if (lines) {
        if (SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, *lines, nullptr, kLinesFlags)) {
            qInfo() << "[SmoothScroller] System wheel scroll lines restored to" << *lines;
        } else {
            const DWORD error = GetLastError();
            qCritical() << "[SmoothScroller] Failed to restore the system wheel scroll lines! Error:" << error;
        }
    }
    if (chars)
        setChars(*chars);
}
