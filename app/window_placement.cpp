#include "app/window_placement.h"

#include <algorithm>

WindowPlacement placeWindow(const QRect &frame, const QSize &minimumSize, const QVector<QRect> &workAreas,
                            const QPoint &cursor)
{
    const QSize size = frame.isEmpty() ? minimumSize : frame.size();
    if (workAreas.isEmpty())
        return {QRect(frame.topLeft(), size), minimumSize.height()};

    for (const QRect &area : workAreas) {
        if (!frame.isEmpty() && area.contains(frame))
            return {frame, std::min(minimumSize.height(), area.height())};
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
