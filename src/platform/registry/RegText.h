#pragma once

#include <QByteArray>
#include <QString>

// Wine's text syntax for registry names and data, as used in user.reg and system.reg.
namespace regtext {

// Appends `text` escaped as Wine writes it; `q1` and `q2` are the delimiters that get a
// backslash besides the backslash itself ('"' for names and data, '[' and ']' for key names).
void appendEscaped(QByteArray &out, QStringView text, char q1, char q2);

// Reads escaped text from `p` up to the first unescaped `terminator` and appends it to `out`.
// Returns the position after the terminator, or nullptr when the text ends first.
const char *parseEscaped(const char *p, const char *end, char terminator, QString &out);
// The same, giving UTF-16LE bytes with a terminating NUL unit, as string values store them.
const char *parseEscapedData(const char *p, const char *end, char terminator, QByteArray &out);

// One value line exactly as Wine writes it, newline included. An empty name is the default value.
QByteArray formatValue(QStringView name, quint32 type, const QByteArray &data);

// The value of a hexadecimal digit, or -1 for any other character.
int hexValue(char c);
// Appends `value` in lower-case hexadecimal, padded with zeros to `minDigits` (at most 16).
void appendHex(QByteArray &out, unsigned value, int minDigits);

// Lower-cases each UTF-16 unit, the way Wine compares key and value names.
QString fold(QStringView name);
QString fold(const QString &name);

// One unit folded as fold() folds it.
inline char16_t foldUnit(char16_t u)
{
    if (u < 0x80)
        return (u >= 'A' && u <= 'Z') ? char16_t(u + 32) : u;
    return char16_t(QChar::toLower(char32_t(u)));
}

// Compares fold(a) with fold(b), unit by unit, without making either.
inline int compareFolded(QStringView a, QStringView b)
{
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = foldUnit(a[i].unicode());
        const char16_t y = foldUnit(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace regtext
