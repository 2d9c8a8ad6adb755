#include "tests/ui/ui_test_support.h"
#include "ui/custom_image_button.h"
#include "ui/settings_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>

#include <climits>

namespace {

const QString kCaption = QStringLiteral("单次滚动刷新「越小越好」");
const QString kMs = QStringLiteral("ms");

class SettingsDialogTest : public ::testing::Test
{
protected:
    static QSlider *slider(SettingsDialog &dialog) { return dialog.findChild<QSlider *>(); }

    static QLabel *display(SettingsDialog &dialog)
    {
        for (QLabel *label : dialog.findChildren<QLabel *>()) {
            if (label->objectName() != QLatin1String("titleLabel"))
                return label;
        }
        return nullptr;
    }

    static CustomImageButton *closeButton(SettingsDialog &dialog) { return dialog.findChild<CustomImageButton *>(); }

    // What the user does when letting go of the handle at `value`.
    static void releaseAt(SettingsDialog &dialog, int value)
    {
        QSlider *s = slider(dialog);
        s->setSliderDown(true);
        s->setValue(value);
        s->setSliderDown(false);
    }

    // Runs the dialog modally and has `action` done from inside its event loop.
    template <typename Action>
    static int execWith(SettingsDialog &dialog, Action action)
    {
        QTimer::singleShot(0, &dialog, action);
        // Should the action fail to end the dialog, end it as rejected rather than hang.
        QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(-1); });
        return dialog.exec();
    }
};

TEST_F(SettingsDialogTest, IsAFramelessEditorShowingCaptionAndValue)
{
    SettingsDialog dialog(kCaption, 5, 1, 1, 500, kMs);
    EXPECT_EQ(int(dialog.windowFlags()), 0x801);
    EXPECT_TRUE(dialog.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(dialog.objectName(), QStringLiteral("mainWindowInstance"));
    EXPECT_EQ(dialog.minimumWidth(), 350);
    EXPECT_EQ(dialog.windowTitle(), kCaption);

    auto *title = dialog.findChild<QLabel *>(QStringLiteral("titleLabel"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), kCaption);
    EXPECT_EQ(title->parentWidget()->objectName(), QStringLiteral("customTitleBar"));
    // The window's own title rules reach the dialog's title.
    title->ensurePolished();
    EXPECT_EQ(title->font().pixelSize(), 20);
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->palette().color(QPalette::WindowText), QColor("#ffffff"));
    ASSERT_NE(display(dialog), nullptr);
    EXPECT_EQ(display(dialog)->text(), QStringLiteral("5 ms"));

    QSlider *s = slider(dialog);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->orientation(), Qt::Horizontal);
    EXPECT_EQ(s->minimum(), 1);
    EXPECT_EQ(s->maximum(), 500);
    EXPECT_EQ(s->value(), 5);
    EXPECT_EQ(s->singleStep(), 1);
    ASSERT_NE(closeButton(dialog), nullptr);
    EXPECT_EQ(closeButton(dialog)->toolTip(), QStringLiteral("关闭"));
}

TEST_F(SettingsDialogTest, ReleasingTheHandleSnapsToTheNearestStep)
{
    SettingsDialog dialog(QStringLiteral("设置滚动加速开始时间"), 100, 5, 5, 1000, kMs);
    releaseAt(dialog, 103);
    EXPECT_EQ(slider(dialog)->value(), 105);
    EXPECT_EQ(dialog.m_value, 105);
    EXPECT_EQ(display(dialog)->text(), QStringLiteral("105 ms"));

    releaseAt(dialog, 102);
    EXPECT_EQ(dialog.m_value, 100);
    EXPECT_EQ(display(dialog)->text(), QStringLiteral("100 ms"));

    QSignalSpy changes(slider(dialog), &QSlider::valueChanged);
    releaseAt(dialog, 1000);
    EXPECT_EQ(dialog.m_value, 1000);
    EXPECT_EQ(changes.count(), 1) << "only the move to 1000, no second change from snapping";
}

TEST_F(SettingsDialogTest, SingleStepOfOneNeverMovesTheReleasedHandle)
{
    SettingsDialog dialog(kCaption, 5, 1, 1, 500, kMs);
    for (int value : {1, 2, 37, 499, 500}) {
        releaseAt(dialog, value);
        EXPECT_EQ(dialog.m_value, value);
    }
}

TEST(SnapToStepValueTest, RoundsHalvesUpAndStaysInRange)
{
    EXPECT_EQ(snapToStepValue(103, 5, 5, 1000), 105);
    EXPECT_EQ(snapToStepValue(102, 5, 5, 1000), 100);
    EXPECT_EQ(snapToStepValue(1000, 5, 5, 1000), 1000);
    EXPECT_EQ(snapToStepValue(5, 2, 0, 100), 6) << "2.5 steps round up";
    EXPECT_EQ(snapToStepValue(-5, 2, -100, 100), -4) << "halves go upwards, also below zero";
    EXPECT_EQ(snapToStepValue(7, 5, 5, 8), 5);
    EXPECT_EQ(snapToStepValue(8, 5, 1, 8), 8) << "the next multiple lies above the maximum";
    EXPECT_EQ(snapToStepValue(2, 5, 3, 100), 3) << "zero lies below the minimum";
}

TEST(SnapToStepValueTest, StepBelowOneTurnsSnappingOff)
{
    EXPECT_EQ(snapToStepValue(103, 0, 5, 1000), 103);
    EXPECT_EQ(snapToStepValue(103, -5, 5, 1000), 103);
}

TEST(SnapToStepValueTest, MultiplesBeyondTheIntegerRangeAreBoundedNotWrapped)
{
    EXPECT_EQ(snapToStepValue(INT_MAX - 2, 10, 0, INT_MAX), INT_MAX);
    EXPECT_EQ(snapToStepValue(INT_MIN + 2, 10, INT_MIN, 0), INT_MIN);
}

