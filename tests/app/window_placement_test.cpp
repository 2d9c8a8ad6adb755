#include "app/window_placement.h"

#include <gtest/gtest.h>

namespace {

const QRect kLaptop(0, 0, 1920, 1032);         // 1920 x 1080 less a 48-pixel taskbar
const QRect kRightScreen(1920, 0, 2560, 1400); // a second screen to its right
const QSize kMinimum(340, 520);
const QSize kContent(340, 610); // the panel's groups, all six, at 100 %

TEST(WindowPlacement, KeepsAWhollyVisibleFrameAndBringsAnyOtherInsideTheCursorsScreen)
{
    const QVector<QRect> screens{kLaptop, kRightScreen};
    const QRect visible(2000, 100, 340, 610);
    const WindowPlacement kept = placeWindow(visible, kMinimum, kContent, screens, QPoint(10, 10));
    EXPECT_EQ(kept.geometry, visible);
    EXPECT_EQ(kept.minimumHeight, 520);

    // Never placed, partly under the taskbar, straddling two screens, or left on a screen that
    // is gone: each is centred on the screen that holds the cursor, as tall as its content.
    for (const QRect &frame : {QRect(), QRect(100, 700, 340, 520), QRect(1800, 100, 340, 520), QRect(5000, 100, 340, 520)}) {
        const WindowPlacement moved = placeWindow(frame, kMinimum, kContent, screens, QPoint(2500, 300));
        EXPECT_EQ(moved.geometry, QRect(1920 + (2560 - 340) / 2, (1400 - 610) / 2, 340, 610)) << frame.x();
    }
    // With the cursor outside every work area (on a taskbar), the first screen takes it.
    EXPECT_TRUE(kLaptop.contains(placeWindow(QRect(-900, 0, 340, 520), kMinimum, kContent, screens, QPoint(50, 1060)).geometry));
}

TEST(WindowPlacement, AFrameLowerOrNarrowerThanItsContentGrowsToItWithinItsWorkArea)
{
    // A frame kept from an earlier show at the old minimum grows downwards where there is room,
    // upwards where the taskbar comes first; a content wider than the frame widens it.
    EXPECT_EQ(placeWindow(QRect(100, 100, 340, 700), kMinimum, kContent, {kLaptop}, QPoint()).geometry,
              QRect(100, 100, 340, 610));
    EXPECT_EQ(placeWindow(QRect(100, 100, 340, 520), kMinimum, kContent, {kLaptop}, QPoint()).geometry,
              QRect(100, 100, 340, 610));
    EXPECT_EQ(placeWindow(QRect(100, 500, 340, 520), kMinimum, kContent, {kLaptop}, QPoint()).geometry,
              QRect(100, 1032 - 610, 340, 610));
    EXPECT_EQ(placeWindow(QRect(1570, 100, 340, 610), kMinimum, QSize(356, 610), {kLaptop}, QPoint()).geometry,
              QRect(1920 - 356, 100, 356, 610));
}

TEST(WindowPlacement, AWorkAreaLowerThanTheContentGivesItTheWholeHeight)
{
    // 1280 x 800 at 150 %: 853 x 501 logical pixels above the taskbar, lower than the minimum.
    const QRect low(0, 0, 853, 501);
    const WindowPlacement placed = placeWindow(QRect(), kMinimum, kContent, {low}, QPoint(5, 5));
    EXPECT_EQ(placed.geometry.size(), QSize(340, 501));
    EXPECT_TRUE(low.contains(placed.geometry));
    EXPECT_EQ(placed.minimumHeight, 501);
    // Between the minimum and the content: the whole height, the minimum untouched.
    const WindowPlacement between = placeWindow(QRect(), kMinimum, kContent, {QRect(0, 0, 1024, 560)}, QPoint());
    EXPECT_EQ(between.geometry.height(), 560);
    EXPECT_EQ(between.minimumHeight, 520);

    // Back on a large screen the full minimum holds again, and a window left taller than its
    // new screen's work area shrinks to it.
    EXPECT_EQ(placeWindow(QRect(0, 0, 340, 501), kMinimum, kContent, {kLaptop}, QPoint(5, 5)).minimumHeight, 520);
    const WindowPlacement shrunk = placeWindow(QRect(0, 0, 340, 1200), kMinimum, QSize(340, 1300), {kLaptop}, QPoint(5, 5));
    EXPECT_EQ(shrunk.geometry.size(), QSize(340, 1032));
    EXPECT_TRUE(kLaptop.contains(shrunk.geometry));
}

} // namespace
