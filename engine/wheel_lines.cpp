#include "engine/wheel_lines.h"

#include "platform/registry.h"
#include "platform/win32.h"

#include <QDebug>

#include <atomic>
#include <iostream>
#include <limits>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace {

// Without SPIF_UPDATEINIFILE a change lasts for the session and the user's stored value
// stays, so a crash, a log-off or an uninstall leaves that value in force from the next
// log-on.
constexpr UINT kSessionOnly = SPIF_SENDCHANGE;

const char kDesktopKey[] = "HKEY_CURRENT_USER\\Control Panel\\Desktop";

// One of the two wheel settings the program sets to 1 while it runs.
struct WheelSetting {
    UINT getAction;
    UINT setAction;
    const char *storedName; // its value under kDesktopKey in the user's profile
    const char *what;       // for the log
    // The session's value before our first change; read and written on the calling thread.
    std::optional<UINT> original;
    // What the latest restore put back, for a worker that reaches the system after it.
    std::atomic<bool> restored{false};
    std::atomic<UINT> restoredValue{0};
};

WheelSetting s_lines{SPI_GETWHEELSCROLLLINES, SPI_SETWHEELSCROLLLINES, "WheelScrollLines", "lines"};
WheelSetting s_chars{SPI_GETWHEELSCROLLCHARS, SPI_SETWHEELSCROLLCHARS, "WheelScrollChars", "chars"};
WheelSetting *const s_settings[] = {&s_lines, &s_chars};

// Two workers may overlap after quick toggles; each line is written whole.
std::mutex s_outputMutex;
bool s_changed = false;

// Requests are numbered. A restore marks every request made so far as undone, and a worker
// of an undone request puts the restored values back after its own change, so that the
// restore wins whichever of the two reaches the system last.
std::atomic<unsigned> s_lastRequest{0};
std::atomic<unsigned> s_undoneUpTo{0};

std::optional<UINT> sessionValue(const WheelSetting &setting)
{
    UINT value = 0;
    if (!SystemParametersInfoW(setting.getAction, 0, &value, 0))
        return std::nullopt;
    return value;
}

// The value the user's profile stores; nothing when there is none. "-1" is how the profile
// stores a page per notch (WHEEL_PAGESCROLL).
std::optional<UINT> storedValue(const WheelSetting &setting)
{
    const QVariant value =
        openRegistryKey(QString::fromLatin1(kDesktopKey))->value(QString::fromLatin1(setting.storedName));
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    if (!ok || number < -1 || number > qlonglong(std::numeric_limits<UINT>::max()))
        return std::nullopt;
    return static_cast<UINT>(number);
}

BOOL setForSession(const WheelSetting &setting, UINT value)
{
    return SystemParametersInfoW(setting.setAction, value, nullptr, kSessionOnly);
}

void logFailure(const WheelSetting &setting)
{
    const DWORD error = GetLastError();
    qCritical().nospace() << "[SmoothScroller] Failed to set the system wheel scroll " << setting.what
                          << "! Error: " << error;
}

} // namespace

void applyWheelScrollLines()
{
    if (!s_changed) {
        for (WheelSetting *setting : s_settings)
            setting->original = sessionValue(*setting);
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
    const BOOL ok = setForSession(s_lines, wanted);
    const DWORD error = ok ? 0 : GetLastError();
    if (!setForSession(s_chars, wanted))
        logFailure(s_chars);
    if (request <= s_undoneUpTo) {
        for (WheelSetting *setting : s_settings) {
            if (setting->restored)
                setForSession(*setting, setting->restoredValue);
        }
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
    for (WheelSetting *setting : s_settings) {
        std::optional<UINT> value = storedValue(*setting);
        if (!value)
            value = setting->original; // a profile without the value: as it was before our change
        setting->restored = value.has_value();
        setting->restoredValue = value.value_or(0);
    }
    s_undoneUpTo = s_lastRequest.load();
    for (WheelSetting *setting : s_settings) {
        if (!setting->restored)
            continue;
        const UINT value = setting->restoredValue;
        if (setForSession(*setting, value))
            qInfo().nospace() << "[SmoothScroller] System wheel scroll " << setting->what << " restored to " << value;
        else
            logFailure(*setting);
    }
}
