#include "app/event_hub.h"
#include "app/main_window.h"
#include "engine/wheel_units.h"
#include "main_window_test_access.h"
#include "panel_test_support.h"
#include "platform/sim_desktop.h"

#include "wait_for.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

namespace {

using Access = MainWindowTestAccess;

// Receives the URLs the window asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { SimDesktop::instance().reset(); }
};

} // namespace

TEST_F(MainWindowTest, ConstructionLeavesTheEngineRunningTheTrayShownAndTheWheelLinesTheUsers)
{
    SimDesktop::instance().setWheelScrollChars(4);
    MainWindow window;

    EXPECT_TRUE(SmoothScroller::s_isRunning);
    EXPECT_EQ(SimDesktop::instance().installedHookCount(), 1);
    EXPECT_EQ(publishedWheelUnits().lines, 3u);
    EXPECT_EQ(publishedWheelUnits().chars, 4u);
    EXPECT_EQ(SimDesktop::instance().systemParametersFlags(SPI_SETWHEELSCROLLLINES), 0u);

    EXPECT_EQ(int(window.windowFlags()), 0x801);
    EXPECT_TRUE(window.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(window.objectName(), QString("mainWindowInstance"));
    EXPECT_TRUE(window.windowTitle().isEmpty());

    EXPECT_EQ(window.workingConfig["autorunEnabled"], false);
    EXPECT_EQ(window.workingConfig["parameters"]["default"]["accelUp"], 10);
    EXPECT_EQ(window.workingConfig["parameters"]["default"]["scrollDistanceDown"], 4);

    QSystemTrayIcon *tray = Access::trayIcon(window);
    ASSERT_NE(tray, nullptr);
    EXPECT_TRUE(tray->isVisible());
    EXPECT_EQ(tray->toolTip(), QString("Sorvella"));
    EXPECT_EQ(tray->parent(), nullptr);

    QMenu *menu = Access::trayMenu(window);
    ASSERT_EQ(tray->contextMenu(), menu);
    EXPECT_EQ(menu->parent(), nullptr);
    const QList<QAction *> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QString("访问网站"));
    EXPECT_EQ(actions[0]->toolTip(), QString("访问网站"));
    EXPECT_EQ(actions[1]->text(), QString("暂停平滑滚动"));
    EXPECT_EQ(actions[2]->text(), QString("退出"));
    EXPECT_EQ(actions[2]->toolTip(), QString("退出程序"));
    EXPECT_EQ(int(menu->windowFlags()) & 0x40040800, 0x40040800);
    EXPECT_TRUE(menu->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_FALSE(menu->styleSheet().isEmpty());
}

TEST_F(MainWindowTest, TrayMenuIsRoundedGreyWithATealSelection)
{
    MainWindow window;
    QMenu *menu = Access::trayMenu(window);
    menu->ensurePolished();
    menu->adjustSize();
    menu->setActiveAction(menu->actions().front());
    QImage image(menu->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    menu->render(&image);

    const QRgb grey = qRgb(195, 196, 197);
    const int w = image.width();
    EXPECT_EQ(qAlpha(image.pixel(1, 1)), 0) << "corner inside the 13-pixel radius is painted";
    EXPECT_EQ(qAlpha(image.pixel(w - 2, image.height() - 2)), 0);
    EXPECT_EQ(image.pixel(w / 2, 2), grey);
    EXPECT_EQ(image.pixel(3, image.height() / 2), grey);
    // The selected entry, inside its 10-pixel side margins, below the 5-pixel padding and
    // its own 4-pixel margin; the other entry keeps the menu's grey.
    EXPECT_EQ(image.pixel(13, 5 + 4 + 3), qRgb(0, 130, 119));
    EXPECT_EQ(image.pixel(8, 5 + 4 + 3), grey);
    EXPECT_EQ(image.pixel(13, image.height() - 5 - 4 - 3), grey);
}

TEST_F(MainWindowTest, DestroyingTheWindowStopsTheEngine)
{
    {
        MainWindow window;
        ASSERT_EQ(SimDesktop::instance().installedHookCount(), 1);
    }
    EXPECT_FALSE(SmoothScroller::s_isRunning);
    EXPECT_EQ(SimDesktop::instance().installedHookCount(), 0);
}

TEST_F(MainWindowTest, PaintsARoundedDarkWindowWithTheTitleBarFillAndTransparentCorners)
{
    MainWindow window;
    window.resize(360, 540);

    QImage image(window.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    window.render(&image, QPoint(), QRegion(), QWidget::RenderFlags()); // the window's own painting only

    const QRgb title = qRgb(0x2b, 0x2b, 0x2b);
    const QRgb body = qRgb(0x22, 0x22, 0x22);
    EXPECT_EQ(image.pixel(180, 30), title);
    EXPECT_EQ(image.pixel(180, 59), title);
    EXPECT_EQ(image.pixel(180, 60), body);
    EXPECT_EQ(image.pixel(180, 300), body);
    EXPECT_EQ(image.pixel(0, 300), body);
    // Corners: outside the 12-pixel arc nothing is painted, just inside it is.
    for (const QPoint corner : {QPoint(0, 0), QPoint(2, 2), QPoint(357, 2), QPoint(2, 537), QPoint(359, 539)})
        EXPECT_EQ(qAlpha(image.pixel(corner)), 0) << corner.x() << "," << corner.y();
    EXPECT_EQ(image.pixel(6, 6), title);
    EXPECT_EQ(image.pixel(353, 6), title);
    EXPECT_EQ(image.pixel(6, 533), body);
    EXPECT_EQ(image.pixel(353, 533), body);
}

TEST_F(MainWindowTest, OnlyALeftPressOnTheTitleBarDragsTheWindow)
{
    MainWindow window;
    window.setGeometry(100, 100, 360, 540);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWindow *handle = window.windowHandle();
    const QPoint start = window.pos();

    // Below the title bar, and the right button on it: no drag.
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, QPoint(50, 200));
    QTest::mouseMove(handle, QPoint(120, 260));
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, QPoint(120, 260));
    EXPECT_EQ(window.pos(), start);
    QTest::mousePress(handle, Qt::RightButton, Qt::NoModifier, QPoint(50, 20));
    QTest::mouseMove(handle, QPoint(120, 40));
    QTest::mouseRelease(handle, Qt::RightButton, Qt::NoModifier, QPoint(120, 40));
    EXPECT_EQ(window.pos(), start);
    EXPECT_FALSE(Access::isDragging(window));

    // A left press on the title bar (its bottom edge included) drags, also once the cursor
    // has left the title bar, and the release ends it.
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, QPoint(50, 59));
    EXPECT_TRUE(Access::isDragging(window));
    QTest::mouseMove(handle, QPoint(150, 159)); // cursor 100 right and 100 down
    EXPECT_EQ(window.pos(), start + QPoint(100, 100));
    QTest::mouseMove(handle, QPoint(40, 49)); // window-relative again: 10 left, 10 up
    EXPECT_EQ(window.pos(), start + QPoint(90, 90));
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, QPoint(40, 49));
    EXPECT_FALSE(Access::isDragging(window));
    const QPoint dropped = window.pos();
    QTest::mouseMove(handle, QPoint(200, 300));
    EXPECT_EQ(window.pos(), dropped);
}

