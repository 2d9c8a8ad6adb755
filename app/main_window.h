#pragma once

#include "config/profile_store.h"
#include "engine/smooth_scroller.h"
#include "ui/glide_curve.h"
#include "ui/param_row.h"

#include <QIcon>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QSystemTrayIcon>
#include <QVector>
#include <QWidget>

#include <nlohmann/json.hpp>

#include <array>
#include <functional>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QScrollArea;
class ClickableLabel;
class CustomImageButton;
class CustomRadioButton;
class theme_watcher;

// The product's web page, opened by the tray menu.
constexpr char kProductPageUrl[] = "https://tidyforge.github.io/sorvella/";

// The window's size limits; a work area lower than the minimum height lowers it (the content
// scrolls).
constexpr int kWindowMinimumWidth = 340;
constexpr int kWindowMaximumWidth = 480;
constexpr int kWindowMinimumHeight = 520;

// The program's only top-level window: a frameless, rounded settings window dragged by its
// title bar, plus the tray icon and menu through which the program is reached while the
// window is hidden. It owns the engine and the profile store with the working configuration
// document.
//
// Its members are defined in several files of this folder: the shell (construction, tray,
// painting, dragging, close, quit, theme icons) in main_window.cpp, the settings panel in
// main_window_panel.cpp, the configuration store in main_window_store.cpp and the
// application profiles in main_window_profiles.cpp; the last two are glue between the
// panel's widgets and ProfileStore.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Hand-over from a later launch: start the engine if it is not running, then bring the
    // window to the front, restored and active.
    void onShowRequest();
    void applyThemeIcons(bool isLightTheme);
    void onTrayActivated(QSystemTrayIcon::ActivationReason reason);
    void openProductPage();
    // Saves and ends the process at once with exit status 0.
    void quitApplication();
    // Before the window is shown: wholly inside a screen's work area, where it was if that is
    // still wholly visible, else centred on the screen that holds the cursor.
    void placeOnScreen();
    // The same over these work areas and this cursor position.
    void placeWithin(const QVector<QRect> &workAreas, const QPoint &cursor);
    // What shows all of the panel: the content's height under the title bar, and its
    // narrowest width with room beside it for the vertical scroll bar.
    QSize contentSize();

    // Settings panel
    void buildSettingsPanel();
    QWidget *buildAppGroup();
    QWidget *buildParamGroup(const QString &title, const QString &upText, ParamRow &upRow,
                             const QString &downText, ParamRow &downRow);
    QWidget *buildDirectionGroup();
    void refreshValueLabel(ParamRow &row);
    void editParameter(ParamRow &row);
    // The value editor's picture of the glide for row `row` of m_rows at a value.
    std::function<GlideCurve(int)> glideOfRow(int row) const;

    // Configuration store; names are profile names ("default", not its display name).
    bool loadConfig();
    void showProfile(const QString &name);
    void collectProfile(const QString &name);
    void publishConfig();
    bool saveConfig();

    // Application profiles; profileKey maps the entry text "默认" to "default".
    static QString profileKey(const QString &text);
    void populateAppCombo();
    void attachRemoveButtons();
    void removeProfile(const QString &text);
    // Shows the profile in the panel and makes it the profile on show.
    void selectProfile(const QString &name);
    // Adds a profile for the application of that file name (a copy of "default"), or selects
    // the one it has; an empty name adds nothing.
    void addApplicationNamed(const QString &name);
    // The file dialog of "浏览…": the name of the executable, or of a shortcut's target.
    void addApplicationFromFile();

private:
    // The working document and the operations on it; built before any widget, with autorun
    // off and the default set, and declared before the reference to its document below.
    ProfileStore m_store;

