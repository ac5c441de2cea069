// Draws Navolis's own pictures and its click sound.
// Usage: navolis-artwork <output folder> <click sound file>
#include "NavolisMark.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

namespace {

const QColor Navy(0x1f, 0x3a, 0x6e);
const QColor Sky(0x4a, 0x90, 0xd9);
const QColor Leaf(0x3c, 0x9a, 0x5f);
const QColor Amber(0xe8, 0xa3, 0x3d);
const QColor Berry(0x9b, 0x2d, 0x2d);
const QColor Paper(0xfa, 0xf7, 0xf0);

using Painter = std::function<void(QPainter &, const QRectF &)>;

void shield(QPainter &p, const QRectF &r)
{
    QPainterPath path;
    path.moveTo(r.center().x(), r.top());
    path.lineTo(r.right(), r.top() + r.height() * 0.2);
    path.quadTo(r.right(), r.bottom() - r.height() * 0.25, r.center().x(), r.bottom());
    path.quadTo(r.left(), r.bottom() - r.height() * 0.25, r.left(), r.top() + r.height() * 0.2);
    path.closeSubpath();
    p.setBrush(Leaf);
    p.setPen(QPen(Navy, 1.5));
    p.drawPath(path);
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(r.left() + r.width() * 0.3, r.center().y()),
               QPointF(r.center().x() - 1, r.bottom() - r.height() * 0.32));
    p.drawLine(QPointF(r.center().x() - 1, r.bottom() - r.height() * 0.32),
               QPointF(r.right() - r.width() * 0.25, r.top() + r.height() * 0.32));
}

void house(QPainter &p, const QRectF &r)
{
    QPainterPath roof;
    roof.moveTo(r.left(), r.center().y());
    roof.lineTo(r.center().x(), r.top() + 1);
    roof.lineTo(r.right(), r.center().y());
    p.setPen(QPen(Berry, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(roof);
    p.setPen(QPen(Navy, 1.5));
    p.setBrush(Paper);
    p.drawRect(
        QRectF(r.left() + r.width() * 0.2, r.center().y() - 2, r.width() * 0.6, r.height() * 0.45));
    p.setBrush(Amber);
    p.drawRect(
        QRectF(r.center().x() - 2.5, r.bottom() - r.height() * 0.3, 5, r.height() * 0.3 - 2));
}

void drum(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(Navy, 1.5));
    for (int i = 2; i >= 0; --i) {
        QRectF disc(r.left() + 2, r.top() + 3 + i * r.height() * 0.22, r.width() - 4,
                    r.height() * 0.4);
        p.setBrush(i == 0 ? Sky.lighter(130) : Sky);
        p.drawEllipse(disc);
    }
}

void star(QPainter &p, const QRectF &r)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double radius = (i % 2 ? 0.42 : 1.0) * r.width() / 2;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const QPointF pt(r.center().x() + radius * std::cos(angle),
                         r.center().y() + radius * std::sin(angle));
        i ? path.lineTo(pt) : path.moveTo(pt);
    }
    path.closeSubpath();
    p.setPen(QPen(Amber.darker(140), 1.2));
    p.setBrush(Amber);
    p.drawPath(path);
}

void gear(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(Navy, 1.2));
    p.setBrush(QColor(0x8a, 0x96, 0xa8));
    QPainterPath path;
    for (int i = 0; i < 16; ++i) {
        const double radius = (i % 2 ? 0.75 : 1.0) * r.width() / 2;
        const double a0 = i * M_PI / 8, a1 = (i + 1) * M_PI / 8;
        const QPointF p0(r.center().x() + radius * std::cos(a0),
                         r.center().y() + radius * std::sin(a0));
        const QPointF p1(r.center().x() + radius * std::cos(a1),
                         r.center().y() + radius * std::sin(a1));
        i ? path.lineTo(p0) : path.moveTo(p0);
        path.lineTo(p1);
    }
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(Qt::white);
    p.drawEllipse(r.center(), r.width() * 0.16, r.width() * 0.16);
}

void clock(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(Navy, 1.5));
    p.setBrush(Paper);
    p.drawEllipse(r.adjusted(1, 1, -1, -1));
    p.setPen(QPen(Berry, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.center(), QPointF(r.center().x(), r.top() + r.height() * 0.22));
    p.drawLine(r.center(), QPointF(r.right() - r.width() * 0.27, r.center().y()));
}

