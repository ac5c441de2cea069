// Draws Navolis's own pictures and its click sound.
// Usage: navolis-artwork <output folder> <click sound file>
#include <QDir>
#include <QFile>
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

void brandMark(QPainter &p, const QRectF &r)
{
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, Sky);
    g.setColorAt(1, Navy);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), r.width() * 0.2, r.width() * 0.2);
    shield(p,
           r.adjusted(r.width() * 0.22, r.height() * 0.18, -r.width() * 0.22, -r.height() * 0.14));
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
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 30));
    for (int i = 0; i < 6; ++i)
        p.drawEllipse(QPointF(40 + i * 70, 180 - (i % 2) * 30), 60, 60);
    brandMark(p, QRectF(40, 30, 96, 96));
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
    all["welcome.png"] = scene(
        110, 112, [](QPainter &p, const QRectF &r) { brandMark(p, r.adjusted(6, 6, -6, -6)); });
    all["logo.png"] = scene(66, 65, [](QPainter &p, const QRectF &r) { brandMark(p, r); });
    all["deco1.png"] = scene(64, 48, [](QPainter &p, const QRectF &r) {
        globe(p, QRectF(r.center().x() - 20, r.center().y() - 20, 40, 40));
    });
    all["deco2.png"] =
        scene(80, 80, [](QPainter &p, const QRectF &r) { gear(p, r.adjusted(10, 10, -10, -10)); });
    all["infopic.png"] = scene(71, 108, [](QPainter &p, const QRectF &r) {
        cookie(p, QRectF(r.left() + 4, r.top() + 10, 60, 60));
        infoDot(p, QRectF(r.left() + 36, r.top() + 66, 30, 30));
    });
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
        if (!image.save(out.filePath(name))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(out.filePath(name)));
            return 1;
        }
    }
    QFile sound(QString::fromLocal8Bit(argv[2]));
    if (!sound.open(QIODevice::WriteOnly) || sound.write(clickSound()) < 0)
        return 1;
    return 0;
}
