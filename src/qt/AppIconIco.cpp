// SPDX-License-Identifier: MIT
#include "qt/AppIconIco.h"

#include "qt/AppIcon.h"

#include <QBuffer>
#include <QDataStream>

namespace {

constexpr int IconSizes[] = {16, 32};
constexpr quint32 BitmapHeaderSize = 40;
constexpr quint32 DirectoryHeaderSize = 6;
constexpr quint32 DirectoryEntrySize = 16;

// Rows of the mask are padded to 32 bits.
quint32 maskRowBytes(int size)
{
    return static_cast<quint32>(((size + 31) / 32) * 4);
}

quint32 imageBytes(int size)
{
    const auto side = static_cast<quint32>(size);
    return BitmapHeaderSize + side * side * 4 + maskRowBytes(size) * side;
}

// One icon image: a bitmap header of twice the height (the colour rows, then the mask rows), the
// colour rows bottom-up in BGRA, and the mask rows bottom-up with a set bit where the image is clear.
void writeImage(QDataStream& out, const QImage& image)
{
    const int size = image.width();
    out << BitmapHeaderSize << qint32(size) << qint32(size * 2) << quint16(1) << quint16(32) << quint32(0)
        << (imageBytes(size) - BitmapHeaderSize) << qint32(0) << qint32(0) << quint32(0) << quint32(0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = image.pixel(x, y);
            out << quint8(qBlue(pixel)) << quint8(qGreen(pixel)) << quint8(qRed(pixel)) << quint8(qAlpha(pixel));
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(static_cast<qsizetype>(maskRowBytes(size)), '\0');
        for (int x = 0; x < size; ++x) {
            if (qAlpha(image.pixel(x, y)) < 128) {
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
            }
        }
        out.writeRawData(row.constData(), static_cast<int>(row.size()));
    }
}

} // namespace

QImage AppIconImage(int size)
{
    // Straight (not premultiplied) alpha, as the icon file keeps it.
    return AppIcon().pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

QByteArray AppIconIco()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QDataStream out(&buffer);
    out.setByteOrder(QDataStream::LittleEndian);

    const auto count = static_cast<quint16>(std::size(IconSizes));
    out << quint16(0) << quint16(1) << count;
    quint32 offset = DirectoryHeaderSize + DirectoryEntrySize * count;
    for (int size : IconSizes) {
        out << quint8(size) << quint8(size) << quint8(0) << quint8(0) << quint16(1) << quint16(32) << imageBytes(size)
            << offset;
        offset += imageBytes(size);
    }
    for (int size : IconSizes) {
        writeImage(out, AppIconImage(size));
    }
    return bytes;
}