void infoDot(QPainter &p, const QRectF &r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Sky);
    p.drawEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
    p.setPen(QPen(Qt::white, r.width() / 8, Qt::SolidLine, Qt::RoundCap));
    p.drawPoint(QPointF(r.center().x(), r.top() + r.height() * 0.28));
    p.drawLine(QPointF(r.center().x(), r.top() + r.height() * 0.45),
               QPointF(r.center().x(), r.bottom() - r.height() * 0.22));
}

void power(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(Berry, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(r.adjusted(3, 3, -3, -3), 120 * 16, -240 * 16);
    p.drawLine(QPointF(r.center().x(), r.top() + 1), QPointF(r.center().x(), r.center().y()));
}

void arrow(QPainter &p, const QRectF &r, bool right)
{
    QPainterPath path;
    const double y = r.center().y();
    if (right) {
        path.moveTo(r.left() + 1, y - 2);
        path.lineTo(r.center().x(), y - 2);
        path.lineTo(r.center().x(), r.top() + 1);
        path.lineTo(r.right() - 1, y);
        path.lineTo(r.center().x(), r.bottom() - 1);
        path.lineTo(r.center().x(), y + 2);
        path.lineTo(r.left() + 1, y + 2);
    } else {
        path.moveTo(r.right() - 1, y - 2);
        path.lineTo(r.center().x(), y - 2);
        path.lineTo(r.center().x(), r.top() + 1);
        path.lineTo(r.left() + 1, y);
        path.lineTo(r.center().x(), r.bottom() - 1);
        path.lineTo(r.center().x(), y + 2);
        path.lineTo(r.right() - 1, y + 2);
    }
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::blue);
    p.drawPath(path);
}

void page(QPainter &p, const QRectF &r, const QColor &accent)
{
    p.setPen(QPen(Navy, 1));
    p.setBrush(Paper);
    p.drawRect(r.adjusted(2.5, 0.5, -2.5, -0.5));
    p.setPen(QPen(accent, 1));
    for (double y = r.top() + 4; y < r.bottom() - 2; y += 3)
        p.drawLine(QPointF(r.left() + 5, y), QPointF(r.right() - 5, y));
}

void globe(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(Navy, 1.2));
    p.setBrush(Sky.lighter(120));
    p.drawEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(
        QRectF(r.center().x() - r.width() * 0.22, r.top() + 0.5, r.width() * 0.44, r.height() - 1));
    p.drawLine(QPointF(r.left() + 1, r.center().y()), QPointF(r.right() - 1, r.center().y()));
}

void envelope(QPainter &p, const QRectF &r)
{
    const QRectF body = r.adjusted(0.5, r.height() * 0.2, -0.5, -r.height() * 0.15);
    p.setPen(QPen(Navy, 1));
    p.setBrush(Paper);
    p.drawRect(body);
    p.drawLine(body.topLeft(), QPointF(body.center().x(), body.center().y() + 1));
    p.drawLine(body.topRight(), QPointF(body.center().x(), body.center().y() + 1));
}

void trash(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(Navy, 1));
    p.setBrush(QColor(0xc8, 0xd0, 0xdc));
    p.drawRect(QRectF(r.left() + r.width() * 0.22, r.top() + r.height() * 0.3, r.width() * 0.56,
                      r.height() * 0.65));
    p.drawRect(QRectF(r.left() + r.width() * 0.12, r.top() + r.height() * 0.16, r.width() * 0.76,
                      r.height() * 0.12));
    for (double x : {0.4, 0.6})
        p.drawLine(QPointF(r.left() + r.width() * x, r.top() + r.height() * 0.42),
                   QPointF(r.left() + r.width() * x, r.bottom() - r.height() * 0.15));
}

void pencil(QPainter &p, const QRectF &r)
{
    p.save();
    p.translate(r.center());
    p.rotate(-45);
    p.setPen(QPen(Navy, 1));
    p.setBrush(Amber);
    p.drawRect(QRectF(-r.width() * 0.3, -r.height() * 0.12, r.width() * 0.5, r.height() * 0.24));
    QPainterPath tip;
    tip.moveTo(r.width() * 0.2, -r.height() * 0.12);
    tip.lineTo(r.width() * 0.42, 0);
    tip.lineTo(r.width() * 0.2, r.height() * 0.12);
    tip.closeSubpath();
    p.setBrush(Paper);
    p.drawPath(tip);
    p.restore();
}

