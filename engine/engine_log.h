#pragma once
// The engine's log lines leave its thread. On Windows the toolkit's message log ends in
// OutputDebugString, which waits without limit for a debug-output monitor's mutex and up to
// 10 s for its buffer; inside the hook such a wait holds the desktop's cursor and gets the hook
// removed. So a line made on the engine's thread (the hook, the tick, the watch, the clocks,
// start and stop) is only recorded there, as plain values, in a bounded queue; a writer thread
// of its own formats it and writes it to the message log, with its level and text, in the order
// the lines were made. Lines that find the queue full are dropped and counted, and the writer
// says how many once it writes again.

#include <chrono>
#include <cstdint>
#include <string>
#include <type_traits>

// Every line the engine writes on its own thread.
enum class EngineLine : std::uint8_t {
    // the hook procedure
    RestartingTimer,
    RestartTimerFailed,
    NewAnimation,
    StoppingPreviousTimer,
    InitiatingAnimation,
    NewTimerSet,
    NewTimerFailed,
    NoHiddenWindow,
    FineInputStops,
    ModifierBypass,
    SlightOpposite,
    SignificantOpposite,
    TargetChanged,
    ButtonStops,
    ProcessName,
    // the tick
    PostingRefused,
    SendInputFailed,
    // the hook watch
    HookReinstalled,
    HookReinstallFailed,
    // start and stop on the engine's thread
    NoModuleHandle,
    NoHiddenWindowAtStart,
    HookInstallFailed,
    Started,
    Stopping,
    HookUninstalled,
    TimerKilled,
    WindowDestroyed,
    Stopped,
    NoInstance,
    RegistrationFailed,
    WindowCreationFailed,
    // the clocks
    IntervalClockFallback,
    FrameWakeSource,
    Count
};

class EngineLog {
public:
    // Queues the line with the value it carries (an integer, a floating-point number, a string
    // literal, or a process's file name, kept up to kNameChars characters). Copies plain values
    // under a lock held only for that copy; never allocates, formats or throws, and wakes the
    // writer (a system call) only once the queue is half full.
    static void write(EngineLine line) noexcept { put(line, Value{}); }
    template <typename T>
    static void write(EngineLine line, T value) noexcept
    {
        put(line, valueOf(value));
    }
    static void write(EngineLine line, const std::wstring &name) noexcept;

    // Wakes the writer for what is queued. The engine's loop calls it before each wait, between
    // hook calls, so that a hook call makes no system call for its lines.
    static void wakeWriter() noexcept;
    // Starts the writer thread if it does not run yet; false if it cannot be started (lines then
    // wait in the queue, and once it is full they are counted as dropped). Never called inside the hook.
    static bool startWriter();
    // Waits until every line queued before the call is written, at most `limit`; true if so.
    // For tests and for a quit that wants the engine's last lines on the log.
    static bool flush(std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Lines the queue can hold, and the characters a recorded file name keeps.
    static constexpr int kCapacity = 256;
    static constexpr int kNameChars = 260;

private:
    enum class Kind : std::uint8_t { None, Signed, Unsigned, Real, Text };
    struct Value {
        Kind kind = Kind::None;
        long long i = 0;
        unsigned long long u = 0;
        double d = 0;
        const char *text = nullptr; // a string literal: it outlives the line
    };
    template <typename T>
    static Value valueOf(T v) noexcept
    {
        Value value;
        if constexpr (std::is_same_v<T, const char *>) {
            value.kind = Kind::Text;
            value.text = v;
        } else if constexpr (std::is_floating_point_v<T>) {
            value.kind = Kind::Real;
            value.d = v;
        } else if constexpr (std::is_signed_v<T>) {
            value.kind = Kind::Signed;
            value.i = v;
        } else {
            static_assert(std::is_unsigned_v<T>, "a log value is a number or a string literal");
            value.kind = Kind::Unsigned;
            value.u = v;
        }
        return value;
    }
    static void put(EngineLine line, const Value &value, const wchar_t *name = nullptr,
                    std::size_t nameLength = 0) noexcept;

    friend class EngineLogWriter;
};
