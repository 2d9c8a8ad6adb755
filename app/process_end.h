#pragma once
// How the program ends at quit, once it has saved, asked the engine to stop and put the wheel
// settings back.

#include <chrono>

enum class ProcessEnd {
    // Everything answered: the ordinary exit with status 0.
    Exit,
    // The engine's thread or the log's writer did not answer in time and may hold a lock
    // (the heap's, the loader's, the message log's): ended at once with status 0, without
    // static destructors or library detach code that could wait on it.
    AtOnce,
};

// How long quit waits for the engine's last log lines to be written.
constexpr std::chrono::milliseconds kQuitLogLimit{300};

ProcessEnd processEndAfter(bool engineStopped, bool logWritten);

// Ends the process with status 0 as `how` says; never returns.
[[noreturn]] void endProcess(ProcessEnd how);