TEST_F(MainWindowTest, CloseHidesKeepsTheWindowAndTheEngine)
{
    auto *window = new MainWindow;
    QPointer<MainWindow> alive(window);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    removeConfig();
    EXPECT_FALSE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(readConfig(), QByteArray(kFreshConfigText)) << "a close request did not save";
    QCoreApplication::processEvents();
    ASSERT_FALSE(alive.isNull());
    EXPECT_TRUE(SmoothScroller::s_isRunning);
    EXPECT_EQ(SimDesktop::instance().installedHookCount(), 1);
    EXPECT_TRUE(Access::trayIcon(*window)->isVisible());
    delete window;
}

TEST_F(MainWindowTest, ShowRequestRestartsTheEngineAndBringsTheWindowBackActive)
{
    MainWindow window;
    window.showMinimized();
    Access::scroller(window).stop();
    ASSERT_FALSE(SmoothScroller::s_isRunning);

    EXPECT_FALSE(EventHub::publish(kShowMainWindowEvent, nullptr, 0));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowState(), Qt::WindowStates(Qt::WindowActive));
    EXPECT_TRUE(SmoothScroller::s_isRunning);
    EXPECT_EQ(SimDesktop::instance().installedHookCount(), 1);

    // Again while shown: still one engine, still shown.
    EventHub::publish(kShowMainWindowEvent, nullptr, 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(SimDesktop::instance().installedHookCount(), 1);
}

TEST_F(MainWindowTest, ShowRequestAfterAWindowWasDestroyedReachesOnlyTheLiveOne)
{
    { MainWindow gone; }
    MainWindow window;
    EventHub::publish(kShowMainWindowEvent, nullptr, 0);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowTest, TrayDoubleClickRestoresAndOtherActivationsDoNothing)
{
    MainWindow window;
    QSystemTrayIcon *tray = Access::trayIcon(window);

    emit tray->activated(QSystemTrayIcon::Trigger);
    emit tray->activated(QSystemTrayIcon::Context);
    emit tray->activated(QSystemTrayIcon::MiddleClick);
    EXPECT_FALSE(window.isVisible());

    window.showMinimized();
    emit tray->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
}

TEST_F(MainWindowTest, VisitEntryOpensTheProductPage)
{
    MainWindow window;
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "open");
    Access::visitAction(window)->trigger();
    QDesktopServices::unsetUrlHandler("https");

    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls.front(), QUrl(QString::fromLatin1(kProductPageUrl)));
    EXPECT_TRUE(catcher.urls.front().isValid());
    EXPECT_EQ(catcher.urls.front().scheme(), QString("https"));
    EXPECT_TRUE(window.isHidden());
}

TEST_F(MainWindowTest, QuitEntrySavesStopsTheEngineAndEndsTheProcessWithStatusZero)
{
    // The dying child runs this test again from the start: it finds the folder the parent
    // chose in its environment, so the parent can read what the child saved.
    static QTemporaryDir dir;
    if (qEnvironmentVariableIsEmpty("SORVELLA_QUIT_TEST_DIR"))
        qputenv("SORVELLA_QUIT_TEST_DIR", dir.path().toLocal8Bit());
    setConfigDirectory(qEnvironmentVariable("SORVELLA_QUIT_TEST_DIR"));
    QFile::remove(configFilePath());
    EXPECT_EXIT(
        {
            MainWindow window;
            Access::quitAction(window)->trigger();
        },
        ::testing::ExitedWithCode(0), "Mouse hook uninstalled.*Hidden window destroyed.*SmoothScroll stopped");
    EXPECT_EQ(readConfig(), QByteArray(kFreshConfigText));
}

#include "main_window_test.moc"