public:
    // The working configuration document: all parameter sets and autorunEnabled.
    nlohmann::json &workingConfig = m_store.document();

    // Asks for an application to add; returns its path, or an empty text when cancelled.
    // The file dialog by default; tests put their own answer here.
    std::function<QString(QWidget *parent)> m_chooseApplicationFile;

    // The icon of an executable for the chooser of running applications, from its path. The
    // file's own icon by default; tests put their own here.
    std::function<QIcon(const QString &imagePath)> m_applicationIcon;

private slots:
    void handleCloseAction();
    void handleAutorunToggled(bool checked);
    void openDialogForAccelUp();
    void openDialogForAccelDown();
    void openDialogForRapidUp();
    void openDialogForRapidDown();
    void openDialogForDurationStart();
    void openDialogForDurationEnd();
    void openDialogForDistanceUp();
    void openDialogForDistanceDown();
    void onDirectionChanged(int);
    void onAppSelectionChanged(int index);
    void onSmoothScrollToggled(bool);
    void addNewApplication();

private slots:
    // The glide paced by the display's frames, for every application.
    void onDisplayPacedToggled(bool checked);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

public:
    // Pause from the tray menu: the engine stops (hook removed, its thread ended) until the
    // user resumes it, which starts it as at launch. A resume that fails stays paused. The
    // pause is not saved.
    bool isPaused() const { return m_paused; }
    void togglePause();

protected:
    // Watches Windows' announcements for a change of the wheel lines or characters, which the
    // engine's message-only window never receives.
    bool nativeEvent(const QByteArray &eventType, void *message, long *result) override;

private:
    friend class MainWindowTestAccess;

    void createTrayIcon();
    void createThemeWatcher();
    // Tells the user once per run that a save could not reach the file.
    void reportSaveFailure(const QString &path);

    // Title bar: the only area that starts a drag, painted in the title colour. Null until
    // the panel is built.
    QWidget *m_titleBar = nullptr;
    // The groups under the title bar scroll vertically where the window is lower than they are.
    QScrollArea *m_scrollArea = nullptr;
    QPoint m_dragPosition;
    bool m_isDragging = false;
    bool m_placed = false;

    // Settings panel
    QLabel *m_titleLabel = nullptr;
    CustomImageButton *m_autorunButton = nullptr;
    CustomImageButton *m_closeButton = nullptr;
    // One row per integer key, in the order accelUp, accelDown, rapidIntervalUp,
    // rapidIntervalDown, accelDurationStart, accelDurationEnd, scrollDistanceUp,
    // scrollDistanceDown.
    std::array<ParamRow, 8> m_rows;
    CustomRadioButton *m_normalRadio = nullptr;
    CustomRadioButton *m_reverseRadio = nullptr;
    QButtonGroup *m_directionGroup = nullptr;
    // How far a fast spin may go, 1 (off) to 10: the set's `fastSpinMax`, kept through every
    // save.
    ParamRow m_fastSpinRow;
    bool m_scrollDirectionNormal = true;
    QComboBox *m_appComboBox = nullptr;
    QListWidget *m_profileList = nullptr;
    QCheckBox *m_smoothCheckBox = nullptr;
    // The switch of the glide paced by the display, in a group of its own.
    QWidget *buildDisplayPacedGroup();
    QCheckBox *m_displayPacedCheckBox = nullptr;
    QString m_currentProfile = QString::fromLatin1(kDefaultProfileName);
    bool m_saveFailureReported = false;

    // The engine; destroying it stops the hook, the timer and the hidden window.
    SmoothScroller m_scroller;

    theme_watcher *m_themeWatcher = nullptr;

    // Tray icon and menu have no parent; the window releases them when it is destroyed.
    QMenu *m_trayMenu = nullptr;
    QAction *m_visitAction = nullptr;
    QAction *m_quitAction = nullptr;
    QSystemTrayIcon *m_trayIcon = nullptr;

    // Pause
    void showPauseState();
    QAction *m_pauseAction = nullptr;
    bool m_paused = false;
    bool m_resumeFailed = false;
    bool m_stopTimedOut = false; // the engine's thread did not answer the pause in time
};
