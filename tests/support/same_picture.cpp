#include "tests/support/same_picture.h"

namespace {

QImage premultiplied(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QString hex(QRgb pixel)
{
    return QStringLiteral("#%1").arg(pixel, 8, 16, QLatin1Char('0'));
}

} // namespace

::testing::AssertionResult samePicture(const QImage &actual, const QImage &expected)
{
    if (actual.isNull() || expected.isNull())
        return ::testing::AssertionFailure() << (actual.isNull() ? "the picture" : "the expected picture")
                                             << " is empty";
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << "sizes differ: " << actual.width() << "x" << actual.height()
                                             << " against " << expected.width() << "x" << expected.height();
    const QImage a = premultiplied(actual);
    const QImage b = premultiplied(expected);
    int differing = 0;
    QPoint first;
    QRgb firstActual = 0;
    QRgb firstExpected = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *rowA = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *rowB = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (rowA[x] != rowB[x] && differing++ == 0) {
                first = QPoint(x, y);
                firstActual = rowA[x];
                firstExpected = rowB[x];
            }
        }
    }
    if (differing == 0)
        return ::testing::AssertionSuccess() << "the pictures are the same";
    return ::testing::AssertionFailure()
        << differing << " pixels differ; the first at (" << first.x() << ", " << first.y() << "): "
        << hex(firstActual).toStdString() << " against " << hex(firstExpected).toStdString()
        << " (premultiplied)";
}
