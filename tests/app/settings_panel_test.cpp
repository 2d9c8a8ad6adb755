// The settings panel and the store through the real window: what it shows, what each control
// saves, and what config.json holds afterwards.
#include "app/main_window.h"
#include "engine/wheel_units.h"
#include "config/autorun.h"
#include "config/config_document.h"
#include "main_window_test_access.h"
#include "panel_test_support.h"
#include "platform/registry.h"
#include "platform/sim_desktop.h"
#include "platform/win32.h"
#include "ui/clickable_label.h"
#include "ui/custom_image_button.h"
#include "ui/custom_radio_button.h"
#include "ui/glide_chart.h"
#include "ui/settings_dialog.h"

#include "wait_for.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QSlider>
#include <QTest>

namespace {

using Access = MainWindowTestAccess;
using nlohmann::json;

json savedDocument()
{
    return json::parse(readConfig().toStdString());
}

QString runValue(const char *key)
{
    return openRegistryKey(QString::fromLatin1(key))->value(kAutorunValueName).toString();
}

class SettingsPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimDesktop::instance().reset();
        removeConfig();
        openRegistryKey(QString::fromLatin1(kRunKey))->remove(kAutorunValueName);
        openRegistryKey(QString::fromLatin1(kRunKeyWow64))->remove(kAutorunValueName);
    }
};

} // namespace

TEST_F(SettingsPanelTest, FreshPanelShowsTheDefaultProfileWithoutSaving)
{
    MainWindow window;
    auto &rows = Access::rows(window);

    EXPECT_EQ(window.findChild<QLabel *>("titleLabel")->text(), QString("SorvellaV1.2"));
    EXPECT_EQ(titleBar(window)->height(), 60);
    EXPECT_EQ(autorunButton(window)->toolTip(), QString("开机启动"));
    QStringList groups;
    for (QLabel *title : window.findChildren<QLabel *>("groupTitleLabel"))
        groups << title->text();
    EXPECT_EQ(groups, QStringList({"鼠标滚动作用程序配置", "鼠标单次滚动触发间隔", "鼠标单次滚动距离占比",
                                   "鼠标单次滚动总距离", "鼠标滚动方向", "滚动节奏"}));

    // Rows in key order; the two duration rows have no place in the panel.
    const char *const texts[8] = {"10 倍", "10 倍", "5 ms", "5 ms", nullptr, nullptr, "4 %", "4 %"};
    for (int i = 0; i < 8; ++i) {
        if (!texts[i]) {
            EXPECT_EQ(rows[i].valueLabel, nullptr);
            continue;
        }
        ASSERT_NE(rows[i].valueLabel, nullptr) << i;
        EXPECT_EQ(rows[i].valueLabel->text(), QString(texts[i])) << i;
        EXPECT_EQ(rows[i].valueLabel->objectName(), QString(i % 2 ? "valueLabel2" : "valueLabel")) << i;
        EXPECT_EQ(rows[i].nameLabel->text(), QString(i % 2 ? "下滑" : "上滑")) << i;
    }
    EXPECT_EQ(rows[4].value, 100);
    EXPECT_TRUE(normalRadio(window)->isChecked());
    EXPECT_TRUE(smoothCheckBox(window)->isChecked());
    EXPECT_FALSE(autorunButton(window)->isChecked());
    EXPECT_EQ(appComboBox(window)->currentText(), QString("默认"));

    EXPECT_EQ(window.minimumWidth(), 340);
    EXPECT_EQ(window.maximumWidth(), 480);
    EXPECT_EQ(window.minimumHeight(), 520);
    EXPECT_EQ(sharedConfig(), window.workingConfig);
    EXPECT_FALSE(QFile::exists(configFilePath())) << "showing a profile saved the file";
}

