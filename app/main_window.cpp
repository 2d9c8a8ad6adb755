#include "app/main_window.h"

#include "app/event_hub.h"
#include "app/process_end.h"
#include "app/theme_watcher.h"
#include "app/window_placement.h"
#include "engine/engine_log.h"
#include "engine/wheel_lines.h"
#include "engine/wheel_units.h"
#include "ui/style_sheets.h"
#include "ui/window_painting.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QUrl>

#include <algorithm>

namespace {

const char kTrayMenuStyleSheet[] =
    "QMenu{margin:0px;background-color:rgb(195, 196, 197);padding:5px 0px;border-radius: 13px;}"
    "QMenu::item{background-color: transparent;color:rgb(40, 40, 40);padding:3px 20px;"
    "width:116px;height:32px;margin:4px 10px;font-family:Microsoft YaHei;font-size:16px;}"
    "QMenu::item:selected{margin:4px 10px;background-color:rgb(0, 130, 119);"
    "color:rgb(240, 240, 241);border-radius: 5px;}";

const char kTrayToolTip[] = "Sorvella";
const char kPausedToolTip[] = "Sorvella（已暂停）";
const char kResumeFailedToolTip[] = "Sorvella（已暂停，无法恢复平滑滚动）";
const char kStopTimedOutToolTip[] = "Sorvella（已暂停，平滑滚动未及时停止）";
const char kPauseText[] = "暂停平滑滚动";
const char kResumeText[] = "恢复平滑滚动";

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent)
{
    applyWheelScrollLines();

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setObjectName(QStringLiteral("mainWindowInstance"));

    buildSettingsPanel();
    setStyleSheet(QString::fromUtf8(kMainWindowStyleSheet));

    createTrayIcon();
    createThemeWatcher();

    m_scroller.start();

    // The hub keeps its entries for the life of the process; the guard keeps a window
    // destroyed before then from being called.
    QPointer<MainWindow> self(this);
    EventHub::subscribe(
        [self](std::int64_t, void *, std::int64_t) -> std::int32_t {
            if (self)
                self->onShowRequest();
            return 0;
        },
        kShowMainWindowEvent);
}

MainWindow::~MainWindow()
{
    // Without an owner the tray icon would stay in the notification area, its menu pointing
    // at a window that no longer exists.
    delete m_trayIcon;
    delete m_trayMenu;
    delete m_visitAction;
    delete m_pauseAction;
    delete m_quitAction;
}

void MainWindow::createTrayIcon()
{
    m_trayMenu = new QMenu;
    m_visitAction = new QAction(QStringLiteral("访问网站"));
    m_visitAction->setToolTip(QStringLiteral("访问网站"));
    m_trayMenu->addAction(m_visitAction);
    m_pauseAction = new QAction(QString::fromUtf8(kPauseText));
    m_pauseAction->setToolTip(QString::fromUtf8(kPauseText));
    m_trayMenu->addAction(m_pauseAction);
    connect(m_pauseAction, &QAction::triggered, this, &MainWindow::togglePause);
    m_quitAction = new QAction(QStringLiteral("退出"));
    m_quitAction->setToolTip(QStringLiteral("退出程序"));
    m_trayMenu->addAction(m_quitAction);
    connect(m_visitAction, &QAction::triggered, this, &MainWindow::openProductPage);
    connect(m_quitAction, &QAction::triggered, this, &MainWindow::quitApplication);

    m_trayIcon = new QSystemTrayIcon;
    m_trayIcon->setIcon(QIcon(QStringLiteral(":/res/icon_dark.png")));
    m_trayIcon->setToolTip(QString::fromUtf8(kTrayToolTip));
    m_trayMenu->setWindowFlags(m_trayMenu->windowFlags() | Qt::FramelessWindowHint
                               | Qt::WindowStaysOnTopHint | Qt::NoDropShadowWindowHint);
    m_trayMenu->setAttribute(Qt::WA_TranslucentBackground);
    m_trayMenu->setStyleSheet(QString::fromUtf8(kTrayMenuStyleSheet));
    m_trayIcon->setContextMenu(m_trayMenu);
    m_trayIcon->setVisible(true);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::onTrayActivated);
}

void MainWindow::createThemeWatcher()
{
    m_themeWatcher = new theme_watcher(this);
    applyThemeIcons(m_themeWatcher->isLightTheme());
    connect(m_themeWatcher, &theme_watcher::themeChanged, this, &MainWindow::applyThemeIcons);
}

void MainWindow::applyThemeIcons(bool isLightTheme)
{
    // The dark drawings serve the light theme, the white ones the dark theme.
    setWindowIcon(QIcon(isLightTheme ? QStringLiteral(":/res/bar_icon_dark.png")
                                     : QStringLiteral(":/res/bar_icon_white.png")));
    if (m_trayIcon) {
        m_trayIcon->setIcon(QIcon(isLightTheme ? QStringLiteral(":/res/icon_dark.png")
                                               : QStringLiteral(":/res/icon_white.png")));
    }
}

