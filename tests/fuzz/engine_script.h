#pragma once
// Drives the engine on the simulated desktop from a stream of decisions: hook events of any
// kind (notches of both wheels, injected ones and our own steps' look-alikes among them), ticks
// of the virtual clock for both animations, published documents, windows that appear, hide,
// move, go, change class, come back under a reused handle or move to another parent, the
// foreground window, the wheel routing, monitors, keys, refused
// posts and failing platform calls, the user's wheel lines and characters, and streams of
// fine-grained input. After every step it checks what the engine must always
// keep to; a broken promise aborts (see fuzz_check.h).

#include "byte_reader.h"

#include "engine/smooth_scroller.h"
#include "platform/sim_desktop.h"

#include <QtGlobal>

#include <functional>
#include <string>
#include <vector>

class EngineScript {
public:
    // A fresh desktop with a few application windows and the engine started on it.
    EngineScript();
    // Stops the engine and checks that it left no hook, timer or open process handle.
    ~EngineScript();

    // Runs one step, chosen by the input; returns false once the input is used up.
    bool step(ByteReader &in);

    long long wheelEvents() const { return m_wheelEvents; }
    long long ticks() const { return m_ticks; }

private:
    struct App {
        HWND hwnd;
        DWORD pid;
    };

    static SimDesktop &sim() { return SimDesktop::instance(); }
    void addApp(ByteReader &in);
    HWND pickWindow(ByteReader &in) const;
    POINT pickPoint(ByteReader &in) const;
    void hookEvent(ByteReader &in);
    // One wheel event through the hook, with the checks every hook event gets.
    SimDesktop::HookOutcome wheelEvent(UINT message, POINT pt, DWORD mouseData, int nCode, DWORD flags,
                                       ULONG_PTR extra);
    void afterAnyHookEvent(const bool (&wasAnimating)[2], const int (&startsBefore)[2], int failedPosts);
    // A notch a set only reverses: one message of the reversed delta, which is no step of any
    // animation; checked and left out of the animations' sums.
    void skipReversedNotch(UINT message, int raw, const SimDesktop::HookOutcome &outcome,
                           const int (&targets)[2], const UINT_PTR (&clocks)[2], int starts);
    // Events of a touchpad or a fine wheel, some milliseconds apart: each that is fine-grained
    // goes on untouched and leaves its axis without a glide.
    void fineStream(ByteReader &in);
    void spinStream(ByteReader &in);
    void tick(ByteReader &in);
    void advanceClock(long long milliseconds);
    // Runs ticks and checks what they posted and how the animations that ended came out.
    void runTicks(const std::function<void()> &run);
    void changeDesktop(ByteReader &in);
    void changeWindowsAndScreens(ByteReader &in);
    void noteInexactSums();
    void afterHookEvent(const bool (&wasAnimating)[2], const int (&startsBefore)[2]);
    void checkPosts(const HWND (&targets)[2], const float (&remainingBefore)[2], std::size_t firstPost);
    void checkIdle() const;

    SmoothScroller m_engine;
    QtMessageHandler m_previousHandler = nullptr;
    std::vector<App> m_apps;
    std::vector<HWND> m_children; // child windows made, some since destroyed
    std::vector<std::string> m_profileNames;
    std::size_t m_postsSeen = 0;
    std::size_t m_inputSeen = 0;
    std::vector<HMONITOR> m_monitors;
    // Per axis (WheelAxis order): units posted by the running animation, and whether its sum
    // can no longer be checked: one of its posts failed without a record, or its distances
    // went beyond kExactRange on the way (an extension by a negative multiplier can bring a
    // far target back within it).
    long long m_postedSinceStart[2] = {0, 0};
    bool m_sumUnknown[2] = {false, false};
    // The latest fine-grained event's time per axis, as the script judges it; -1 for none.
    long long m_lastFine[2] = {-1, -1};
    long long m_wheelEvents = 0;
    long long m_ticks = 0;
};