TEST_F(SettingsPanelTest, EachValueLabelOpensItsEditorAndAnAcceptedValueIsSaved)
{
    struct Case {
        int row;
        const char *key;
        const char *caption;
        int minimum, maximum;
        const char *unit;
        int newValue;
    };
    const Case cases[] = {
        {0, "accelUp", "总距离「越大滚动越远」", 1, 20, "倍", 12},
        {1, "accelDown", "总距离「越大滚动越远」", 1, 20, "倍", 3},
        {2, "rapidIntervalUp", "单次滚动刷新「越小越好」", 1, 500, "ms", 250},
        {3, "rapidIntervalDown", "单次滚动刷新「越小越好」", 1, 500, "ms", 1},
        {6, "scrollDistanceUp", "单次滚动距离「越小越丝滑」", 1, 100, "%", 100},
        {7, "scrollDistanceDown", "单次滚动距离「越小越丝滑」", 1, 100, "%", 9},
    };
    MainWindow window;
    auto &rows = Access::rows(window);
    for (const Case &c : cases) {
        const int before = rows[c.row].value;
        clickAndEditWith(rows[c.row].valueLabel, [&](SettingsDialog &dialog) {
            QSlider *slider = dialog.findChild<QSlider *>();
            EXPECT_EQ(dialog.windowTitle(), QString(c.caption));
            EXPECT_EQ(slider->minimum(), c.minimum);
            EXPECT_EQ(slider->maximum(), c.maximum);
            EXPECT_EQ(slider->singleStep(), 1);
            EXPECT_EQ(slider->value(), before);
            EXPECT_EQ(dialog.m_value, before);
            slider->setValue(c.newValue);
            dialog.accept();
        });
        EXPECT_EQ(rows[c.row].value, c.newValue) << c.key;
        EXPECT_EQ(rows[c.row].valueLabel->text(), QString("%1 %2").arg(c.newValue).arg(c.unit));
        const json saved = savedDocument();
        EXPECT_EQ(saved["parameters"]["default"][c.key], c.newValue);
        EXPECT_EQ(saved["parameters"]["default"].size(), 10u);
        EXPECT_EQ(sharedConfig()["parameters"]["default"][c.key], c.newValue) << "not published";
    }

    // Escape: nothing changes and nothing is written.
    removeConfig();
    clickAndEditWith(rows[0].valueLabel, [](SettingsDialog &dialog) {
        dialog.findChild<QSlider *>()->setValue(20);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(rows[0].value, 12);
    EXPECT_EQ(rows[0].valueLabel->text(), QString("12 倍"));
    EXPECT_FALSE(QFile::exists(configFilePath()));
}

TEST_F(SettingsPanelTest, TheEditorsOfTheGlideShowItsCurveForTheSavedValueAndTheSliders)
{
    MainWindow window;
    auto &rows = Access::rows(window);
    // The interval up: 67 steps of the defaults take 66 intervals.
    clickAndEditWith(rows[2].valueLabel, [](SettingsDialog &dialog) {
        auto *chart = dialog.findChild<GlideChart *>();
        ASSERT_NE(chart, nullptr);
        EXPECT_DOUBLE_EQ(chart->saved().lengthMs, 330.0);
        dialog.findChild<QSlider *>()->setValue(10);
        EXPECT_DOUBLE_EQ(chart->shown().lengthMs, 660.0);
        EXPECT_DOUBLE_EQ(chart->saved().lengthMs, 330.0);
        EXPECT_DOUBLE_EQ(chart->shown().lines, 10.0);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    // The share down at 25 %: 11 steps, 50 ms.
    clickAndEditWith(rows[7].valueLabel, [](SettingsDialog &dialog) {
        dialog.findChild<QSlider *>()->setValue(25);
        EXPECT_DOUBLE_EQ(dialog.findChild<GlideChart *>()->shown().lengthMs, 50.0);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    // Paced by the display: the window's screen's rate gives the frames.
    window.findChild<QCheckBox *>(QStringLiteral("displayPacedCheckBox"))->setChecked(true);
    clickAndEditWith(rows[0].valueLabel, [](SettingsDialog &dialog) {
        const GlideCurve &paced = dialog.findChild<GlideChart *>()->saved();
        const double frame = 1000.0 / dialog.screen()->refreshRate();
        EXPECT_DOUBLE_EQ(paced.lines, 10.0);
        EXPECT_GE(paced.lengthMs, 330.0 - 2 * frame);
        EXPECT_LT(paced.lengthMs, 330.0);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
}

TEST_F(SettingsPanelTest, DirectionSmoothingAndAutorunEachSave)
{
    MainWindow window;
    const QString command = autorunCommandText(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));

    QTest::mouseClick(reverseRadio(window), Qt::LeftButton);
    EXPECT_EQ(savedDocument()["parameters"]["default"]["scrollDirectionNormal"], false);
    removeConfig();
    QTest::mouseClick(reverseRadio(window), Qt::LeftButton); // already checked: saves all the same
    EXPECT_EQ(savedDocument()["parameters"]["default"]["scrollDirectionNormal"], false);

    // The switch reads the wheel settings again and leaves a value with a unit as it is; a
    // page per notch becomes 1 for the session.
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, 5, nullptr, 0);
    smoothCheckBox(window)->click();
    EXPECT_EQ(savedDocument()["parameters"]["default"]["smoothScrollEnabled"], false);
    EXPECT_EQ(publishedWheelUnits().lines, 5u);
    EXPECT_EQ(SimDesktop::instance().wheelScrollLines(), 5u);
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, 0);
    smoothCheckBox(window)->click();
    EXPECT_TRUE(waitFor([] { return SimDesktop::instance().wheelScrollLines() == 1; }))
        << "switching smoothing on did not set a page per notch to 1";

    QTest::mouseClick(autorunButton(window), Qt::LeftButton);
    EXPECT_EQ(savedDocument()["autorunEnabled"], true);
    EXPECT_EQ(runValue(kRunKey), command);
    EXPECT_EQ(runValue(kRunKeyWow64), command);
    QTest::mouseClick(autorunButton(window), Qt::LeftButton);
    EXPECT_EQ(savedDocument()["autorunEnabled"], false);
    EXPECT_TRUE(runValue(kRunKey).isEmpty());
    EXPECT_TRUE(runValue(kRunKeyWow64).isEmpty());
}

TEST_F(SettingsPanelTest, ClosingWritesTheExactLayoutAndTheOlderLayoutIsMigrated)
{
    {
        MainWindow window;
        window.show();
        QTest::mouseClick(closeButton(window), Qt::LeftButton);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(readConfig(), QByteArray(kFreshConfigText));
    }

    // The layout before profiles: `parameters` held one set. Trailing text is ignored.
    writeConfig(R"({"parameters": {"accelUp": 7, "extra": 1}, "other": 2} trailing)");
    MainWindow window;
    EXPECT_EQ(Access::rows(window)[0].valueLabel->text(), QString("7 倍"));
    EXPECT_EQ(Access::rows(window)[1].value, 10);
    EXPECT_FALSE(window.close()); // a system close request saves and hides too
    QByteArray expected(kFreshConfigText);
    expected.replace("\"accelUp\": 10", "\"accelUp\": 7");
    EXPECT_EQ(readConfig(), expected);
}

// What a profile shows for each stored value is the store's (profile_store_test.cpp); here the
// values reach their rows and widgets, and a save takes the rows back.
TEST_F(SettingsPanelTest, AProfileReachesEachRowAndWidgetAndASaveTakesTheRowsBack)
{
    writeConfig(R"({"autorunEnabled": true, "parameters": {"app.exe": {"accelDown": 3, "rapidIntervalDown": 9,
        "accelDurationEnd": 7, "scrollDistanceDown": 11, "scrollDirectionNormal": false,
        "smoothScrollEnabled": false, "older": 1}}})");
    MainWindow window;
    QComboBox *combo = appComboBox(window);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(1), QString("app.exe"));
    EXPECT_TRUE(autorunButton(window)->isChecked());
    EXPECT_EQ(Access::rows(window)[0].value, 10) << "default was added with the defaults";

    window.showProfile("app.exe");
    const int expected[8] = {10, 3, 5, 9, 200, 7, 4, 11};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Access::rows(window)[i].value, expected[i]) << i;
    EXPECT_TRUE(reverseRadio(window)->isChecked());
    EXPECT_FALSE(smoothCheckBox(window)->isChecked());

    combo->setCurrentIndex(1);
    window.saveConfig();
    const json saved = savedDocument()["parameters"]["app.exe"];
    EXPECT_EQ(saved, json::parse(R"({"accelUp": 10, "accelDown": 3, "rapidIntervalUp": 5, "rapidIntervalDown": 9,
        "accelDurationStart": 200, "accelDurationEnd": 7, "scrollDistanceUp": 4, "scrollDistanceDown": 11,
        "scrollDirectionNormal": false, "smoothScrollEnabled": false})"));
    EXPECT_EQ(savedDocument()["autorunEnabled"], true);
}

