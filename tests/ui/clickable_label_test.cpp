#include "ui/clickable_label.h"
#include "ui/style_sheets.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QWidget>

namespace {

TEST(ClickableLabelTest, ReportsALeftPressAtThePressOnly)
{
    ClickableLabel label(nullptr);
    label.setText(QStringLiteral("5 ms"));
    label.resize(62, 24);
    QSignalSpy clicked(&label, &ClickableLabel::clicked);

    QTest::mousePress(&label, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(&label, Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mousePress(&label, Qt::MiddleButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(&label, Qt::MiddleButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicked.count(), 0);

    QTest::mousePress(&label, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicked.count(), 1) << "emitted before any release";
    QTest::mouseRelease(&label, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
}

// The style sheets select the widgets by class name, so the class must carry its own.
TEST(ClickableLabelTest, WindowStyleSheetSelectsValueLabelsByClassName)
{
    QWidget window;
    window.setObjectName(QStringLiteral("mainWindowInstance"));
    auto *up = new ClickableLabel(&window);
    up->setObjectName(QStringLiteral("valueLabel"));
    auto *down = new ClickableLabel(&window);
    down->setObjectName(QStringLiteral("valueLabel2"));
    window.setStyleSheet(QString::fromUtf8(kMainWindowStyleSheet));
    up->ensurePolished();
    down->ensurePolished();
    EXPECT_EQ(up->palette().color(QPalette::WindowText), QColor("#299bed"));
    EXPECT_EQ(down->palette().color(QPalette::WindowText), QColor("#cf2f74"));
    EXPECT_EQ(up->font().pixelSize(), 16);
    EXPECT_TRUE(up->font().bold());
}

} // namespace
