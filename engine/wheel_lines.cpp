#include "engine/wheel_lines.h"

#include "engine/wheel_units.h"
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

// What a fresh Windows profile has, for a setting that could never be read.
constexpr UINT kWindowsDefaultPerNotch = 3;

const char kDesktopKey[] = "HKEY_CURRENT_USER\\Control Panel\\Desktop";

// One of the two wheel settings.
struct WheelSetting {
    WheelSetting(UINT get, UINT set, const char *stored, const char *name)
        : getAction(get), setAction(set), storedName(stored), what(name)
    {
    }
    UINT getAction;
    UINT setAction;
    const char *storedName; // its value under kDesktopKey in the user's profile
    const char *what;       // for the log
    // Read and written on the calling thread only:
    std::optional<UINT> inForce;  // the latest value read from the session
    bool setByUs = false;         // set to 1 by us, not yet put back
    std::optional<UINT> original; // the session's value before that change
    // What the latest restore put back, for a worker that reaches the system after it.
    std::atomic<bool> restored{false};
    std::atomic<UINT> restoredValue{0};
};

WheelSetting s_lines{SPI_GETWHEELSCROLLLINES, SPI_SETWHEELSCROLLLINES, "WheelScrollLines", "lines"};
WheelSetting s_chars{SPI_GETWHEELSCROLLCHARS, SPI_SETWHEELSCROLLCHARS, "WheelScrollChars", "chars"};
WheelSetting *const s_settings[] = {&s_lines, &s_chars};

// Two workers may overlap; each line is written whole.
std::mutex s_outputMutex;

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

// Reads the setting and returns what the engine divides by; true in `setOne` when the
// session's value gives no unit and is to be set to 1.
UINT readSetting(WheelSetting &setting, bool &setOne)
{
    const std::optional<UINT> session = sessionValue(setting);
    setOne = false;
    if (!session)
        return setting.inForce.value_or(kWindowsDefaultPerNotch);
    setting.inForce = session;
    if (isUnitCount(*session)) {
        // A value other than ours: the user changed it, and it is theirs to keep.
        if (*session != 1)
            setting.setByUs = false;
        return *session;
    }
    if (!setting.setByUs) {
        setting.original = session;
        setting.setByUs = true;
    }
    setOne = true;
    return 1;
}

} // namespace

void applyWheelScrollLines()
{
    WheelLinesRequest request;
    WheelUnits units;
    units.lines = readSetting(s_lines, request.lines);
    units.chars = readSetting(s_chars, request.chars);
    publishWheelUnits(units);
    qDebug().nospace() << "[SmoothScroller] Wheel settings: glides in " << units.lines << " lines and "
                       << units.chars << " characters per notch.";
    if (!request.lines && !request.chars)
        return;
    request.number = ++s_lastRequest;
    try {
        std::thread(wheelLinesThreadProc, std::make_unique<int>(1), request).detach();
    } catch (const std::system_error &e) {
        // Without a worker the setting simply stays as it is; the program must keep running.
        qCritical() << "[SmoothScroller] Failed to start the wheel-lines worker:" << e.what();
    }
}

int wheelLinesThreadProc(std::unique_ptr<int> value, WheelLinesRequest request)
{
    const UINT wanted = value ? static_cast<UINT>(*value) : 1u;
    BOOL linesSet = FALSE;
    DWORD error = 0;
    if (request.lines) {
        linesSet = setForSession(s_lines, wanted);
        error = linesSet ? 0 : GetLastError();
    }
    if (request.chars && !setForSession(s_chars, wanted))
        logFailure(s_chars);
    if (request.number <= s_undoneUpTo) {
        for (WheelSetting *setting : s_settings) {
            if (setting->restored)
                setForSession(*setting, setting->restoredValue);
        }
    }
    if (!request.lines)
        return 0;

    std::lock_guard<std::mutex> lock(s_outputMutex);
    if (linesSet) {
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
    for (WheelSetting *setting : s_settings) {
        setting->restored = false;
        if (!setting->setByUs)
            continue;
        // A later change records the value afresh.
        setting->setByUs = false;
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
