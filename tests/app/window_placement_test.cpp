#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace {

const QRect kLaptop(0, 0, 1920, 1032);         // 1920 x 1080 less a 48-pixel taskbar
const QRect kRightScreen(1920, 0, 2560, 1400); // a second screen to its right

TEST(WindowPlacement, KeepsAWhollyVisibleFrameAndBringsAnyOtherInsideTheCursorsScreen)
{
    const QVector<QRect> screens{kLaptop, kRightScreen};
    const QRect visible(2000, 100, 340, 520);
    const WindowPlacement kept = placeWindow(visible, screens, QPoint(10, 10), 520);
    EXPECT_EQ(kept.geometry, visible);
    EXPECT_EQ(kept.minimumHeight, 520);

    // Partly under the taskbar, straddling two screens, or left on a screen that is gone:
    // each is centred on the screen that holds the cursor, at its own size.
    for (const QRect &frame : {QRect(100, 700, 340, 520), QRect(1800, 100, 340, 520), QRect(5000, 100, 340, 520)}) {
        const WindowPlacement moved = placeWindow(frame, screens, QPoint(2500, 300), 520);
        EXPECT_EQ(moved.geometry, QRect(1920 + (2560 - 340) / 2, (1400 - 520) / 2, 340, 520)) << frame.x();
        EXPECT_TRUE(kRightScreen.contains(moved.geometry));
    }
    // With the cursor outside every work area (on a taskbar), the first screen takes it.
    EXPECT_TRUE(kLaptop.contains(placeWindow(QRect(-900, 0, 340, 520), screens, QPoint(50, 1060), 520).geometry));
}

TEST(WindowPlacement, AWorkAreaLowerThanTheWindowGivesItTheWholeHeight)
{
    // 200 % on a 1080-line screen: 960 x 516 logical pixels above the taskbar.
    const QRect low(0, 0, 960, 516);
    const WindowPlacement placed = placeWindow(QRect(0, 0, 340, 520), {low}, QPoint(5, 5), 520);
    EXPECT_EQ(placed.geometry, QRect(310, 0, 340, 516));
    EXPECT_EQ(placed.minimumHeight, 516);
    EXPECT_TRUE(low.contains(placed.geometry));

    // Back on a large screen the full minimum holds again, and a window left taller than its
    // new screen's work area shrinks to it.
    EXPECT_EQ(placeWindow(QRect(0, 0, 340, 516), {kLaptop}, QPoint(5, 5), 520).minimumHeight, 520);
    const WindowPlacement shrunk = placeWindow(QRect(0, 0, 480, 1200), {kLaptop}, QPoint(5, 5), 520);
    EXPECT_EQ(shrunk.geometry.size(), QSize(480, 1032));
    EXPECT_TRUE(kLaptop.contains(shrunk.geometry));
}

} // namespace
