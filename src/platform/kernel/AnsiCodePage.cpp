#include "platform/kernel/AnsiCodePage.h"

namespace AnsiCodePage {

namespace {

// 0x80..0x9F; the five unassigned bytes map to the control characters of the same value,
// as Windows maps them.
constexpr char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t decode(quint8 byte)
{
    return byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : char16_t(byte);
}

int encode(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit < 0x100))
        return unit;
    for (int i = 0; i < 32; ++i) {
        if (high[i] == unit)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QString toUnicode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(decode(quint8(bytes[i])));
    return text;
}

QByteArray fromUnicode(QStringView text, bool *lossless)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    bool exact = true;
    for (const QChar c : text) {
        const int byte = encode(c.unicode());
        exact = exact && byte >= 0;
        bytes.append(byte >= 0 ? char(byte) : '?');
    }
    if (lossless)
        *lossless = exact;
    return bytes;
}

} // namespace AnsiCodePage
