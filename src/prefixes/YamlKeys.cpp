#include "prefixes/YamlKeys.h"

namespace prefixes::yaml {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

struct Scalar
{
    std::optional<QString> value;
    qsizetype next; // where the line after the scalar starts
};

struct KeyLine
{
    QStringView key;
    qsizetype valueStart;
};

class Document
{
public:
    explicit Document(QByteArrayView bytes) : m_text(QString::fromUtf8(bytes))
    {
        if (m_text.startsWith(QChar(0xFEFF)))
            m_text.remove(0, 1);
        m_text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }

    // `key` at the top level when `section` is empty, else directly inside `section`.
    std::optional<QString> find(QStringView section, QStringView key) const
    {
        bool inSection = false;
        int childIndent = -1;
        qsizetype pos = 0;
        while (pos < m_text.size()) {
            const qsizetype lineEnd = endOfLine(pos);
            const qsizetype content = skipBlanks(pos, lineEnd);
            const int indent = int(content - pos);
            if (content == lineEnd || m_text[content] == u'#') {
                pos = after(lineEnd);
                continue;
            }
            const std::optional<KeyLine> line = splitKey(content, lineEnd);
            bool ofMapping = false; // a key of the top level or of the section
            if (indent == 0) {
                inSection = line && !section.isEmpty() && line->key == section &&
                            restIsEmpty(line->valueStart, lineEnd);
                if (inSection) {
                    childIndent = -1;
                    pos = after(lineEnd);
                    continue;
                }
                ofMapping = true;
            } else if (inSection) {
                if (childIndent < 0)
                    childIndent = indent;
                ofMapping = indent == childIndent;
            }
            if (!line || !ofMapping) {
                pos = after(lineEnd);
                continue;
            }
            // Every value of these mappings is read, so that a quoted one over several lines is
            // never taken for keys.
            const Scalar scalar = readScalar(line->valueStart, lineEnd, indent);
            if (line->key == key && (indent == 0) == section.isEmpty())
                return scalar.value;
            pos = scalar.next;
        }
        return std::nullopt;
    }

private:
    qsizetype endOfLine(qsizetype pos) const
    {
        const qsizetype end = m_text.indexOf(u'\n', pos);
        return end < 0 ? m_text.size() : end;
    }

    qsizetype after(qsizetype lineEnd) const { return qMin(lineEnd + 1, m_text.size()); }

    qsizetype skipBlanks(qsizetype pos, qsizetype end) const
    {
        while (pos < end && isBlank(m_text[pos]))
            ++pos;
        return pos;
    }

    bool restIsEmpty(qsizetype pos, qsizetype lineEnd) const
    {
        pos = skipBlanks(pos, lineEnd);
        return pos == lineEnd || m_text[pos] == u'#';
    }

    // `key:` followed by a blank or the end of the line; the key plain or quoted.
    std::optional<KeyLine> splitKey(qsizetype content, qsizetype lineEnd) const
    {
        const auto colonEnds = [&](qsizetype colon) {
            return colon < lineEnd && m_text[colon] == u':' &&
                   (colon + 1 == lineEnd || isBlank(m_text[colon + 1]));
        };
        const QChar first = m_text[content];
        if (first == u'"' || first == u'\'') {
            const qsizetype close = m_text.indexOf(first, content + 1);
            if (close < 0 || close >= lineEnd || !colonEnds(close + 1))
                return std::nullopt;
            return KeyLine{QStringView(m_text).sliced(content + 1, close - content - 1), close + 2};
        }
        for (qsizetype i = content; i < lineEnd; ++i) {
            if (m_text[i] == u'#' && i > content && isBlank(m_text[i - 1]))
                return std::nullopt;
            if (colonEnds(i))
                return KeyLine{QStringView(m_text).sliced(content, i - content).trimmed(), i + 1};
        }
        return std::nullopt;
    }

    Scalar readScalar(qsizetype pos, qsizetype lineEnd, int keyIndent) const
    {
        pos = skipBlanks(pos, lineEnd);
        if (pos == lineEnd || m_text[pos] == u'#')
            return {std::nullopt, after(lineEnd)};
        const QChar first = m_text[pos];
        std::optional<Scalar> quoted;
        if (first == u'\'')
            quoted = readQuoted(pos + 1, false);
        else if (first == u'"')
            quoted = readQuoted(pos + 1, true);
        else if (QStringView(u"|>[{&*!%@`").contains(first))
            return {std::nullopt, after(lineEnd)};
        else
            return readPlain(pos, lineEnd, keyIndent);
        // A damaged quoted value is no value; reading goes on with the next line.
        return quoted ? *quoted : Scalar{std::nullopt, after(lineEnd)};
    }

    // The text of a plain scalar's line, without a comment and surrounding blanks.
    QStringView plainPart(qsizetype pos, qsizetype lineEnd) const
    {
        qsizetype end = pos;
        while (end < lineEnd && !(m_text[end] == u'#' && end > pos && isBlank(m_text[end - 1])))
            ++end;
        return QStringView(m_text).sliced(pos, end - pos).trimmed();
    }

