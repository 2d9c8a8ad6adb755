#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace {

const QRect kLaptop(0, 0, 1920, 1032);         // 1920 x 1080 less a 48-pixel taskbar
const QRect kRightScreen(1920, 0, 2560, 1400); // a second screen to its right
const QSize kMinimum(340, 520);

TEST(WindowPlacement, KeepsAWhollyVisibleFrameAndBringsAnyOtherInsideTheCursorsScreen)
{
    const QVector<QRect> screens{kLaptop, kRightScreen};
    const QRect visible(2000, 100, 340, 520);
    const WindowPlacement kept = placeWindow(visible, kMinimum, screens, QPoint(10, 10));
    EXPECT_EQ(kept.geometry, visible);
    EXPECT_EQ(kept.minimumHeight, 520);

    // Never placed, partly under the taskbar, straddling two screens, or left on a screen that
    // is gone: each is centred on the screen that holds the cursor, at its own size (at first
    // the minimum size).
    for (const QRect &frame : {QRect(), QRect(100, 700, 340, 520), QRect(1800, 100, 340, 520), QRect(5000, 100, 340, 520)}) {
        const WindowPlacement moved = placeWindow(frame, kMinimum, screens, QPoint(2500, 300));
        EXPECT_EQ(moved.geometry, QRect(1920 + (2560 - 340) / 2, (1400 - 520) / 2, 340, 520)) << frame.x();
    }
    // With the cursor outside every work area (on a taskbar), the first screen takes it.
    EXPECT_TRUE(kLaptop.contains(placeWindow(QRect(-900, 0, 340, 520), kMinimum, screens, QPoint(50, 1060)).geometry));
}

TEST(WindowPlacement, AWorkAreaLowerThanTheWindowGivesItTheWholeHeight)
{
    // 200 % on a 1080-line screen: 960 x 492 logical pixels above the taskbar.
    const QRect low(0, 0, 960, 492);
    const WindowPlacement placed = placeWindow(QRect(0, 0, 340, 520), kMinimum, {low}, QPoint(5, 5));
    EXPECT_EQ(placed.geometry, QRect(310, 0, 340, 492));
    EXPECT_EQ(placed.minimumHeight, 492);

    // Back on a large screen the full minimum holds again, and a window left taller than its
    // new screen's work area shrinks to it.
    EXPECT_EQ(placeWindow(QRect(0, 0, 340, 492), kMinimum, {kLaptop}, QPoint(5, 5)).minimumHeight, 520);
    const WindowPlacement shrunk = placeWindow(QRect(0, 0, 480, 1200), kMinimum, {kLaptop}, QPoint(5, 5));
    EXPECT_EQ(shrunk.geometry.size(), QSize(480, 1032));
    EXPECT_TRUE(kLaptop.contains(shrunk.geometry));
}

} // namespace
