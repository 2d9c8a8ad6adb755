// The program's icon: a mouse whose wheel is the accent colour, with the eased strokes of a
// smooth scroll beside the wheel. The same drawing serves the tray (48 x 48) and the window
// (384 x 384); the "dark" variants are dark drawings for a light desktop, the "white"
// variants white drawings for a dark one. The program file's icon is the dark drawing with a
// light rim, since Explorer, the Start menu and Task Manager may be light or dark.
#include "res/draw/image_painters.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kDarkInk(0x22, 0x22, 0x22);
const QColor kWhiteInk(0xf4, 0xf6, 0xf8);
const QColor kWheel(0x30, 0xc6, 0xb2);
const QColor kTrail(0x28, 0xa7, 0xac);

QPainterPath pill(qreal x, qreal top, qreal width, qreal height)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(x - width / 2.0, top, width, height), width / 2.0, width / 2.0);
    return path;
}

// rim: a light contour around the body, or Qt::transparent for none.
QImage iconImage(int size, const QColor &ink, const QColor &rim = Qt::transparent)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // All coordinates below are fractions of the icon's side.
    painter.scale(size, size);
    painter.setPen(Qt::NoPen);

    const qreal centreX = 0.40;
    const QRectF body(centreX - 0.25, 0.08, 0.50, 0.84);
    QPainterPath bodyPath;
    bodyPath.addRoundedRect(body, 0.25, 0.27);
    // Half of the stroke lies under the body: a one-pixel rim at small sizes, a thin band at 256.
    const qreal rimWidth = rim.alpha() == 0 ? 0.0 : qMax(2.0, size / 24.0) / size;
    if (rimWidth > 0.0)
        painter.strokePath(bodyPath, QPen(rim, rimWidth));
    painter.setBrush(ink);
    painter.drawPath(bodyPath);

    // Gaps between the two buttons and around the wheel, cut through the body.
    const qreal gap = size <= 64 ? 2.0 / size : 0.026;
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setBrush(Qt::black);
    const qreal overhang = 0.01 + rimWidth;
    painter.drawRect(QRectF(centreX - gap / 2.0, body.top() - overhang, gap, 0.14));
    painter.drawRect(QRectF(body.left() - overhang, 0.42 - gap / 2.0, body.width() + 2.0 * overhang, gap));
    painter.drawPath(pill(centreX, 0.17, 0.13 + 2.0 * gap, 0.20 + 2.0 * gap).translated(0.0, -gap));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);

    painter.setBrush(kWheel);
    painter.drawPath(pill(centreX, 0.17, 0.13, 0.20));

    // Eased strokes: long near the wheel and shortening, like the steps of one smooth notch.
    painter.setBrush(kTrail);
    const qreal trailX = body.right() + 0.07;
    const qreal lengths[] = {0.20, 0.14, 0.09};
    const qreal opacities[] = {1.0, 0.8, 0.6};
    const qreal thickness = size <= 64 ? 4.0 / size : 0.065;
    for (int i = 0; i < 3; ++i) {
        const qreal y = 0.16 + i * 0.115;
        painter.setOpacity(opacities[i]);
        painter.drawRoundedRect(QRectF(trailX, y, lengths[i], thickness), thickness / 2.0, thickness / 2.0);
    }
    return image;
}

} // namespace

QVector<DrawnImage> drawAppIcons()
{
    return {
        {QStringLiteral("icon_dark.png"), iconImage(48, kDarkInk)},
        {QStringLiteral("icon_white.png"), iconImage(48, kWhiteInk)},
        {QStringLiteral("bar_icon_dark.png"), iconImage(384, kDarkInk)},
        {QStringLiteral("bar_icon_white.png"), iconImage(384, kWhiteInk)},
    };
}

const QVector<int> &programFileIconSizes()
{
    static const QVector<int> sizes = {16, 20, 24, 32, 40, 48, 64, 256};
    return sizes;
}

QImage programFileIconImage(int size)
{
    return iconImage(size, kDarkInk, kWhiteInk);
}
