#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Little-endian fields of binary Windows files, read with a bounds check at every access.
namespace LeBytes {

inline std::optional<quint32> read(QByteArrayView bytes, qsizetype offset, int width)
{
    if (offset < 0 || width <= 0 || offset > bytes.size() - width)
        return std::nullopt;
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[offset + i]);
    return value;
}

inline std::optional<quint16> u16(QByteArrayView bytes, qsizetype offset)
{
    const auto value = read(bytes, offset, 2);
    return value ? std::optional<quint16>(quint16(*value)) : std::nullopt;
}

inline std::optional<quint32> u32(QByteArrayView bytes, qsizetype offset)
{
    return read(bytes, offset, 4);
}

inline std::optional<quint64> u64(QByteArrayView bytes, qsizetype offset)
{
    const auto low = read(bytes, offset, 4);
    const auto high = read(bytes, offset + 4, 4);
    if (!low || !high)
        return std::nullopt;
    return quint64(*high) << 32 | *low;
}

// UTF-16LE code units, without regard to alignment.
inline QString utf16(QByteArrayView bytes)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(char16_t(quint8(bytes[2 * i]) | quint8(bytes[2 * i + 1]) << 8));
    return text;
}

// A NUL-terminated UTF-16LE string at `offset`; nullopt when no terminator lies in range.
inline std::optional<QString> utf16z(QByteArrayView bytes, qsizetype offset)
{
    QString text;
    for (qsizetype at = offset;; at += 2) {
        const auto unit = u16(bytes, at);
        if (!unit)
            return std::nullopt;
        if (*unit == 0)
            return text;
        text.append(QChar(*unit));
    }
}

// The bytes of a NUL-terminated 8-bit string, without the NUL.
inline std::optional<QByteArray> bytesz(QByteArrayView bytes, qsizetype offset)
{
    if (offset < 0 || offset >= bytes.size())
        return std::nullopt;
    const qsizetype end = bytes.indexOf('\0', offset);
    if (end < 0)
        return std::nullopt;
    return bytes.sliced(offset, end - offset).toByteArray();
}

inline void put16(QByteArray &out, quint32 value)
{
    out.append(char(value & 0xff)).append(char((value >> 8) & 0xff));
}

inline void put32(QByteArray &out, quint32 value)
{
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

inline void put64(QByteArray &out, quint64 value)
{
    put32(out, quint32(value));
    put32(out, quint32(value >> 32));
}

// Overwrites a 16- or 32-bit field written earlier.
inline void patch32(QByteArray &out, qsizetype offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out[offset + i] = char((value >> (8 * i)) & 0xff);
}

inline void patch16(QByteArray &out, qsizetype offset, quint32 value)
{
    out[offset] = char(value & 0xff);
    out[offset + 1] = char((value >> 8) & 0xff);
}

inline void putUtf16(QByteArray &out, QStringView text)
{
    for (const QChar c : text)
        put16(out, c.unicode());
}

} // namespace LeBytes
