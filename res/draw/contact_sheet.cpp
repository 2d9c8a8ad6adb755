// A review sheet of the drawn images: each at its real size and enlarged without smoothing,
// on the program's dark backgrounds and on a light desktop colour.
#include "res/draw/image_painters.h"

#include <QPainter>

namespace {

const int kZoom = 4;
const int kPad = 12;
const QColor kBackgrounds[] = {QColor(0x22, 0x22, 0x22), QColor(0x2b, 0x2b, 0x2b), QColor(0xf0, 0xf0, 0xf0)};

int shownSide(const QImage &image)
{
    // The large window icons are shown halved; everything else is enlarged.
    return image.width() > 64 ? image.width() / 2 : image.width() * kZoom;
}

} // namespace

QImage contactSheet(const QVector<DrawnImage> &images)
{
    int width = kPad;
    int tallest = 0;
    for (const DrawnImage &drawn : images) {
        const bool large = drawn.image.width() > 64;
        width += (large ? 0 : drawn.image.width() + kPad) + shownSide(drawn.image) + kPad;
        const int shownHeight = drawn.image.width() > 64 ? drawn.image.height() / 2 : drawn.image.height() * kZoom;
        tallest = qMax(tallest, shownHeight);
    }
    const int band = tallest + 2 * kPad;
    QImage sheet(width, band * 3, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&sheet);
    for (int row = 0; row < 3; ++row) {
        painter.fillRect(0, row * band, width, band, kBackgrounds[row]);
        int x = kPad;
        for (const DrawnImage &drawn : images) {
            const QImage &image = drawn.image;
            const bool large = image.width() > 64;
            if (!large) {
                painter.drawImage(x, row * band + kPad, image);
                x += image.width() + kPad;
            }
            const QSize shown = large ? image.size() / 2 : image.size() * kZoom;
            painter.setRenderHint(QPainter::SmoothPixmapTransform, large);
            painter.drawImage(QRect(QPoint(x, row * band + kPad), shown), image);
            x += shown.width() + kPad;
        }
    }
    return sheet;
}
