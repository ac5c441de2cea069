#include "Artwork.h"

#include "NavolisMark.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <functional>

namespace {

constexpr int kSide = 32;
constexpr int kCanvas = 128; // drawn four times larger, then scaled down smoothly
constexpr qreal kCentre = kCanvas / 2.0;
constexpr int kTurnFrames = 2;
constexpr int kTwinkleFrames = 5;

QImage render(const std::function<void(QPainter &)> &paint)
{
    QImage canvas(kCanvas, kCanvas, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    painter.end();
    return canvas.scaled(kSide, kSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

QPainterPath glassOutline()
{
    QPainterPath path;
    path.moveTo(38, 20);
    path.lineTo(90, 20);
    path.cubicTo(90, 46, 70, 54, 67, 64);
    path.cubicTo(70, 74, 90, 82, 90, 108);
    path.lineTo(38, 108);
    path.cubicTo(38, 82, 58, 74, 61, 64);
    path.cubicTo(58, 54, 38, 46, 38, 20);
    path.closeSubpath();
    return path;
}

// `drained` runs from 0 (all sand above) to 1 (all sand below).
void drawSand(QPainter &p, const QPainterPath &glass, qreal drained)
{
    const QColor sand(0xe8, 0xb0, 0x40);
    const qreal topHeight = (1 - drained) * 36;
    const qreal bottomHeight = drained * 36;
    p.save();
    p.setClipPath(glass);
    p.setPen(Qt::NoPen);
    p.setBrush(sand);
    p.drawRect(QRectF(0, 64 - topHeight, kCanvas, topHeight));
    p.drawRect(QRectF(0, 108 - bottomHeight, kCanvas, bottomHeight));
    if (drained > 0 && drained < 1)
        p.drawRect(QRectF(62.5, 62, 3, 108 - bottomHeight - 62));
    p.restore();
}

void drawHourglassFrame(QPainter &p, qreal drained, qreal turn)
{
    p.translate(kCentre, kCentre);
    p.rotate(turn);
    if (turn != 0)
        p.scale(0.8, 0.8); // the turned glass still fits inside the frame
    p.translate(-kCentre, -kCentre);

    const QColor wood(0x8a, 0x55, 0x2a);
    const QPen dark(QColor(0x3a, 0x22, 0x10), 3);
    p.setPen(dark);
    p.setBrush(wood);
    p.drawRect(QRectF(32, 26, 4, 76));
    p.drawRect(QRectF(92, 26, 4, 76));

    const QPainterPath glass = glassOutline();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 230, 255, 90));
    p.drawPath(glass);
    drawSand(p, glass, drained);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x30, 0x40, 0x50), 3));
    p.drawPath(glass);

    p.setPen(dark);
    p.setBrush(wood);
    p.drawRoundedRect(QRectF(26, 10, 76, 12), 3, 3);
    p.drawRoundedRect(QRectF(26, 106, 76, 12), 3, 3);
}

} // namespace

// A shine runs along the sweep from its end to its tip, then the sparkle twinkles once.
QList<QImage> drawLogo(int frameCount)
{
    const int sweepFrames = frameCount - kTwinkleFrames;
    QList<QImage> frames;
    for (int i = 0; i < frameCount; ++i) {
        NavolisMark::Highlights highlights;
        if (i < sweepFrames)
            highlights.glint = qreal(i) / (sweepFrames - 1);
        else
            highlights.sparkle =
                1 + 0.45 * qSin(M_PI * (i - sweepFrames + 1) / (kTwinkleFrames + 1));
        frames += render([highlights](QPainter &p) {
            NavolisMark::draw(p, QRectF(0, 0, kCanvas, kCanvas), highlights);
        });
    }
    return frames;
}

// The last frames turn the emptied glass; a half turn later it looks like the first frame.
QList<QImage> drawHourglass(int frameCount)
{
    const int runFrames = frameCount - kTurnFrames;
    QList<QImage> frames;
    for (int i = 0; i < frameCount; ++i) {
        const qreal drained = i < runFrames ? qreal(i) / (runFrames - 1) : 1;
        const qreal turn = i < runFrames ? 0 : 180.0 * (i - runFrames + 1) / (kTurnFrames + 1);
        frames += render([drained, turn](QPainter &p) { drawHourglassFrame(p, drained, turn); });
    }
    return frames;
}
