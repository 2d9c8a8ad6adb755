#include "app/window_placement.h"

#include <algorithm>

WindowPlacement placeWindow(const QRect &frame, const QVector<QRect> &workAreas, const QPoint &cursor,
                            int minimumHeight)
{
    if (workAreas.isEmpty())
        return {frame, minimumHeight};

    for (const QRect &area : workAreas) {
        if (area.contains(frame))
            return {frame, std::min(minimumHeight, area.height())};
    }

    const auto holdsCursor = std::find_if(workAreas.begin(), workAreas.end(),
                                          [&cursor](const QRect &area) { return area.contains(cursor); });
    const QRect area = holdsCursor != workAreas.end() ? *holdsCursor : workAreas.first();
    const int lowest = std::min(minimumHeight, area.height());
    QRect placed(QPoint(0, 0), QSize(std::min(frame.width(), area.width()),
                                     std::clamp(frame.height(), lowest, area.height())));
    placed.moveCenter(area.center());
    return {placed, lowest};
}
