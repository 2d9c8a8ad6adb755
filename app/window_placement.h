#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QVector>

// Where the settings window goes when it is shown: wholly inside one screen's work area (the
// screen less the taskbar), never off-screen or under the taskbar, also after screens were
// removed or their scale changed, and as tall as its content where the work area allows.
// Plain data in, plain data out, so that every arrangement of screens can be tried without a
// display.
struct WindowPlacement
{
    QRect geometry;    // where the window goes, its size included
    int minimumHeight; // the window's minimum height there (lower only on a low work area)
};

// frame: the window's frame, or an empty rectangle before it was first placed; minimumSize:
// its own minimum size; contentSize: the size that shows all of its content; workAreas: each
// screen's work area; cursor: the cursor's position.
// The window takes the larger of its minimum and its content's size, no larger than its work
// area. A frame that lies wholly inside a work area stays where it is, grown or shrunk to that
// size within that work area. Otherwise the window is centred on the work area that holds the
// cursor (the first one when none does). A work area lower than the minimum height gives the
// window its whole height.
WindowPlacement placeWindow(const QRect &frame, const QSize &minimumSize, const QSize &contentSize,
                            const QVector<QRect> &workAreas, const QPoint &cursor);
