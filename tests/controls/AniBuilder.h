#pragma once

#include <QByteArray>
#include <QList>
#include <QRgb>
#include <functional>
#include <optional>

namespace anibuild {

// A DIB icon image. `value` gives the stored value of pixel (x, y), top row 0: a palette
// index up to 8 bits, else 0xAARRGGBB; `masked` gives its AND mask bit.
QByteArray dib(int bpp, int width, int height, const QList<QRgb> &palette,
               const std::function<quint32(int, int)> &value,
               const std::function<bool(int, int)> &masked);

// A 32 x 32 24-bit image of one opaque colour (3262-byte icon file).
QByteArray solidImage(QRgb colour);

// An icon file around an image; an offset above 22 leaves a gap before the image.
QByteArray iconFile(const QByteArray &image, quint32 imageOffset = 22);

struct Ani
{
    quint32 defaultRate = 10;
    std::optional<QList<quint32>> rates;
    std::optional<QList<quint32>> sequence;
    std::optional<std::pair<QByteArray, QByteArray>> info; // name, author
    QList<QByteArray> icons;                               // icon files, one per frame
    std::optional<quint32> frameCount;                     // header value; default: icons
};

QByteArray build(const Ani &ani);

} // namespace anibuild
