#include "app/main_window.h"
#include "app/theme_watcher.h"
#include "main_window_test_access.h"
#include "platform/registry.h"
#include "tests/support/same_picture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

const QString kValueName = QString::fromLatin1(kLightThemeValueName);

void setThemeValue(const QVariant &value)
{
    const auto key = openRegistryKey(QString::fromLatin1(kPersonalizeKey));
    if (value.isValid())
        key->setValue(kValueName, value);
    else
        key->remove(kValueName);
}

void pollOnce(theme_watcher *watcher)
{
    ASSERT_TRUE(QMetaObject::invokeMethod(watcher, "checkTheme", Qt::DirectConnection));
}

QImage imageOf(const QIcon &icon, int size)
{
    return icon.pixmap(size, size).toImage();
}

QImage resourceImage(const char *path)
{
    return QImage(QString::fromLatin1(path));
}

// Counts the window's icon changes.
class IconChangeCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::WindowIconChange)
            ++count;
        return false;
    }
};

class ThemeTest : public ::testing::Test {
protected:
    void TearDown() override { setThemeValue(QVariant()); }
};

} // namespace

TEST_F(ThemeTest, RegistryKeysAreIniFilesNamedAfterTheWindowsPathInsideTheRoot)
{
    const QString root = registryRoot();
    EXPECT_EQ(registryKeyFile(QString::fromLatin1(kPersonalizeKey)),
              root + "/HKEY_CURRENT_USER/Software/Microsoft/Windows/CurrentVersion/Themes/Personalize.ini");
    // A key path can never reach outside the root.
    const QString escaped = registryKeyFile("HKEY_CURRENT_USER\\..\\..\\etc\\\\passwd");
    EXPECT_EQ(escaped, root + "/HKEY_CURRENT_USER/etc/passwd.ini");

    {
        const auto key = openRegistryKey("HKEY_CURRENT_USER\\Software\\Sorvella\\Check");
        key->setValue("tidyforge_sorvella", "\"C:\\Program Files\\Sorvella.exe\" -startup");
    }
    EXPECT_TRUE(QFileInfo::exists(root + "/HKEY_CURRENT_USER/Software/Sorvella/Check.ini"));
    const auto again = openRegistryKey("HKEY_CURRENT_USER\\Software\\Sorvella\\Check");
    EXPECT_EQ(again->value("tidyforge_sorvella").toString(),
              QString("\"C:\\Program Files\\Sorvella.exe\" -startup"));
    again->remove("tidyforge_sorvella");
    EXPECT_FALSE(again->contains("tidyforge_sorvella"));
}

TEST_F(ThemeTest, LightExactlyWhenTheValueReadsAsOneOrIsMissing)
{
    struct Case {
        QVariant stored;
        bool light;
    };
    const Case cases[] = {
        {QVariant(), true},        {QVariant(1), true},       {QVariant(0), false},
        {QVariant(2), false},      {QVariant(-1), false},     {QVariant("dark"), false},
        {QVariant(""), false},     {QVariant("1"), true},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(isLightThemeValue(c.stored), c.light) << c.stored.toString().toStdString();
        setThemeValue(c.stored);
        EXPECT_EQ(readSystemUsesLightTheme(), c.light)
            << "through the registry: " << c.stored.toString().toStdString();
    }
}

TEST_F(ThemeTest, WatcherSignalsOnlyChangesAndPollsEverySecond)
{
    setThemeValue(0);
    theme_watcher watcher;
    EXPECT_FALSE(watcher.isLightTheme());
    const auto timers = watcher.findChildren<QTimer *>();
    ASSERT_EQ(timers.size(), 1);
    EXPECT_TRUE(timers.front()->isActive());
    EXPECT_EQ(timers.front()->interval(), 1000);
    EXPECT_FALSE(timers.front()->isSingleShot());

    QSignalSpy spy(&watcher, &theme_watcher::themeChanged);
    pollOnce(&watcher);
    setThemeValue("not a number"); // still dark
    pollOnce(&watcher);
    EXPECT_EQ(spy.count(), 0);

    setThemeValue(QVariant()); // missing: light
    pollOnce(&watcher);
    pollOnce(&watcher);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_TRUE(spy.at(0).at(0).toBool());
    EXPECT_TRUE(watcher.isLightTheme());

    // Left to its own timer, the watcher sees a switch within about a second.
    setThemeValue(2);
    EXPECT_TRUE(spy.wait(2500));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_FALSE(spy.at(1).at(0).toBool());
}

TEST_F(ThemeTest, WindowStartsWithTheIconsOfTheTheme)
{
    for (const bool light : {true, false}) {
        setThemeValue(light ? 1 : 0);
        MainWindow window;
        QSystemTrayIcon *tray = MainWindowTestAccess::trayIcon(window);
        EXPECT_TRUE(samePicture(imageOf(window.windowIcon(), 384),
                                resourceImage(light ? ":/res/bar_icon_dark.png" : ":/res/bar_icon_white.png")))
            << "light " << light;
        EXPECT_TRUE(samePicture(imageOf(tray->icon(), 48),
                                resourceImage(light ? ":/res/icon_dark.png" : ":/res/icon_white.png")))
            << "light " << light;
    }
}

TEST_F(ThemeTest, EachSwitchChangesBothIconsOnceAndAPollWithoutChangeNone)
{
    setThemeValue(1);
    MainWindow window;
    auto *watcher = window.findChild<theme_watcher *>();
    ASSERT_NE(watcher, nullptr);
    QSystemTrayIcon *tray = MainWindowTestAccess::trayIcon(window);
    IconChangeCounter windowIconChanges;
    window.installEventFilter(&windowIconChanges);
    qint64 trayIconKey = tray->icon().cacheKey();

    pollOnce(watcher);
    EXPECT_EQ(windowIconChanges.count, 0);
    EXPECT_EQ(tray->icon().cacheKey(), trayIconKey);

    setThemeValue(0);
    pollOnce(watcher);
    pollOnce(watcher);
    EXPECT_EQ(windowIconChanges.count, 1);
    EXPECT_NE(tray->icon().cacheKey(), trayIconKey);
    EXPECT_TRUE(samePicture(imageOf(window.windowIcon(), 384), resourceImage(":/res/bar_icon_white.png")));
    EXPECT_TRUE(samePicture(imageOf(tray->icon(), 48), resourceImage(":/res/icon_white.png")));
    trayIconKey = tray->icon().cacheKey();

    setThemeValue(1);
    pollOnce(watcher);
    EXPECT_EQ(windowIconChanges.count, 2);
    EXPECT_NE(tray->icon().cacheKey(), trayIconKey);
    EXPECT_TRUE(samePicture(imageOf(tray->icon(), 48), resourceImage(":/res/icon_dark.png")));
}
