#include "AniBuilder.h"

#include <QtEndian>

namespace anibuild {
namespace {

void put(QByteArray &out, quint32 value, int bytes = 4)
{
    char le[4];
    qToLittleEndian(value, le);
    out.append(le, bytes);
}

QByteArray chunk(const char *id, const QByteArray &data)
{
    QByteArray out(id, 4);
    put(out, quint32(data.size()));
    return out + data + (data.size() % 2 ? QByteArray(1, '\0') : QByteArray());
}

QByteArray table(const QList<quint32> &values)
{
    QByteArray out;
    for (quint32 v : values)
        put(out, v);
    return out;
}

QByteArray bitmap(int bits, int width, int height, const std::function<quint32(int, int)> &value)
{
    const int stride = ((width * bits + 31) / 32) * 4;
    QByteArray out;
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const quint32 v = value(x, y);
            if (bits >= 24) {
                for (int i = 0; i < bits / 8; ++i)
                    row[x * bits / 8 + i] = char(v >> (8 * i));
                continue;
            }
            const int bit = x * bits;
            row[bit / 8] = char(row[bit / 8] | (v << (8 - bits - bit % 8)));
        }
        out += row;
    }
    return out;
}

} // namespace

QByteArray dib(int bpp, int width, int height, const QList<QRgb> &palette,
               const std::function<quint32(int, int)> &value,
               const std::function<bool(int, int)> &masked)
{
    QByteArray out;
    for (quint32 field : {40u, quint32(width), quint32(2 * height)})
        put(out, field);
    put(out, 1, 2);
    put(out, quint32(bpp), 2);
    for (quint32 field : {0u, 0u, 0u, 0u, quint32(palette.size()), 0u})
        put(out, field);
    for (QRgb c : palette)
        put(out, c & RGB_MASK);
    out += bitmap(bpp, width, height, value);
    out += bitmap(1, width, height, [&](int x, int y) { return quint32(masked(x, y)); });
    return out;
}

QByteArray solidImage(QRgb colour)
{
    return dib(
        24, 32, 32, {}, [=](int, int) { return colour; }, [](int, int) { return false; });
}

QByteArray iconFile(const QByteArray &image, quint32 imageOffset)
{
    QByteArray out;
    for (quint32 v : {0u, 1u, 1u})
        put(out, v, 2);
    out += QByteArray::fromHex("20200000");
    put(out, 1, 2);
    put(out, 32, 2);
    put(out, quint32(image.size()));
    put(out, imageOffset);
    return out + QByteArray(qMax(0, int(imageOffset) - 22), '\0') + image;
}

QByteArray build(const Ani &ani)
{
    const auto frames = ani.frameCount.value_or(quint32(ani.icons.size()));
    QByteArray body("ACON");
    if (ani.info) {
        body += chunk("LIST", "INFO" + chunk("INAM", ani.info->first + '\0') +
                                  chunk("IART", ani.info->second + '\0'));
    }
    body +=
        chunk("anih",
              table({36, frames, frames, 32, 32, 32, 1, ani.defaultRate, ani.sequence ? 3u : 1u}));
    if (ani.rates)
        body += chunk("rate", table(*ani.rates));
    if (ani.sequence)
        body += chunk("seq ", table(*ani.sequence));
    QByteArray icons("fram");
    for (const QByteArray &icon : ani.icons)
        icons += chunk("icon", icon);
    body += chunk("LIST", icons);
    return chunk("RIFF", body);
}

} // namespace anibuild