TEST_F(SettingsDialogTest, KeyboardMovesByTheSingleStepAndTheDisplayFollows)
{
    SettingsDialog dialog(QStringLiteral("设置滚动加速结束时间"), 100, 5, 5, 1000, kMs);
    QSlider *s = slider(dialog);
    QTest::keyClick(s, Qt::Key_Right);
    EXPECT_EQ(dialog.m_value, 105);
    EXPECT_EQ(display(dialog)->text(), QStringLiteral("105 ms"));
    QTest::keyClick(s, Qt::Key_Left);
    QTest::keyClick(s, Qt::Key_Left);
    EXPECT_EQ(dialog.m_value, 95);
    EXPECT_EQ(display(dialog)->text(), QStringLiteral("95 ms"));
    QTest::keyClick(s, Qt::Key_Home);
    EXPECT_EQ(display(dialog)->text(), QStringLiteral("5 ms"));
}

TEST_F(SettingsDialogTest, CloseButtonAcceptsTheUntouchedValue)
{
    SettingsDialog dialog(kCaption, 5, 1, 1, 500, kMs);
    const int result = execWith(dialog, [&dialog] { QTest::mouseClick(closeButton(dialog), Qt::LeftButton); });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(dialog.m_value, 5);
}

TEST_F(SettingsDialogTest, EscapeRejects)
{
    SettingsDialog dialog(kCaption, 5, 1, 1, 500, kMs);
    const int result = execWith(dialog, [&dialog] {
        QTest::keyClick(slider(dialog), Qt::Key_Right);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(result, 0);
}

TEST_F(SettingsDialogTest, SystemCloseRequestRejects)
{
    SettingsDialog dialog(kCaption, 5, 1, 1, 500, kMs);
    EXPECT_EQ(execWith(dialog, [&dialog] { dialog.close(); }), 0);
}

TEST_F(SettingsDialogTest, OutOfRangeValueIsShownAndKeptUntilTheSliderMoves)
{
    SettingsDialog dialog(kCaption, 600, 1, 1, 500, kMs);
    EXPECT_EQ(display(dialog)->text(), QStringLiteral("600 ms"));
    EXPECT_EQ(slider(dialog)->value(), 500);
    EXPECT_EQ(execWith(dialog, [&dialog] { QTest::mouseClick(closeButton(dialog), Qt::LeftButton); }), 1);
    EXPECT_EQ(dialog.m_value, 600);

    SettingsDialog moved(kCaption, 600, 1, 1, 500, kMs);
    QTest::keyClick(slider(moved), Qt::Key_Left);
    EXPECT_EQ(moved.m_value, 499);
    EXPECT_EQ(display(moved)->text(), QStringLiteral("499 ms"));
}

TEST_F(SettingsDialogTest, DraggingTheHandleEndsOnAStep)
{
    SettingsDialog dialog(QStringLiteral("设置滚动加速开始时间"), 100, 5, 5, 1000, kMs);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QSlider *s = slider(dialog);
    QStyleOptionSlider option;
    option.initFrom(s);
    option.orientation = Qt::Horizontal;
    option.minimum = s->minimum();
    option.maximum = s->maximum();
    option.sliderPosition = s->value();
    option.sliderValue = s->value();
    const QRect handle = s->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, s);
    ASSERT_FALSE(handle.isEmpty());

    QTest::mousePress(s, Qt::LeftButton, Qt::NoModifier, handle.center());
    QMouseEvent move(QEvent::MouseMove, QPointF(handle.center() + QPoint(37, 0)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(s, &move);
    const int dragged = s->value();
    QTest::mouseRelease(s, Qt::LeftButton, Qt::NoModifier, handle.center() + QPoint(37, 0));
    EXPECT_GT(dragged, 100);
    EXPECT_EQ(dialog.m_value % 5, 0) << "dragged to " << dragged;
    EXPECT_EQ(dialog.m_value, snapToStepValue(dragged, 5, 5, 1000));
}

TEST_F(SettingsDialogTest, PaintsRoundedCornersAndItsDarkBackground)
{
    SettingsDialog dialog(kCaption, 5, 1, 1, 500, kMs);
    dialog.resize(400, 180);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QImage image = renderWidget(&dialog);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(399, 179)), 0);
    EXPECT_EQ(qAlpha(image.pixel(3, 90)), 255) << "the straight edge is not cut";
    EXPECT_EQ(colourAt(image, 5, 175), QColor("#222222"));
}

} // namespace

TEST_F(SettingsDialogTest, PaintsARoundedDarkBodyUnderA60PixelTitleBar)
{
    SettingsDialog dialog(kCaption, 5, 1, 1, 500, kMs);
    dialog.resize(360, 200);
    const QImage image = renderWidget(&dialog);
    const QColor title("#2b2b2b");
    const QColor body("#222222");
    EXPECT_EQ(colourAt(image, 352, 4), title);
    EXPECT_EQ(colourAt(image, 180, 59), title);
    EXPECT_EQ(colourAt(image, 180, 60), body);
    EXPECT_EQ(colourAt(image, 180, 195), body);
    EXPECT_EQ(colourAt(image, 0, 100), body);
    // Outside the 12-pixel corner arcs nothing is painted; just inside them the body is.
    for (const QPoint corner : {QPoint(1, 1), QPoint(358, 1), QPoint(1, 198), QPoint(358, 198)})
        EXPECT_EQ(qAlpha(image.pixel(corner)), 0) << corner.x() << "," << corner.y();
    EXPECT_EQ(colourAt(image, 5, 194), body);
}
