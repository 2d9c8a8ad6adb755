#pragma once

#include "app/main_window.h"

// Reaches the window's private members from the tests: the shell's tray and engine, and the
// panel's state that no widget shows whole. The panel's widgets are found by their names
// (panel_test_support.h).
class MainWindowTestAccess {
public:
    static QSystemTrayIcon *trayIcon(MainWindow &window) { return window.m_trayIcon; }
    static QMenu *trayMenu(MainWindow &window) { return window.m_trayMenu; }
    static QAction *visitAction(MainWindow &window) { return window.m_visitAction; }
    static QAction *quitAction(MainWindow &window) { return window.m_quitAction; }
    static SmoothScroller &scroller(MainWindow &window) { return window.m_scroller; }
    static bool isDragging(MainWindow &window) { return window.m_isDragging; }

    // Pause and the announcement of a wheel-setting change
    static QAction *pauseAction(MainWindow &window) { return window.m_pauseAction; }
    static bool nativeEvent(MainWindow &window, const QByteArray &type, void *message, long *result)
    {
        return window.nativeEvent(type, message, result);
    }

    static std::array<ParamRow, 8> &rows(MainWindow &window) { return window.m_rows; }
    static ParamRow &fastSpinRow(MainWindow &window) { return window.m_fastSpinRow; }
    static QString currentProfile(MainWindow &window) { return window.m_currentProfile; }
};
