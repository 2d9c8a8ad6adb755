#include "tests/scale/scaled_shot.h"

#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <cmath>

ScaledShot::ScaledShot(QWidget *window)
    : m_image(window->grab().toImage().convertToFormat(QImage::Format_ARGB32))
    , m_scale(window->devicePixelRatioF())
{
}

QRect ScaledShot::inner(const QRect &logical) const
{
    const int left = int(std::ceil(logical.x() * m_scale));
    const int top = int(std::ceil(logical.y() * m_scale));
    const int right = int(std::floor((logical.x() + logical.width()) * m_scale));
    const int bottom = int(std::floor((logical.y() + logical.height()) * m_scale));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

int ScaledShot::shapeFaults(qreal radius) const
{
    // A window whose logical size does not map to whole device pixels ends in a partly covered
    // row or column, so its curve may sit half a pixel off the image's edge.
    const qreal kCurveBand = 1.5;
    const qreal r = radius * m_scale;
    const int width = m_image.width();
    const int height = m_image.height();
    int faults = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Distance of the pixel's centre beyond the rounding of its corner, if it is in one.
            const qreal cx = x + 0.5 < r ? r - (x + 0.5) : (x + 0.5 > width - r ? (x + 0.5) - (width - r) : 0.0);
            const qreal cy = y + 0.5 < r ? r - (y + 0.5) : (y + 0.5 > height - r ? (y + 0.5) - (height - r) : 0.0);
            const qreal beyond = std::hypot(cx, cy) - r;
            const int a = alpha(x, y);
            if ((beyond > kCurveBand && a != 0) || (beyond < -kCurveBand && a != 255))
                ++faults;
        }
    }
    return faults;
}

int colourDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}
