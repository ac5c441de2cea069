#include "AniWriter.h"

#include <QtEndian>

namespace {

constexpr int kSide = 32;
constexpr quint32 kIconFlag = 1;

void putU16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void putU32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// A chunk with its header and, after odd-sized data, the pad byte.
QByteArray chunk(const char *id, const QByteArray &data)
{
    QByteArray out(id, 4);
    putU32(out, quint32(data.size()));
    out += data;
    if (data.size() % 2)
        out += '\0';
    return out;
}

QByteArray list(const char *type, const QByteArray &chunks)
{
    return chunk("LIST", QByteArray(type, 4) + chunks);
}

QByteArray text(const QByteArray &value)
{
    return value + '\0';
}

// A one-image icon file holding a 32-bit DIB: colours with straight alpha, plus an AND
// mask set where the pixel is fully transparent, both stored bottom row first.
QByteArray iconFile(const QImage &frame)
{
    const QImage image = frame.convertToFormat(QImage::Format_ARGB32);
    QByteArray colours;
    QByteArray mask;
    for (int y = kSide - 1; y >= 0; --y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        quint32 maskBits = 0;
        for (int x = 0; x < kSide; ++x) {
            const QRgb p = row[x];
            colours += char(qBlue(p));
            colours += char(qGreen(p));
            colours += char(qRed(p));
            colours += char(qAlpha(p));
            if (qAlpha(p) == 0)
                maskBits |= 0x80000000u >> x;
        }
        char bytes[4];
        qToBigEndian(maskBits, bytes); // bit 7 of the first byte is the leftmost pixel
        mask.append(bytes, 4);
    }
    QByteArray dib;
    for (quint32 field : {40u, quint32(kSide), quint32(2 * kSide)})
        putU32(dib, field);
    putU16(dib, 1);
    putU16(dib, 32);
    for (int i = 0; i < 6; ++i)
        putU32(dib, 0);
    dib += colours + mask;

    QByteArray ico;
    putU16(ico, 0);
    putU16(ico, 1); // icon
    putU16(ico, 1); // one image
    ico += char(kSide);
    ico += char(kSide);
    ico += '\0';
    ico += '\0';
    putU16(ico, 1);
    putU16(ico, 32);
    putU32(ico, quint32(dib.size()));
    putU32(ico, 6 + 16);
    return ico + dib;
}

QByteArray header(quint32 frameCount, quint32 rate)
{
    QByteArray out;
    for (quint32 field :
         {36u, frameCount, frameCount, quint32(kSide), quint32(kSide), 32u, 1u, rate, kIconFlag})
        putU32(out, field);
    return out;
}

} // namespace

QByteArray writeAni(const QList<QImage> &frames, quint32 rate, const std::optional<AniInfo> &info)
{
    const auto count = quint32(frames.size());
    QByteArray body("ACON");
    if (info)
        body += list("INFO", chunk("INAM", text(info->name)) + chunk("IART", text(info->author)));
    body += chunk("anih", header(count, rate));
    QByteArray rates;
    for (quint32 i = 0; i < count; ++i)
        putU32(rates, rate);
    body += chunk("rate", rates);
    QByteArray icons;
    for (const QImage &frame : frames)
        icons += chunk("icon", iconFile(frame));
    body += list("fram", icons);
    return chunk("RIFF", body);
}