    // Continues on the following lines indented deeper than its key, one space for each line
    // break and a line break for each empty line between.
    Scalar readPlain(qsizetype pos, qsizetype lineEnd, int keyIndent) const
    {
        QString value = plainPart(pos, lineEnd).toString();
        int emptyLines = 0;
        qsizetype next = after(lineEnd);
        while (next < m_text.size()) {
            const qsizetype end = endOfLine(next);
            const qsizetype content = skipBlanks(next, end);
            if (content == end) {
                ++emptyLines;
                next = after(end);
                continue;
            }
            if (content - next <= keyIndent || m_text[content] == u'#')
                break;
            value += emptyLines > 0 ? QString(emptyLines, u'\n') : QStringLiteral(" ");
            value += plainPart(content, end);
            emptyLines = 0;
            next = after(end);
        }
        if (value == u"~" || value == u"null" || value == u"Null" || value == u"NULL")
            return {std::nullopt, next};
        return {value, next};
    }

    // From after the opening quote to the closing one; nothing when it is damaged.
    std::optional<Scalar> readQuoted(qsizetype pos, bool doubleQuoted) const
    {
        QString value;
        qsizetype kept = 0; // escaped characters are content, even blanks before a line break
        while (pos < m_text.size()) {
            const QChar c = m_text[pos];
            if (c == u'\n') {
                pos = fold(value, kept, pos);
            } else if (!doubleQuoted && c == u'\'') {
                if (pos + 1 < m_text.size() && m_text[pos + 1] == u'\'') {
                    value += c;
                    pos += 2;
                } else {
                    return Scalar{value, after(endOfLine(pos))};
                }
            } else if (doubleQuoted && c == u'"') {
                return Scalar{value, after(endOfLine(pos))};
            } else if (doubleQuoted && c == u'\\') {
                if (pos + 1 < m_text.size() && m_text[pos + 1] == u'\n') {
                    pos = skipBlanks(pos + 2, m_text.size());
                    continue;
                }
                pos = readEscape(pos + 1, value);
                if (pos < 0)
                    return std::nullopt;
                kept = value.size();
            } else {
                value += c;
                ++pos;
            }
        }
        return std::nullopt;
    }

    // A line break inside quotes: one space, or a line break for each empty line that follows.
    qsizetype fold(QString &value, qsizetype kept, qsizetype pos) const
    {
        while (value.size() > kept && isBlank(value.back()))
            value.chop(1);
        int emptyLines = 0;
        pos = skipBlanks(pos + 1, m_text.size());
        while (pos < m_text.size() && m_text[pos] == u'\n') {
            ++emptyLines;
            pos = skipBlanks(pos + 1, m_text.size());
        }
        value += emptyLines > 0 ? QString(emptyLines, u'\n') : QStringLiteral(" ");
        return pos;
    }

    // The escape after a backslash: where the text goes on, or -1 when it is no escape.
    qsizetype readEscape(qsizetype pos, QString &value) const
    {
        if (pos >= m_text.size())
            return -1;
        const char16_t e = m_text[pos].unicode();
        const int digits = e == u'x' ? 2 : e == u'u' ? 4 : e == u'U' ? 8 : 0;
        if (digits > 0) {
            if (pos + digits >= m_text.size())
                return -1;
            char32_t code = 0;
            for (int i = 1; i <= digits; ++i) {
                const int digit = hexDigit(m_text[pos + i]);
                if (digit < 0)
                    return -1;
                code = code * 16 + char32_t(digit);
            }
            if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                return -1;
            value += QString::fromUcs4(&code, 1);
            return pos + digits + 1;
        }
        static constexpr struct
        {
            char16_t escape;
            char16_t character;
        } simple[] = {{u'0', 0},    {u'a', 7},      {u'b', 8},     {u't', 9},      {u'\t', 9},
                      {u'n', 10},   {u'v', 11},     {u'f', 12},    {u'r', 13},     {u'e', 27},
                      {u' ', u' '}, {u'"', u'"'},   {u'/', u'/'},  {u'\\', u'\\'}, {u'N', 0x85},
                      {u'_', 0xA0}, {u'L', 0x2028}, {u'P', 0x2029}};
        for (const auto &entry : simple) {
            if (entry.escape == e) {
                value += QChar(entry.character);
                return pos + 1;
            }
        }
        return -1;
    }

    static int hexDigit(QChar c)
    {
        if (c >= u'0' && c <= u'9')
            return c.unicode() - u'0';
        if (c >= u'a' && c <= u'f')
            return c.unicode() - u'a' + 10;
        if (c >= u'A' && c <= u'F')
            return c.unicode() - u'A' + 10;
        return -1;
    }

    QString m_text;
};

} // namespace

std::optional<QString> topLevelValue(QByteArrayView text, QStringView key)
{
    return Document(text).find({}, key);
}

std::optional<QString> sectionValue(QByteArrayView text, QStringView section, QStringView key)
{
    return Document(text).find(section, key);
}

} // namespace prefixes::yaml