void eye(QPainter &p, const QRectF &r)
{
    QPainterPath lid;
    lid.moveTo(r.left() + 0.5, r.center().y());
    lid.quadTo(r.center().x(), r.top() - 2, r.right() - 0.5, r.center().y());
    lid.quadTo(r.center().x(), r.bottom() + 2, r.left() + 0.5, r.center().y());
    p.setPen(QPen(Navy, 1));
    p.setBrush(Qt::white);
    p.drawPath(lid);
    p.setBrush(Sky);
    p.drawEllipse(r.center(), r.width() * 0.18, r.width() * 0.18);
}

void disk(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(Navy, 1));
    p.setBrush(Sky);
    p.drawRect(r.adjusted(1.5, 1.5, -1.5, -1.5));
    p.setBrush(Paper);
    p.drawRect(
        QRectF(r.left() + r.width() * 0.28, r.top() + 1.5, r.width() * 0.44, r.height() * 0.32));
}

void cookie(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(Amber.darker(150), 1.2));
    p.setBrush(QColor(0xd9, 0xa4, 0x5b));
    p.drawEllipse(r.adjusted(1, 1, -1, -1));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5a, 0x34, 0x1c));
    for (auto [x, y] : {std::pair{0.35, 0.3}, {0.65, 0.4}, {0.4, 0.65}, {0.7, 0.7}, {0.52, 0.5}})
        p.drawEllipse(QPointF(r.left() + r.width() * x, r.top() + r.height() * y), r.width() * 0.06,
                      r.width() * 0.06);
}

void key(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(Amber.darker(160), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(r.left() + r.width() * 0.3, r.center().y()), r.width() * 0.16,
                  r.width() * 0.16);
    p.drawLine(QPointF(r.left() + r.width() * 0.46, r.center().y()),
               QPointF(r.right() - 3, r.center().y()));
    p.drawLine(QPointF(r.right() - 8, r.center().y()),
               QPointF(r.right() - 8, r.center().y() + r.height() * 0.15));
    p.drawLine(QPointF(r.right() - 4, r.center().y()),
               QPointF(r.right() - 4, r.center().y() + r.height() * 0.12));
}

void broom(QPainter &p, const QRectF &r)
{
    p.setPen(QPen(QColor(0x8b, 0x5a, 0x2b), r.width() / 14, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(r.right() - r.width() * 0.15, r.top() + r.height() * 0.05),
               QPointF(r.center().x(), r.center().y() + r.height() * 0.1));
    QPainterPath bristles;
    bristles.moveTo(r.center().x() - r.width() * 0.05, r.center().y());
    bristles.lineTo(r.center().x() + r.width() * 0.12, r.center().y() + r.height() * 0.18);
    bristles.lineTo(r.left() + r.width() * 0.2, r.bottom() - 2);
    bristles.lineTo(r.left() + 2, r.bottom() - r.height() * 0.22);
    bristles.closeSubpath();
    p.setPen(QPen(Amber.darker(150), 1));
    p.setBrush(Amber);
    p.drawPath(bristles);
}

QImage canvas(int w, int h, const QColor &fill = Qt::transparent)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

QImage icon(int size, const Painter &draw)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, QRectF(0, 0, size, size));
    return img;
}

QImage backdrop(int w, int h, const QColor &top, const QColor &bottom)
{
    QImage img = canvas(w, h);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(img.rect(), g);
    return img;
}

QImage splash()
{
    QImage img = backdrop(383, 205, Sky.lighter(150), Navy);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // The mark's sweep, large and faint, runs under the whole picture.
    p.save();
    p.translate(-70, -190);
    p.scale(2.1, 1.6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawPath(NavolisMark::sweep());
    p.translate(12, 14);
    p.setBrush(QColor(Amber.red(), Amber.green(), Amber.blue(), 120));
    p.drawPath(NavolisMark::sweep());
    p.restore();
    NavolisMark::draw(p, QRectF(40, 30, 96, 96));
    p.setPen(Qt::white);
    QFont f("Liberation Sans");
    f.setPixelSize(13);
    p.setFont(f);
    p.drawText(QRectF(164, 80, 210, 60), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Cookies \u00b7 Cache \u00b7 History \u00b7 Favourites"));
    return img;
}

QImage scene(int w, int h, const Painter &motif)
{
    QImage img = canvas(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    motif(p, QRectF(0, 0, w, h));
    return img;
}

QImage strip(int w, int h)
{
    QImage img = backdrop(w, h, Sky, Navy);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 60), 2));
    for (int y = -w; y < h; y += 12)
        p.drawLine(0, y + w, w, y);
    return img;
}

