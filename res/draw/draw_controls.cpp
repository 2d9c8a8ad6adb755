// The small images of the settings window: close button, autorun switch, smoothing check box,
// profile remove buttons and the combo box arrow. Each is drawn at the exact pixel size the
// widget shows it at, on a transparent background, with shapes aligned to the pixel grid.
#include "res/draw/image_painters.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kTextGrey(0xab, 0xb2, 0xbf);
const QColor kMutedGrey(0x8b, 0x92, 0x9e);
const QColor kTrackGrey(0x3a, 0x3f, 0x4b);
const QColor kBorderGrey(0x5c, 0x63, 0x70);
const QColor kFieldDark(0x21, 0x25, 0x2b);
const QColor kTeal(0x28, 0xa7, 0xac);
const QColor kMint(0x30, 0xc6, 0xb2);
const QColor kRose(0xcf, 0x2f, 0x74);
const QColor kRoseDeep(0xa8, 0x24, 0x5d);
const QColor kWhite(0xff, 0xff, 0xff);
const QColor kInk(0x1b, 0x1f, 0x24);

// An image of the given size in the widget's pixels, with scale times as many pixels per side
// for screens that draw at that scale.
QImage blank(int width, int height, int scale)
{
    QImage image(width * scale, height * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Every drawing below is in the widget's pixels, whatever the scale of its image.
void setUp(QPainter &painter, int scale)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
}

void drawCross(QPainter &painter, QPointF centre, qreal halfSpan, qreal width, const QColor &colour)
{
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre + QPointF(-halfSpan, -halfSpan), centre + QPointF(halfSpan, halfSpan));
    painter.drawLine(centre + QPointF(-halfSpan, halfSpan), centre + QPointF(halfSpan, -halfSpan));
}

// Close button of the title bars, 24 x 24: a light cross at rest, a rose disc under the cursor.
QImage closeImage(int state, int scale)
{
    QImage image = blank(24, 24, scale);
    QPainter painter(&image);
    setUp(painter, scale);
    const QPointF centre(12.0, 12.0);
    if (state == 0) {
        drawCross(painter, centre, 4.5, 1.8, kTextGrey);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(state == 1 ? kRose : kRoseDeep);
        painter.drawEllipse(centre, 11.0, 11.0);
        drawCross(painter, centre, 4.5, 1.8, state == 1 ? kWhite : QColor(0xf2, 0xd0, 0xdd));
    }
    return image;
}

// Autorun switch, 40 x 22: a pill track with a round knob, left and grey when off,
// right on teal when on.
QImage autorunImage(bool on, int scale)
{
    QImage image = blank(40, 22, scale);
    QPainter painter(&image);
    setUp(painter, scale);
    painter.setPen(Qt::NoPen);
    painter.setBrush(on ? kTeal : kTrackGrey);
    painter.drawRoundedRect(QRectF(1.0, 2.0, 38.0, 18.0), 9.0, 9.0);
    const QPointF knob(on ? 29.0 : 11.0, 11.0);
    painter.setBrush(QColor(0, 0, 0, 60));
    painter.drawEllipse(knob + QPointF(0.0, 0.6), 7.6, 7.6);
    painter.setBrush(on ? kWhite : kMutedGrey);
    painter.drawEllipse(knob, 7.0, 7.0);
    if (on) {
        // A small power glyph on the knob tells what the switch is for.
        QPen pen(kTeal, 1.4, Qt::SolidLine, Qt::RoundCap);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(knob.x() - 3.2, knob.y() - 2.8, 6.4, 6.4), 120 * 16, 300 * 16);
        painter.drawLine(knob + QPointF(0.0, -4.0), knob + QPointF(0.0, -0.6));
    } else {
        QPen pen(kTrackGrey, 1.4, Qt::SolidLine, Qt::RoundCap);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(knob.x() - 3.2, knob.y() - 2.8, 6.4, 6.4), 120 * 16, 300 * 16);
        painter.drawLine(knob + QPointF(0.0, -4.0), knob + QPointF(0.0, -0.6));
    }
    return image;
}

// Smoothing check box indicator, 24 x 24: an outlined rounded square, filled mint when checked.
QImage boxImage(bool checked, int scale)
{
    QImage image = blank(24, 24, scale);
    QPainter painter(&image);
    setUp(painter, scale);
    const QRectF box(3.0, 3.0, 18.0, 18.0);
    if (!checked) {
        painter.setPen(QPen(kBorderGrey, 2.0));
        painter.setBrush(kFieldDark);
        painter.drawRoundedRect(box.adjusted(1.0, 1.0, -1.0, -1.0), 3.5, 3.5);
        return image;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(kMint);
    painter.drawRoundedRect(box, 4.5, 4.5);
    QPainterPath tick;
    tick.moveTo(7.6, 12.4);
    tick.lineTo(10.6, 15.4);
    tick.lineTo(16.6, 8.8);
    painter.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
    return image;
}

// Remove button of a profile entry, 14 x 14: a small disc with a cross.
QImage removeImage(int state, int scale)
{
    QImage image = blank(14, 14, scale);
    QPainter painter(&image);
    setUp(painter, scale);
    const QPointF centre(7.0, 7.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(state == 0 ? kTrackGrey : state == 1 ? kRose : kRoseDeep);
    painter.drawEllipse(centre, 6.8, 6.8);
    drawCross(painter, centre, 2.4, 1.4, state == 0 ? kTextGrey : kWhite);
    return image;
}

// Arrow of the profile combo box, 12 x 8: a chevron in the combo box's text colour.
QImage downArrowImage(int scale)
{
    QImage image = blank(12, 8, scale);
    QPainter painter(&image);
    setUp(painter, scale);
    QPainterPath chevron;
    chevron.moveTo(2.0, 2.2);
    chevron.lineTo(6.0, 6.0);
    chevron.lineTo(10.0, 2.2);
    painter.setPen(QPen(kTextGrey, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(chevron);
    return image;
}

} // namespace

QVector<DrawnImage> drawControlImages(int scale)
{
    // Images for a scale above 1 carry the toolkit's "@2x" suffix.
    const QString suffix = scale == 1 ? QStringLiteral(".png") : QStringLiteral("@%1x.png").arg(scale);
    QVector<DrawnImage> images = {
        {QStringLiteral("close_normal"), closeImage(0, scale)},
        {QStringLiteral("close_hover"), closeImage(1, scale)},
        {QStringLiteral("close_pressed"), closeImage(2, scale)},
        {QStringLiteral("autorun_uncheck"), autorunImage(false, scale)},
        {QStringLiteral("autorun_check"), autorunImage(true, scale)},
        {QStringLiteral("box_uncheck"), boxImage(false, scale)},
        {QStringLiteral("box_check"), boxImage(true, scale)},
        {QStringLiteral("normal"), removeImage(0, scale)},
        {QStringLiteral("hover"), removeImage(1, scale)},
        {QStringLiteral("pressed"), removeImage(2, scale)},
        {QStringLiteral("down_arrow"), downArrowImage(scale)},
    };
    for (DrawnImage &drawn : images)
        drawn.fileName += suffix;
    return images;
}
