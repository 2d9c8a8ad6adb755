#pragma once

#include "app/main_window.h"

// Reaches the window's private members from the tests.
class MainWindowTestAccess {
public:
    static QSystemTrayIcon *trayIcon(MainWindow &window) { return window.m_trayIcon; }
    static QMenu *trayMenu(MainWindow &window) { return window.m_trayMenu; }
    static QAction *visitAction(MainWindow &window) { return window.m_visitAction; }
    static QAction *quitAction(MainWindow &window) { return window.m_quitAction; }
    static SmoothScroller &scroller(MainWindow &window) { return window.m_scroller; }
    static bool isDragging(MainWindow &window) { return window.m_isDragging; }

    // The panel's title bar, or, while the window has none, a bare one of the panel's
    // height across the top.
    static QWidget *titleBar(MainWindow &window)
    {
        if (!window.m_titleBar) {
            window.m_titleBar = new QWidget(&window);
            window.m_titleBar->setGeometry(0, 0, window.width(), 60);
        }
        return window.m_titleBar;
    }
};
