// Writes a Windows .ico file: a directory of entries, then each image. Images below 256
// pixels are stored as 32-bit bitmaps with an AND mask, which every consumer of icon
// resources reads; the 256-pixel image as PNG, as the shell expects it and to keep it small.
#include "res/draw/image_painters.h"

#include <QBuffer>
#include <QDataStream>

namespace {

const int kDirectorySize = 6;
const int kEntrySize = 16;
const int kBitmapHeaderSize = 40;

QByteArray pngData(const QImage &image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

// A DIB as icon resources hold it: the header counts the colour rows and the mask rows
// together, colour rows run bottom-up in straight (not premultiplied) BGRA, and the mask
// marks fully transparent pixels, one bit each, rows padded to 32 bits.
QByteArray bitmapData(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    const int height = image.height();
    const int maskStride = ((width + 31) / 32) * 4;

    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(kBitmapHeaderSize) << qint32(width) << qint32(2 * height) << quint16(1) << quint16(32)
        << quint32(0) << quint32(width * height * 4 + maskStride * height) << qint32(0) << qint32(0)
        << quint32(0) << quint32(0);
    for (int y = height - 1; y >= 0; --y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            out << quint8(qBlue(row[x])) << quint8(qGreen(row[x])) << quint8(qRed(row[x])) << quint8(qAlpha(row[x]));
    }
    for (int y = height - 1; y >= 0; --y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        QByteArray mask(maskStride, '\0');
        for (int x = 0; x < width; ++x) {
            if (qAlpha(row[x]) == 0)
                mask[x / 8] = char(mask[x / 8] | (0x80 >> (x % 8)));
        }
        out.writeRawData(mask.constData(), mask.size());
    }
    return data;
}

} // namespace

QByteArray icoFileData(const QVector<QImage> &images)
{
    QVector<QByteArray> payloads;
    for (const QImage &image : images)
        payloads.append(image.width() >= 256 ? pngData(image) : bitmapData(image));

    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size());
    quint32 offset = kDirectorySize + kEntrySize * images.size();
    for (int i = 0; i < images.size(); ++i) {
        // A side of 256 is written as 0: the field is one byte.
        out << quint8(images[i].width() & 0xff) << quint8(images[i].height() & 0xff) << quint8(0) << quint8(0)
            << quint16(1) << quint16(32) << quint32(payloads[i].size()) << offset;
        offset += payloads[i].size();
    }
    for (const QByteArray &payload : payloads)
        out.writeRawData(payload.constData(), payload.size());
    return data;
}