QImage glyph(const Painter &draw)
{
    return icon(24, [&](QPainter &p, const QRectF &r) { draw(p, r.adjusted(1, 1, -1, -1)); });
}

// The information window's pictures: each topic's motif above the small information dot.

// A browser's address bar holding a little globe, some typed text and, if `caret`, the caret.
void addressBar(QPainter &p, const QRectF &bar, const QString &typed, bool caret)
{
    p.setPen(QPen(Navy, 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(bar, 3, 3);
    const double h = bar.height();
    globe(p, QRectF(bar.left() + 3, bar.top() + (h - 10) / 2, 10, 10));
    QFont f("Liberation Sans");
    f.setPixelSize(int(h * 0.62));
    f.setBold(true);
    p.setFont(f);
    p.setPen(Navy);
    const QRectF text(bar.left() + 16, bar.top(), bar.width() - 18, h);
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, typed);
    if (caret) {
        const double x = text.left() + QFontMetricsF(f).horizontalAdvance(typed) + 1.5;
        p.setPen(QPen(Berry, 1.5));
        p.drawLine(QPointF(x, bar.top() + 3), QPointF(x, bar.bottom() - 3));
    }
}

void keyCap(QPainter &p, const QRectF &r, const QString &label)
{
    p.setPen(QPen(Navy, 1));
    p.setBrush(QColor(0xe4, 0xe9, 0xf1));
    p.drawRoundedRect(r, 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(r.adjusted(2, 1.5, -2, -3.5), 1.5, 1.5);
    QFont f("Liberation Sans");
    f.setPixelSize(int(r.height() * 0.55));
    f.setBold(true);
    p.setFont(f);
    p.setPen(Navy);
    p.drawText(r.adjusted(0, 0, 0, -2), Qt::AlignCenter, label);
}

// Typed addresses: the address bar as typed into from the keyboard below it.
void typedAddresses(QPainter &p, const QRectF &r)
{
    addressBar(p, QRectF(r.left(), r.top() + 4, r.width(), 17), QStringLiteral("www."), true);
    const double key = (r.width() - 6) / 4;
    const QString top[] = {QStringLiteral("Q"), QStringLiteral("W"), QStringLiteral("E"),
                           QStringLiteral("R")};
    const QString bottom[] = {QStringLiteral("A"), QStringLiteral("S"), QStringLiteral("D")};
    for (int i = 0; i < 4; ++i)
        keyCap(p, QRectF(r.left() + i * (key + 2), r.top() + 28, key, key), top[i]);
    for (int i = 0; i < 3; ++i)
        keyCap(p, QRectF(r.left() + key / 2 + i * (key + 2), r.top() + 30 + key, key, key),
               bottom[i]);
}

// A drop-down list under `anchor` with `rows` suggestions, the first one chosen.
void suggestions(QPainter &p, const QRectF &anchor, int rows, const QColor &chosen,
                 const Painter &rowIcon)
{
    const double rowHeight = 9;
    const QRectF list(anchor.left() + 4, anchor.bottom() - 0.5, anchor.width() - 4,
                      rows * rowHeight + 3);
    p.setPen(QPen(Navy, 1));
    p.setBrush(Qt::white);
    p.drawRect(list);
    for (int i = 0; i < rows; ++i) {
        const QRectF row(list.left() + 1.5, list.top() + 1.5 + i * rowHeight, list.width() - 3,
                         rowHeight);
        if (i == 0) {
            p.setPen(Qt::NoPen);
            p.setBrush(chosen);
            p.drawRect(row);
        }
        rowIcon(p, QRectF(row.left() + 1.5, row.top() + 1.5, rowHeight - 3, rowHeight - 3));
        p.setPen(
            QPen(i == 0 ? Qt::white : QColor(0x8a, 0x96, 0xa8), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(row.left() + rowHeight + 1, row.center().y()),
                   QPointF(row.right() - 4 - (i % 2) * 8, row.center().y()));
    }
}

// Autocomplete for addresses: the address bar begun, with visited addresses offered below.
void addressSuggestions(QPainter &p, const QRectF &r)
{
    const QRectF bar(r.left(), r.top() + 4, r.width(), 17);
    addressBar(p, bar, QStringLiteral("na"), true);
    suggestions(p, bar, 4, Sky, [](QPainter &q, const QRectF &icon) {
        q.setPen(QPen(Navy, 0.8));
        q.setBrush(Paper);
        q.drawEllipse(icon);
        q.drawLine(icon.center(), QPointF(icon.center().x(), icon.top() + 1.2));
        q.drawLine(icon.center(), QPointF(icon.right() - 1.2, icon.center().y()));
    });
}

// Autocomplete for forms: a form on a page whose name field offers what was typed before.
void formSuggestions(QPainter &p, const QRectF &r)
{
    const QRectF sheet(r.left() + 2, r.top(), r.width() - 4, r.height());
    p.setPen(QPen(Navy, 1));
    p.setBrush(Paper);
    p.drawRect(sheet);
    auto person = [](QPainter &q, const QRectF &at) {
        q.setPen(Qt::NoPen);
        q.setBrush(Leaf);
        q.drawEllipse(QPointF(at.center().x(), at.top() + at.height() * 0.3), at.width() * 0.26,
                      at.width() * 0.26);
        q.drawChord(QRectF(at.left(), at.top() + at.height() * 0.58, at.width(), at.height()), 0,
                    180 * 16);
    };
    person(p, QRectF(sheet.left() + 4, sheet.top() + 4, 12, 12));
    p.setPen(QPen(Navy, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(sheet.left() + 20, sheet.top() + 8),
               QPointF(sheet.right() - 6, sheet.top() + 8));
    p.setPen(QPen(QColor(0x8a, 0x96, 0xa8), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(sheet.left() + 20, sheet.top() + 13),
               QPointF(sheet.right() - 14, sheet.top() + 13));
    QRectF field;
    for (int i = 0; i < 2; ++i) {
        const double y = sheet.top() + 22 + i * 17;
        p.setPen(QPen(QColor(0x8a, 0x96, 0xa8), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(sheet.left() + 4, y), QPointF(sheet.left() + 16, y));
        field = QRectF(sheet.left() + 4, y + 3, sheet.width() - 8, 9);
        p.setPen(QPen(Navy, 1));
        p.setBrush(Qt::white);
        p.drawRect(field);
        if (i == 0) {
            p.setPen(QPen(Berry, 1.2));
            p.drawLine(QPointF(field.left() + 3, field.top() + 2),
                       QPointF(field.left() + 3, field.bottom() - 2));
            suggestions(p, field, 2, Amber, person);
            return;
        }
    }
}

// The notice of a finished download: the arrow has put the file into the tray and a tick says
// it is done.
void downloadDone(QPainter &p, const QRectF &r)
{
    QPainterPath tray;
    tray.moveTo(r.left() + 4, r.top() + 38);
    tray.lineTo(r.left() + 4, r.bottom() - 4);
    tray.lineTo(r.right() - 4, r.bottom() - 4);
    tray.lineTo(r.right() - 4, r.top() + 38);
    p.setPen(QPen(Navy, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tray);
    QPainterPath shaft;
    const double cx = r.center().x() - 4;
    shaft.moveTo(cx - 6, r.top() + 2);
    shaft.lineTo(cx + 6, r.top() + 2);
    shaft.lineTo(cx + 6, r.top() + 26);
    shaft.lineTo(cx + 15, r.top() + 26);
    shaft.lineTo(cx, r.top() + 44);
    shaft.lineTo(cx - 15, r.top() + 26);
    shaft.lineTo(cx - 6, r.top() + 26);
    shaft.closeSubpath();
    p.setPen(QPen(Leaf.darker(140), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Leaf);
    p.drawPath(shaft);
    const QRectF tick(r.right() - 22, r.top(), 20, 20);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(Amber);
    p.drawEllipse(tick);
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(tick.left() + 5, tick.center().y()),
                              QPointF(tick.center().x() - 1, tick.bottom() - 5.5),
                              QPointF(tick.right() - 5, tick.top() + 6)}));
}

// Printing backgrounds: the page leaving the printer keeps the web page's coloured picture.
void printedBackground(QPainter &p, const QRectF &r)
{
    const QRectF body(r.left() + 1, r.top() + 12, r.width() - 2, 24);
    p.setPen(QPen(Navy, 1.2));
    p.setBrush(QColor(0xf0, 0xf0, 0xf0));
    p.drawRect(QRectF(body.left() + 10, r.top() + 2, body.width() - 20, 12));
    p.setBrush(QColor(0xb8, 0xc2, 0xd0));
    p.drawRoundedRect(body, 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(Leaf);
    p.drawEllipse(QPointF(body.right() - 7, body.top() + 7), 2.2, 2.2);
    p.setBrush(Navy);
    p.drawRect(QRectF(body.left() + 6, body.bottom() - 7, body.width() - 12, 3));

    const QRectF sheet(body.left() + 9, body.bottom() - 5.5, body.width() - 18,
                       r.bottom() - body.bottom() + 4);
    QLinearGradient air(sheet.topLeft(), sheet.bottomLeft());
    air.setColorAt(0, Sky.lighter(140));
    air.setColorAt(1, Sky);
    p.setPen(QPen(Navy, 1));
    p.setBrush(air);
    p.drawRect(sheet);
    p.save();
    p.setClipRect(sheet.adjusted(0.5, 0.5, -0.5, -0.5));
    p.setPen(Qt::NoPen);
    p.setBrush(Amber);
    p.drawEllipse(QPointF(sheet.right() - 9, sheet.top() + 10), 5, 5);
    p.setBrush(Leaf);
    p.drawEllipse(QPointF(sheet.left() + 8, sheet.bottom() + 8), 24, 16);
    p.setBrush(Leaf.darker(120));
    p.drawEllipse(QPointF(sheet.right() - 2, sheet.bottom() + 10), 20, 14);
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(Navy);
    p.drawRect(QRectF(body.left() + 6, body.bottom() - 7, body.width() - 12, 1.5));
}

// One information picture, 71 x 108 like the window's picture box.
QImage infoPicture(const Painter &motif)
{
    return scene(71, 108, [&](QPainter &p, const QRectF &r) {
        motif(p, QRectF(r.left() + 4, r.top() + 8, 62, 58));
        infoDot(p, QRectF(r.left() + 36, r.top() + 70, 30, 30));
    });
}

// A 30 ms click: a decaying 2 kHz burst, 22050 Hz mono 16-bit PCM.
QByteArray clickSound()
{
    const int rate = 22050, samples = rate * 30 / 1000;
    QByteArray pcm(samples * 2, '\0');
    for (int i = 0; i < samples; ++i) {
        const double t = double(i) / rate;
        const double v = std::exp(-t * 180) * std::sin(2 * M_PI * 2000 * t);
        qToLittleEndian<qint16>(qint16(v * 12000), pcm.data() + 2 * i);
    }
    QByteArray wav;
    auto u32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    auto u16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    wav.append("RIFF");
    u32(36 + pcm.size());
    wav.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    wav.append("data");
    u32(pcm.size());
    return wav + pcm;
}

std::map<QString, QImage> pictures()
{
    using namespace std::placeholders;
    std::map<QString, QImage> all;
    all["splash.png"] = splash();
    all["glyph_welcome.png"] = glyph(house);
    all["glyph_security.png"] = glyph(shield);
    all["glyph_cache.png"] = glyph(drum);
    all["glyph_favorites.png"] = glyph(star);
    all["glyph_settings.png"] = glyph(gear);
    all["glyph_auto.png"] = glyph(clock);
    all["glyph_about.png"] = glyph(infoDot);
    all["glyph_quit.png"] = glyph(power);
    all["arrow.png"] = icon(12, [](QPainter &p, const QRectF &r) { arrow(p, r, true); });
    all["back.png"] = icon(12, [](QPainter &p, const QRectF &r) { arrow(p, r, false); });
    all["ok.png"] = icon(16, [](QPainter &p, const QRectF &r) {
        p.setPen(QPen(Leaf, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(r.left() + 3, r.center().y()),
                                  QPointF(r.center().x() - 1, r.bottom() - 4),
                                  QPointF(r.right() - 3, r.top() + 4)}));
    });
    all["doc.png"] = icon(16, [](QPainter &p, const QRectF &r) { page(p, r, Sky); });
    all["help.png"] = icon(16, infoDot);
    all["info.png"] = icon(16, infoDot);
    all["info32.png"] = icon(32, infoDot);
    all["web.png"] = icon(16, globe);
    all["mail.png"] = icon(16, envelope);
    all["trash.png"] = icon(16, trash);
    all["edit.png"] = icon(16, pencil);
    all["view.png"] = icon(16, eye);
    all["save.png"] = icon(16, disk);
    all["undo.png"] = icon(16, [](QPainter &p, const QRectF &r) { arrow(p, r, false); });
    all["up.png"] = icon(16, [](QPainter &p, const QRectF &r) {
        p.translate(r.center());
        p.rotate(-90);
        p.translate(-r.center());
        arrow(p, r, true);
    });
    all["cookie.png"] = icon(32, cookie);
    all["star.png"] = scene(127, 60, [](QPainter &p, const QRectF &r) {
        star(p, QRectF(r.center().x() - 22, r.center().y() - 22, 44, 44));
    });
    all["globe.png"] = scene(127, 50, [](QPainter &p, const QRectF &r) {
        globe(p, QRectF(r.center().x() - 20, r.center().y() - 20, 40, 40));
    });
    all["keys.png"] =
        scene(64, 64, [](QPainter &p, const QRectF &r) { key(p, r.adjusted(4, 8, -4, -8)); });
    all["broom.png"] = scene(64, 64, broom);
    all["books.png"] = scene(72, 110, [](QPainter &p, const QRectF &r) {
        for (int i = 0; i < 3; ++i) {
            const QColor colours[] = {Berry, Navy, Leaf};
            p.setPen(QPen(colours[i].darker(130), 1));
            p.setBrush(colours[i]);
            p.drawRoundedRect(
                QRectF(r.left() + 6 + i * 20, r.top() + 20 + i * 6, 18, r.height() - 26 - i * 6), 3,
                3);
        }
    });
    all["welcome.png"] = scene(110, 112, [](QPainter &p, const QRectF &r) {
        NavolisMark::draw(p, r.adjusted(4, 4, -4, -4));
    });
    all["logo.png"] = scene(66, 65, [](QPainter &p, const QRectF &r) { NavolisMark::draw(p, r); });
    all["appicon.png"] = icon(256, [](QPainter &p, const QRectF &r) { NavolisMark::draw(p, r); });
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        all[QStringLiteral("icons/hicolor/%1x%1/apps/navolis.png").arg(size)] =
            icon(size, [](QPainter &p, const QRectF &r) { NavolisMark::draw(p, r); });
    all["deco1.png"] = scene(64, 48, [](QPainter &p, const QRectF &r) {
        globe(p, QRectF(r.center().x() - 20, r.center().y() - 20, 40, 40));
    });
    all["deco2.png"] =
        scene(80, 80, [](QPainter &p, const QRectF &r) { gear(p, r.adjusted(10, 10, -10, -10)); });
    all["info_cookies.png"] = infoPicture(
        [](QPainter &p, const QRectF &r) { cookie(p, QRectF(r.left(), r.top() + 2, 60, 60)); });
    all["info_typed_urls.png"] = infoPicture(typedAddresses);
    all["info_address_autocomplete.png"] = infoPicture(addressSuggestions);
    all["info_form_autocomplete.png"] = infoPicture(formSuggestions);
    all["info_download_notice.png"] = infoPicture(downloadDone);
    all["info_print_backgrounds.png"] = infoPicture(printedBackground);
    all["strip.png"] = strip(38, 147);
    return all;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: navolis-artwork <output folder> <click sound file>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    for (const auto &[name, image] : pictures()) {
        const QString path = out.filePath(name);
        if (!QDir().mkpath(QFileInfo(path).path()) || !image.save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    QFile sound(QString::fromLocal8Bit(argv[2]));
    if (!sound.open(QIODevice::WriteOnly) || sound.write(clickSound()) < 0)
        return 1;
    return 0;
}
