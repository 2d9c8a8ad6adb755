#pragma once
// Drives the engine on the simulated desktop from a stream of decisions: hook events of any
// kind (notches of both wheels, injected ones and our own steps' look-alikes among them), ticks
// of the virtual clock for both animations, published documents, windows that appear, hide,
// move, go and change class, the foreground window, the wheel routing, monitors, keys, refused
// posts and failing platform calls. After every step it checks what the engine must always
// keep to; a broken promise aborts (see fuzz_check.h).

#include "byte_reader.h"

#include "engine/smooth_scroller.h"
#include "platform/sim_desktop.h"

#include <QtGlobal>

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
    void tick(ByteReader &in);
    void changeDesktop(ByteReader &in);
    void changeWindowsAndScreens(ByteReader &in);
    void afterHookEvent(const bool (&wasAnimating)[2], const int (&startsBefore)[2]);
    void checkPosts(const HWND (&targets)[2], const float (&remainingBefore)[2], std::size_t firstPost);
    void checkIdle() const;

    SmoothScroller m_engine;
    QtMessageHandler m_previousHandler = nullptr;
    std::vector<App> m_apps;
    std::vector<std::string> m_profileNames;
    std::size_t m_postsSeen = 0;
    std::size_t m_inputSeen = 0;
    std::vector<HMONITOR> m_monitors;
    // Per axis (WheelAxis order): units posted by the running animation, and whether one of
    // its posts failed without a record.
    long long m_postedSinceStart[2] = {0, 0};
    bool m_postFailed[2] = {false, false};
    long long m_wheelEvents = 0;
    long long m_ticks = 0;
};
