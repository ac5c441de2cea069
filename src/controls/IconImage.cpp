#include "controls/IconImage.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>
#include <optional>

namespace {

constexpr int kMaxSide = 256;
constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

quint16 u16(QByteArrayView d, qsizetype at)
{
    return qFromLittleEndian<quint16>(d.data() + at);
}

quint32 u32(QByteArrayView d, qsizetype at)
{
    return qFromLittleEndian<quint32>(d.data() + at);
}

qsizetype strideOf(int width, int bpp)
{
    return ((qsizetype(width) * bpp + 31) / 32) * 4;
}

// Where the parts of a DIB lie; every offset has been checked against the data.
struct DibLayout
{
    int width = 0;
    int height = 0;
    int bpp = 0;
    qsizetype paletteAt = 0;
    qsizetype paletteCount = 0;
    qsizetype paletteEntrySize = 4;
    qsizetype xorAt = 0;
    qsizetype xorStride = 0;
    qsizetype andAt = 0;
    qsizetype andStride = 0;
};

std::optional<DibLayout> readLayout(QByteArrayView d)
{
    if (d.size() < 12)
        return {};
    const quint32 headerSize = u32(d, 0);
    if (headerSize > quint32(d.size()))
        return {};
    DibLayout l;
    qint32 doubleHeight = 0;
    quint32 compression = 0;
    quint32 coloursUsed = 0;
    if (headerSize == 12) { // the old core header, with three-byte palette entries
        l.width = u16(d, 4);
        doubleHeight = u16(d, 6);
        l.bpp = u16(d, 10);
        l.paletteEntrySize = 3;
    } else if (headerSize >= 40) {
        l.width = qint32(u32(d, 4));
        doubleHeight = qint32(u32(d, 8));
        l.bpp = u16(d, 14);
        compression = u32(d, 16);
        coloursUsed = u32(d, 32);
    } else {
        return {};
    }
    l.height = doubleHeight / 2;
    if (l.width < 1 || l.width > kMaxSide || l.height < 1 || l.height > kMaxSide ||
        compression != 0)
        return {};
    if (l.bpp != 1 && l.bpp != 4 && l.bpp != 8 && l.bpp != 24 && l.bpp != 32)
        return {};
    if (l.bpp <= 8)
        l.paletteCount = coloursUsed != 0 ? qsizetype(coloursUsed) : qsizetype(1) << l.bpp;
    if (l.paletteCount > 256)
        return {};
    l.paletteAt = headerSize;
    l.xorAt = l.paletteAt + l.paletteCount * l.paletteEntrySize;
    l.xorStride = strideOf(l.width, l.bpp);
    l.andAt = l.xorAt + l.xorStride * l.height;
    l.andStride = strideOf(l.width, 1);
    if (l.andAt + l.andStride * l.height > d.size())
        return {};
    return l;
}

// Colour of pixel x in a stored colour row, as 0xAARRGGBB (alpha only at 32 bits).
QRgb colourAt(const DibLayout &l, QByteArrayView d, const uchar *row, int x)
{
    qsizetype index = 0;
    switch (l.bpp) {
    case 1:
        index = (row[x >> 3] >> (7 - (x & 7))) & 1;
        break;
    case 4:
        index = (x & 1) ? row[x >> 1] & 0x0f : row[x >> 1] >> 4;
        break;
    case 8:
        index = row[x];
        break;
    case 24:
        return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default:
        return qRgba(row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]);
    }
    if (index >= l.paletteCount)
        return qRgb(0, 0, 0);
    const auto *entry =
        reinterpret_cast<const uchar *>(d.data()) + l.paletteAt + index * l.paletteEntrySize;
    return qRgb(entry[2], entry[1], entry[0]);
}

const uchar *storedRow(QByteArrayView d, qsizetype at, qsizetype stride, int height, int y)
{
    return reinterpret_cast<const uchar *>(d.data()) + at + stride * (height - 1 - y);
}

bool hasAlpha(const DibLayout &l, QByteArrayView d)
{
    if (l.bpp != 32)
        return false;
    for (int y = 0; y < l.height; ++y) {
        const uchar *row = storedRow(d, l.xorAt, l.xorStride, l.height, y);
        for (int x = 0; x < l.width; ++x) {
            if (row[4 * x + 3] != 0)
                return true;
        }
    }
    return false;
}

IconImage decodeDib(QByteArrayView d)
{
    const auto layout = readLayout(d);
    if (!layout)
        return {};
    const DibLayout &l = *layout;
    const bool alpha = hasAlpha(l, d);
    IconImage result;
    result.colour = QImage(l.width, l.height, QImage::Format_ARGB32);
    for (int y = 0; y < l.height; ++y) {
        const uchar *colours = storedRow(d, l.xorAt, l.xorStride, l.height, y);
        const uchar *mask = storedRow(d, l.andAt, l.andStride, l.height, y);
        auto *out = reinterpret_cast<QRgb *>(result.colour.scanLine(y));
        for (int x = 0; x < l.width; ++x) {
            const QRgb c = colourAt(l, d, colours, x);
            if (alpha) {
                out[x] = c; // with real alpha the mask is ignored
                continue;
            }
            const bool masked = (mask[x >> 3] >> (7 - (x & 7))) & 1;
            const QRgb rgb = c & RGB_MASK;
            if (!masked) {
                out[x] = rgb | 0xff000000u;
                continue;
            }
            out[x] = 0;
            if (rgb == 0)
                continue;
            if (result.invert.isNull()) {
                result.invert = QImage(l.width, l.height, QImage::Format_RGB32);
                result.invert.fill(0);
            }
            result.invert.setPixel(x, y, rgb);
        }
    }
    return result;
}

IconImage decodePng(QByteArrayView d)
{
    QByteArray bytes = d.toByteArray();
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxSide || size.height() > kMaxSide)
        return {};
    QImage image = reader.read();
    if (image.isNull())
        return {};
    return {image.convertToFormat(QImage::Format_ARGB32), {}};
}

} // namespace

IconImage decodeIconImage(QByteArrayView data)
{
    if (data.startsWith(QByteArrayView(kPngSignature, 8)))
        return decodePng(data);
    return decodeDib(data);
}

void drawIconImage(QPainter &painter, const QRect &target, const IconImage &image)
{
    if (image.isNull())
        return;
    painter.drawImage(target, image.colour);
    if (image.invert.isNull())
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.drawImage(target, image.invert);
    painter.restore();
}
