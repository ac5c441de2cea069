#include "NavolisMark.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>

namespace NavolisMark {

namespace {

constexpr double kUnits = 256;
const QColor Sky(0x4a, 0x90, 0xd9);
const QColor Navy(0x1f, 0x3a, 0x6e);
const QColor Amber(0xe8, 0xa3, 0x3d);
const QColor Shine(0xff, 0xf6, 0xd5);

// The coordinates below are those of data/icons/navolis.svg; change both together.
QPainterPath letter()
{
    QPainterPath path;
    path.addPolygon(QPolygonF({{68, 166},
                               {68, 50},
                               {102, 50},
                               {150, 120},
                               {150, 50},
                               {180, 50},
                               {180, 166},
                               {146, 166},
                               {98, 96},
                               {98, 166}}));
    path.closeSubpath();
    return path;
}

// The line the glint follows, inside the sweep from its blunt end to its tip.
QPainterPath sweepSpine()
{
    QPainterPath path(QPointF(44, 206));
    path.cubicTo(104, 222, 174, 208, 224, 152);
    return path;
}

QPainterPath sparkle(double scale)
{
    const double cx = 208, cy = 92, reach = 20 * scale, waist = 4 * scale;
    QPainterPath path(QPointF(cx, cy - reach));
    path.quadTo(cx + waist, cy - waist, cx + reach, cy);
    path.quadTo(cx + waist, cy + waist, cx, cy + reach);
    path.quadTo(cx - waist, cy + waist, cx - reach, cy);
    path.quadTo(cx - waist, cy - waist, cx, cy - reach);
    path.closeSubpath();
    return path;
}

} // namespace

QPainterPath sweep()
{
    QPainterPath path(QPointF(36, 194));
    path.cubicTo(100, 214, 172, 200, 224, 152);
    path.cubicTo(184, 214, 108, 238, 48, 220);
    path.quadTo(30, 214, 36, 194);
    path.closeSubpath();
    return path;
}

void draw(QPainter &p, const QRectF &r, const Highlights &highlights)
{
    const double side = std::min(r.width(), r.height());
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(r.center().x() - side / 2, r.center().y() - side / 2);
    p.scale(side / kUnits, side / kUnits);

    QLinearGradient shade(16, 16, 240, 240);
    shade.setColorAt(0, Sky);
    shade.setColorAt(1, Navy);
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(16, 16, 224, 224), 52, 52);

    p.setBrush(Qt::white);
    p.drawPath(letter());
    p.setBrush(Amber);
    p.drawPath(sweep());

    if (highlights.glint >= 0) {
        const QPointF at = sweepSpine().pointAtPercent(std::clamp(highlights.glint, 0.0, 1.0));
        QRadialGradient glow(at, 30);
        glow.setColorAt(0, QColor(255, 255, 255, 255));
        glow.setColorAt(0.4, QColor(255, 250, 220, 200));
        glow.setColorAt(1, QColor(255, 250, 220, 0));
        p.save();
        p.setClipPath(sweep());
        p.setBrush(glow);
        p.drawEllipse(at, 30, 30);
        p.restore();
    }

    if (highlights.sparkle > 0) {
        p.setBrush(Shine);
        p.drawPath(sparkle(highlights.sparkle));
    }
    p.restore();
}

} // namespace NavolisMark