void MainWindow::placeOnScreen()
{
    QVector<QRect> workAreas;
    for (const QScreen *screen : QGuiApplication::screens())
        workAreas.append(screen->availableGeometry());
    placeWithin(workAreas, QCursor::pos());
}

void MainWindow::placeWithin(const QVector<QRect> &workAreas, const QPoint &cursor)
{
    // As wide as the content with room for the vertical bar, within the panel's limits; the
    // panel's own minimum height, which a low work area may have lowered before.
    const QSize content = contentSize();
    setMinimumWidth(std::clamp(content.width(), kWindowMinimumWidth, kWindowMaximumWidth));
    const QSize minimum(minimumWidth(), kWindowMinimumHeight);
    const WindowPlacement placement =
        placeWindow(m_placed ? frameGeometry() : QRect(), minimum, content, workAreas, cursor);
    setMinimumHeight(placement.minimumHeight);
    setGeometry(placement.geometry);
    m_placed = true;
}

void MainWindow::onShowRequest()
{
    // A launch while paused only shows the window: the user resumes from the tray.
    if (!m_paused)
        m_scroller.start();
    placeOnScreen();
    show();
    raise();
    setWindowState(Qt::WindowActive);
    activateWindow();
    repaint();
}

void MainWindow::onTrayActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::DoubleClick)
        return;
    placeOnScreen();
    showNormal();
    activateWindow();
    raise();
}

void MainWindow::openProductPage()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kProductPageUrl), QUrl::TolerantMode));
}

void MainWindow::quitApplication()
{
    saveConfig();
    // Hidden first: an icon whose process is gone stays in the notification area on
    // Windows until the pointer passes over it.
    m_trayIcon->hide();
    // The engine stops first: once the wheel lines are back, no notch may be swallowed. A
    // stuck engine is not waited for: the settings go back all the same, and the process ends.
    const bool stopped = m_scroller.stop();
    restoreWheelScrollLines();
    endProcess(processEndAfter(stopped, stopped && EngineLog::flush(kQuitLogLimit)));
}

void MainWindow::togglePause()
{
    if (!m_paused) {
        // As at quit: the engine first, so that no notch is swallowed once the wheel
        // settings are back.
        // A thread that does not answer ends the engine once it can; paused it stays.
        m_stopTimedOut = !m_scroller.stop();
        restoreWheelScrollLines();
        m_paused = true;
        m_resumeFailed = false;
    } else {
        applyWheelScrollLines();
        m_resumeFailed = !m_scroller.start(); // a failed start puts the settings back itself
        m_paused = m_resumeFailed;
        m_stopTimedOut = m_stopTimedOut && m_resumeFailed;
    }
    showPauseState();
}

void MainWindow::showPauseState()
{
    m_pauseAction->setText(QString::fromUtf8(m_paused ? kResumeText : kPauseText));
    m_pauseAction->setToolTip(m_pauseAction->text());
    const char *toolTip = kTrayToolTip;
    if (m_paused)
        toolTip = m_resumeFailed ? kResumeFailedToolTip : m_stopTimedOut ? kStopTimedOutToolTip : kPausedToolTip;
    m_trayIcon->setToolTip(QString::fromUtf8(toolTip));
}

bool MainWindow::nativeEvent(const QByteArray &eventType, void *message, long *result)
{
    // Every top-level window of the program receives the announcement; this one hands the
    // new values to the engine. Only while the engine runs: paused, they are read again on
    // resuming, and the announcement of our own restore (at a pause, a quit or a failed
    // start, sent to this window within the restoring call) must not set them again.
    if (eventType == "windows_generic_MSG") {
        const MSG *msg = static_cast<const MSG *>(message);
        // The engine's window is message-only and hears no broadcast: it learns of them here.
        SmoothScroller::systemChangeAnnounced(msg->message, msg->wParam);
        if (SmoothScroller::s_isRunning && isWheelSettingChange(msg->message, msg->wParam))
            applyWheelScrollLines();
    }
    return QWidget::nativeEvent(eventType, message, result);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    saveConfig();
    hide();
    event->ignore();
}

void MainWindow::paintEvent(QPaintEvent *)
{
    paintRoundedWindow(this, m_titleBar);
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_titleBar
        && m_titleBar->geometry().contains(event->pos())) {
        m_dragPosition = event->globalPos() - frameGeometry().topLeft();
        m_isDragging = true;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    if ((event->buttons() & Qt::LeftButton) && m_isDragging) {
        move(event->globalPos() - m_dragPosition);
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_isDragging) {
        m_isDragging = false;
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}
