#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

class QWidget;

// A widget as the screen shows it at the running scale: one pixel per device pixel, with the
// widget's logical geometry mapped onto them.
class ScaledShot
{
public:
    explicit ScaledShot(QWidget *window);

    qreal scale() const { return m_scale; }
    const QImage &image() const { return m_image; }
    // A logical rectangle of the window in device pixels, shrunk to the pixels it wholly covers.
    QRect inner(const QRect &logical) const;
    QRgb at(int x, int y) const { return m_image.pixel(x, y); }
    int alpha(int x, int y) const { return qAlpha(m_image.pixel(x, y)); }

    // The device pixels of a window with rounded corners of the given logical radius that
    // break the shape: outside the rounding but not transparent, or inside it but not opaque
    // (a seam). Pixels within a pixel and a half of the curve are its antialiasing and count
    // for neither.
    int shapeFaults(qreal radius) const;

private:
    QImage m_image;
    qreal m_scale;
};

// The largest difference of one colour channel.
int colourDistance(QRgb a, QRgb b);
