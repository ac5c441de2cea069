#pragma once

#include <QByteArrayView>
#include <QImage>

class QPainter;
class QRect;

// One decoded icon image. A masked icon can invert the background behind it, which
// RGBA cannot express, so those pixels travel as a separate image that is XORed on.
struct IconImage
{
    QImage colour; // Format_ARGB32, straight alpha; top row first
    QImage invert; // Format_RGB32, colour XORed onto the background; null when nothing inverts

    bool isNull() const { return colour.isNull(); }
};

// Decodes the image of an icon resource: a PNG, or a DIB (header, palette, colour bitmap,
// AND mask) at 1, 4, 8, 24 or 32 bits. Anything it cannot read safely gives a null image.
IconImage decodeIconImage(QByteArrayView data);

// Draws the icon into target the way the classic icon drawing combines it with what is
// already there: alpha blend, then XOR of the inverting pixels.
void drawIconImage(QPainter &painter, const QRect &target, const IconImage &image);
