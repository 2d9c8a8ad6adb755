#pragma once
// Shared set-up for the hook host tests: a fresh simulated desktop, an idle engine and a
// record of every line the engine writes to the message log.

#include "engine/smooth_scroller.h"
#include "platform/sim_desktop.h"

#include <QString>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using LogLine = std::pair<QtMsgType, std::string>;

class HostTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    SimDesktop &sim() { return SimDesktop::instance(); }

    // Lines that begin with the host's own prefix, in order.
    static std::vector<LogLine> hostLog();
    static bool logged(QtMsgType type, const std::string &text);
    // Forgets what was logged so far, the engine's queued lines included.
    static void clearLog();

    // A visible application window under the point (100, 200), and one wheel event there.
    HWND addAppWindow();
    // An animation's clock runs on the hidden window: a multimedia timer or window timer.
    bool clockRunning();
    SimDesktop::HookOutcome notchOver(short delta = 120);

    static std::vector<LogLine> s_log;

private:
    static void recordMessage(QtMsgType type, const QMessageLogContext &, const QString &message);

    QtMessageHandler m_previousHandler = nullptr;
};
