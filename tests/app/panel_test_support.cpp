#include "panel_test_support.h"

#include "ui/settings_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

const char kFreshConfigText[] = R"({
    "autorunEnabled": false,
    "parameters": {
        "default": {
            "accelDown": 10,
            "accelDurationEnd": 100,
            "accelDurationStart": 100,
            "accelUp": 10,
            "rapidIntervalDown": 5,
            "rapidIntervalUp": 5,
            "scrollDirectionNormal": true,
            "scrollDistanceDown": 4,
            "scrollDistanceUp": 4,
            "smoothScrollEnabled": true
        }
    }
}
)";

void clickAndEditWith(QWidget *widget, const std::function<void(SettingsDialog &)> &act)
{
    EXPECT_TRUE(actInModal<SettingsDialog>([widget] { QTest::mouseClick(widget, Qt::LeftButton); }, act))
        << "no value editor opened";
}