TEST_F(SettingsPanelTest, UnreadableFilesStartWithTheDefaultsAndAreReplacedAtTheFirstSave)
{
    const QByteArray deep = QByteArray("{\"parameters\": {\"default\": ") + QByteArray(100000, '[')
                            + QByteArray(100000, ']') + "}}";
    for (const QByteArray &bytes : {QByteArray("// comment\n{}"), QByteArray(), QByteArray("\xff\xfe{"),
                                    QByteArray("[1, 2]"), QByteArray("{\"parameters\": \"\xc3\x28\"}"), deep}) {
        writeConfig(bytes);
        MainWindow window;
        EXPECT_EQ(window.workingConfig, initialConfig()) << bytes.left(20).toStdString();
        window.saveConfig();
        EXPECT_EQ(readConfig(), QByteArray(kFreshConfigText));
    }
}

TEST_F(SettingsPanelTest, AFailedSaveKeepsTheChangeAndIsReportedOnce)
{
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtWarningMsg && text.startsWith("[Config]"))
            warnings << text;
    });
    QDir().mkpath(configFilePath()); // a folder where the file should be
    MainWindow window;
    Access::rows(window)[0].value = 15;
    EXPECT_FALSE(window.saveConfig());
    EXPECT_FALSE(window.saveConfig());
    qInstallMessageHandler(previous);
    EXPECT_EQ(window.workingConfig["parameters"]["default"]["accelUp"], 15);
    EXPECT_EQ(sharedConfig()["parameters"]["default"]["accelUp"], 15);
    ASSERT_EQ(warnings.size(), 1) << warnings.join('\n').toStdString();
    EXPECT_TRUE(warnings.front().contains(QDir::toNativeSeparators(configFilePath())));

    QDir().rmdir(configFilePath());
    EXPECT_TRUE(window.saveConfig()) << "the next save tries again";
    EXPECT_EQ(savedDocument()["parameters"]["default"]["accelUp"], 15);
}

