#pragma once

#include "app/main_window.h"

#include <QComboBox>
#include <QListWidget>

// Reaches the window's private members from the tests.
class MainWindowTestAccess {
public:
    static QSystemTrayIcon *trayIcon(MainWindow &window) { return window.m_trayIcon; }
    static QMenu *trayMenu(MainWindow &window) { return window.m_trayMenu; }
    static QAction *visitAction(MainWindow &window) { return window.m_visitAction; }
    static QAction *quitAction(MainWindow &window) { return window.m_quitAction; }
    static SmoothScroller &scroller(MainWindow &window) { return window.m_scroller; }
    static bool isDragging(MainWindow &window) { return window.m_isDragging; }
    static QWidget *titleBar(MainWindow &window) { return window.m_titleBar; }

    static std::array<ParamRow, 8> &rows(MainWindow &window) { return window.m_rows; }
    static CustomImageButton *autorunButton(MainWindow &window) { return window.m_autorunButton; }
    static CustomImageButton *closeButton(MainWindow &window) { return window.m_closeButton; }
    static CustomRadioButton *normalRadio(MainWindow &window) { return window.m_normalRadio; }
    static CustomRadioButton *reverseRadio(MainWindow &window) { return window.m_reverseRadio; }
    static QCheckBox *smoothCheckBox(MainWindow &window) { return window.m_smoothCheckBox; }
    static QComboBox *appComboBox(MainWindow &window) { return window.m_appComboBox; }
    static QListWidget *profileList(MainWindow &window) { return window.m_profileList; }
    static QString currentProfile(MainWindow &window) { return window.m_currentProfile; }
    static bool scrollDirectionNormal(MainWindow &window) { return window.m_scrollDirectionNormal; }
};
