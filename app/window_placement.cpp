#include "app/window_placement.h"

#include <algorithm>

namespace {

// `rect` at most as large as `area` (never lower than `lowest`) and moved into it.
QRect fitted(QRect rect, const QRect &area, int lowest)
{
    rect.setSize(QSize(std::min(rect.width(), area.width()), std::clamp(rect.height(), lowest, area.height())));
    if (rect.right() > area.right())
        rect.moveRight(area.right());
    if (rect.bottom() > area.bottom())
        rect.moveBottom(area.bottom());
    if (rect.left() < area.left())
        rect.moveLeft(area.left());
    if (rect.top() < area.top())
        rect.moveTop(area.top());
    return rect;
}

} // namespace

WindowPlacement placeWindow(const QRect &frame, const QSize &minimumSize, const QSize &contentSize,
                            const QVector<QRect> &workAreas, const QPoint &cursor)
{
    // The user cannot resize the frameless window: a frame from before only tells where it was.
    const QSize size = minimumSize.expandedTo(contentSize);
    if (workAreas.isEmpty())
        return {QRect(frame.topLeft(), size), minimumSize.height()};

    for (const QRect &area : workAreas) {
        if (!frame.isEmpty() && area.contains(frame)) {
            const int lowest = std::min(minimumSize.height(), area.height());
            return {fitted(QRect(frame.topLeft(), size), area, lowest), lowest};
        }
    }

    const auto holdsCursor = std::find_if(workAreas.begin(), workAreas.end(),
                                          [&cursor](const QRect &area) { return area.contains(cursor); });
    const QRect area = holdsCursor != workAreas.end() ? *holdsCursor : workAreas.first();
    const int lowest = std::min(minimumSize.height(), area.height());
    QRect placed(QPoint(0, 0), QSize(std::min(size.width(), area.width()),
                                     std::clamp(size.height(), lowest, area.height())));
    placed.moveCenter(area.center());
    return {placed, lowest};
}