// The glide paced by the display: a top-level member written only while it is on, so that a
// file switched on and off again is byte for byte what it was; anything but true is off.
TEST_F(SettingsPanelTest, TheDisplayPacedSwitchIsStoredOnlyWhileOn)
{
    const QByteArray text = R"({"displayPaced": "yes", "parameters": {}})";
    writeConfig(text);
    MainWindow window;
    QCheckBox *paced = window.findChild<QCheckBox *>("displayPacedCheckBox");
    ASSERT_NE(paced, nullptr);
    EXPECT_EQ(paced->text(), QString("跟随屏幕刷新"));
    EXPECT_FALSE(paced->toolTip().isEmpty());
    EXPECT_FALSE(paced->isChecked());
    EXPECT_FALSE(sharedConfig().document().contains("displayPaced"));
    EXPECT_EQ(readConfig(), text) << "showing the switch saved the file";

    paced->click();
    EXPECT_EQ(savedDocument()["displayPaced"], true);
    EXPECT_EQ(sharedConfig().document()["displayPaced"], true);
    QByteArray on(kFreshConfigText);
    on.replace("\"autorunEnabled\": false,\n", "\"autorunEnabled\": false,\n    \"displayPaced\": true,\n");
    EXPECT_EQ(readConfig(), on);
    paced->click();
    EXPECT_EQ(readConfig(), QByteArray(kFreshConfigText));

    // Shown again with its signals blocked: no save.
    writeConfig(R"({"displayPaced": true, "parameters": {}})");
    MainWindow second;
    EXPECT_TRUE(second.findChild<QCheckBox *>("displayPacedCheckBox")->isChecked());
    EXPECT_EQ(readConfig(), QByteArray(R"({"displayPaced": true, "parameters": {}})"));
}

TEST_F(SettingsPanelTest, TheFastSpinRowShowsOffOrItsMaximumAndOffErasesTheMember)
{
    writeConfig(R"({"parameters": {"default": {"fastSpinMax": 3}}})");
    MainWindow window;
    ParamRow &row = Access::fastSpinRow(window);
    EXPECT_EQ(row.valueLabel->text(), QString("最高 3 倍"));
    const auto edit = [&](int value, const char *shown) {
        clickAndEditWith(row.valueLabel, [&](SettingsDialog &dialog) {
            QSlider *slider = dialog.findChild<QSlider *>();
            EXPECT_EQ(slider->minimum(), 1);
            EXPECT_EQ(slider->maximum(), 10);
            slider->setValue(value);
            bool found = false;
            for (QLabel *label : dialog.findChildren<QLabel *>())
                found = found || label->text() == QString(shown);
            EXPECT_TRUE(found) << shown;
            dialog.accept();
        });
        EXPECT_EQ(row.valueLabel->text(), QString(shown));
    };
    edit(1, "关");
    EXPECT_FALSE(savedDocument()["parameters"]["default"].contains("fastSpinMax"));
    EXPECT_EQ(savedDocument()["parameters"]["default"].size(), 10u);
    edit(10, "最高 10 倍");
    EXPECT_EQ(savedDocument()["parameters"]["default"]["fastSpinMax"], 10);
    EXPECT_EQ(sharedConfig()["parameters"]["default"]["fastSpinMax"], 10) << "not published";
}
