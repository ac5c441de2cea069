#include "platform/registry/RegText.h"

#include "platform/kernel/WinTypes.h"

#include <cstring>
#include <vector>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "registry data is kept as UTF-16LE in place");

namespace regtext {

using namespace win;

namespace {

const char hexDigits[] = "0123456789abcdef";

bool isHexDigit(char16_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

void appendOctal(QByteArray &out, unsigned value, int minDigits)
{
    char buf[8];
    int n = 0;
    do {
        buf[n++] = char('0' + (value & 7));
        value >>= 3;
    } while (value || n < minDigits);
    while (n)
        out.append(buf[--n]);
}

char controlEscape(char16_t c)
{
    switch (c) {
    case 0x07:
        return 'a';
    case 0x08:
        return 'b';
    case 0x09:
        return 't';
    case 0x0a:
        return 'n';
    case 0x0b:
        return 'v';
    case 0x0c:
        return 'f';
    case 0x0d:
        return 'r';
    case 0x1b:
        return 'e';
    default:
        return 0;
    }
}

char16_t controlFromEscape(char c)
{
    switch (c) {
    case 'a':
        return 0x07;
    case 'b':
        return 0x08;
    case 't':
        return 0x09;
    case 'n':
        return 0x0a;
    case 'v':
        return 0x0b;
    case 'f':
        return 0x0c;
    case 'r':
        return 0x0d;
    case 'e':
        return 0x1b;
    default:
        return 0;
    }
}

// Decodes one UTF-8 sequence at p; returns its length, or 0 for an invalid byte.
int decodeUtf8(const unsigned char *p, const unsigned char *end, char32_t &cp)
{
    const unsigned char c = *p;
    int len;
    char32_t min;
    if (c >= 0xc2 && c <= 0xdf) {
        len = 2, cp = c & 0x1f, min = 0x80;
    } else if (c >= 0xe0 && c <= 0xef) {
        len = 3, cp = c & 0x0f, min = 0x800;
    } else if (c >= 0xf0 && c <= 0xf4) {
        len = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (end - p < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((p[i] & 0xc0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3f);
    }
    return (cp < min || cp > 0x10ffff) ? 0 : len;
}

} // namespace

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendHex(QByteArray &out, unsigned value, int minDigits)
{
    char buf[16];
    int n = 0;
    do {
        buf[n++] = hexDigits[value & 0xf];
        value >>= 4;
    } while (value || n < minDigits);
    while (n)
        out.append(buf[--n]);
}

void appendEscaped(QByteArray &out, QStringView text, char q1, char q2)
{
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        const bool hasNext = i + 1 < n;
        if (c > 127) {
            out.append("\\x");
            appendHex(out, c, hasNext && s[i + 1] < 128 && isHexDigit(s[i + 1]) ? 4 : 1);
        } else if (c < 32) {
            out.append('\\');
            if (const char e = controlEscape(c))
                out.append(e);
            else
                appendOctal(out, c, hasNext && s[i + 1] >= '0' && s[i + 1] <= '7' ? 3 : 1);
        } else {
            if (c == '\\' || c == q1 || c == q2)
                out.append('\\');
            out.append(char(c));
        }
    }
}

namespace {

// Decodes into `w`, which has room for one unit per byte of input.
const char *decode(const char *p, const char *end, char terminator, char16_t *&w)
{
    while (p < end) {
        const char c = *p;
        if (c == terminator)
            return p + 1;
        if (c == '\\') {
            if (++p == end)
                break;
            const char e = *p;
            if (const char16_t ctl = controlFromEscape(e)) {
                *w++ = ctl;
                ++p;
            } else if (e == 'x') {
                ++p;
                unsigned v = 0;
                int digits = 0;
                for (int d; digits < 4 && p < end && (d = hexValue(*p)) >= 0; ++digits, ++p)
                    v = v * 16 + unsigned(d);
                *w++ = digits ? char16_t(v) : u'x';
            } else if (e >= '0' && e <= '7') {
                unsigned v = 0;
                for (int digits = 0; digits < 3 && p < end && *p >= '0' && *p <= '7'; ++digits)
                    v = v * 8 + unsigned(*p++ - '0');
                *w++ = char16_t(v);
            } else if (static_cast<unsigned char>(e) < 0x80) {
                *w++ = char16_t(e); // an unknown escape keeps the character
                ++p;
            }
            // a non-ASCII byte after the backslash is decoded as usual below
            continue;
        }
        if (static_cast<unsigned char>(c) < 0x80) {
            *w++ = char16_t(c);
            ++p;
            continue;
        }
        char32_t cp;
        const int len = decodeUtf8(reinterpret_cast<const unsigned char *>(p),
                                   reinterpret_cast<const unsigned char *>(end), cp);
        if (!len) {
            ++p; // invalid UTF-8 is dropped
            continue;
        }
        p += len;
        if (cp > 0xffff) {
            cp -= 0x10000;
            *w++ = char16_t(0xd800 + (cp >> 10));
            *w++ = char16_t(0xdc00 + (cp & 0x3ff));
        } else {
            *w++ = char16_t(cp);
        }
    }
    return nullptr;
}

} // namespace

// Decoded into a buffer of the line's size first: the name then takes only the room it needs,
// not the rest of its (possibly long) line.
const char *parseEscaped(const char *p, const char *end, char terminator, QString &out)
{
    thread_local std::vector<char16_t> buffer;
    if (buffer.size() < size_t(end - p))
        buffer.resize(size_t(end - p));
    char16_t *w = buffer.data();
    const char *result = decode(p, end, terminator, w);
    out.append(QStringView(buffer.data(), w - buffer.data()));
    return result;
}

const char *parseEscapedData(const char *p, const char *end, char terminator, QByteArray &out)
{
    out.resize((end - p + 1) * 2);
    char16_t *const base = reinterpret_cast<char16_t *>(out.data());
    char16_t *w = base;
    const char *result = decode(p, end, terminator, w);
    *w++ = 0;
    out.truncate((w - base) * 2);
    return result;
}

QByteArray formatValue(QStringView name, quint32 type, const QByteArray &data)
{
    QByteArray line;
    line.reserve(name.size() + data.size() * 3 + 16);
    if (name.isEmpty()) {
        line.append("@=");
    } else {
        line.append('"');
        appendEscaped(line, name, '"', '"');
        line.append("\"=");
    }
    const qsizetype len = data.size();
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ:
        if (len >= 2 && len % 2 == 0 && data[len - 1] == 0 && data[len - 2] == 0) {
            if (type != REG_SZ) {
                line.append("str(");
                appendHex(line, type, 1);
                line.append("):");
            }
            line.append('"');
            // the terminating NUL stays implicit
            const auto *units = reinterpret_cast<const char16_t *>(data.constData());
            appendEscaped(line, QStringView(units, len / 2 - 1), '"', '"');
            line.append("\"\n");
            return line;
        }
        break;
    case REG_DWORD:
        if (len == 4) {
            quint32 dw;
            std::memcpy(&dw, data.constData(), 4);
            line.append("dword:");
            appendHex(line, dw, 8);
            line.append('\n');
            return line;
        }
        break;
    default:
        break;
    }
    if (type == REG_BINARY) {
        line.append("hex:");
    } else {
        line.append("hex(");
        appendHex(line, type, 1);
        line.append("):");
    }
    // Wine wraps after a comma once the line passes 76 characters.
    qsizetype count = line.size();
    for (qsizetype i = 0; i < len; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        line.append(hexDigits[b >> 4]);
        line.append(hexDigits[b & 0xf]);
        count += 2;
        if (i < len - 1) {
            line.append(',');
            if (++count > 76) {
                line.append("\\\n  ");
                count = 2;
            }
        }
    }
    line.append('\n');
    return line;
}

QString fold(const QString &name)
{
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if ((u >= 'A' && u <= 'Z') || (u >= 0x80 && QChar::toLower(char32_t(u)) != u))
            return fold(QStringView(name));
    }
    return name; // shares the name's text
}

QString fold(QStringView name)
{
    QString result(name.size(), Qt::Uninitialized);
    char16_t *w = reinterpret_cast<char16_t *>(result.data());
    for (const QChar c : name)
        *w++ = foldUnit(c.unicode());
    return result;
}

} // namespace regtext
