#include "platform/urlcache/CookieFile.h"

#include <optional>

namespace urlcache {

namespace {

constexpr qsizetype LinesPerCookie = 9;

QList<QByteArrayView> splitLines(QByteArrayView text)
{
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        QByteArrayView line = text.sliced(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
        start = end + 1;
    }
    return lines;
}

std::optional<quint32> decimal(QByteArrayView line)
{
    bool ok = false;
    const qulonglong v = line.trimmed().toULongLong(&ok);
    if (!ok || v > 0xFFFFFFFFULL)
        return std::nullopt;
    return quint32(v);
}

std::optional<Cookie> parseRecord(const QList<QByteArrayView> &lines, qsizetype at)
{
    if (at + LinesPerCookie > lines.size() || lines[at + 8] != "*")
        return std::nullopt;
    std::optional<quint32> numbers[5];
    for (int i = 0; i < 5; ++i)
        if (!(numbers[i] = decimal(lines[at + 3 + i])))
            return std::nullopt;
    Cookie c;
    c.name = lines[at].toByteArray();
    c.value = lines[at + 1].toByteArray();
    c.domainPath = lines[at + 2].toByteArray();
    c.flags = *numbers[0];
    c.expiry = quint64(*numbers[2]) << 32 | *numbers[1];
    c.creation = quint64(*numbers[4]) << 32 | *numbers[3];
    return c;
}

} // namespace

QList<Cookie> parseCookieFile(QByteArrayView text)
{
    const QList<QByteArrayView> lines = splitLines(text);
    QList<Cookie> cookies;
    qsizetype at = 0;
    while (at < lines.size()) {
        if (auto cookie = parseRecord(lines, at)) {
            cookies.append(*cookie);
            at += LinesPerCookie;
            continue;
        }
        while (at < lines.size() && lines[at] != "*")
            ++at;
        ++at;
    }
    return cookies;
}

QByteArray formatCookieFile(const QList<Cookie> &cookies)
{
    QByteArray out;
    for (const Cookie &c : cookies) {
        out += c.name + '\n' + c.value + '\n' + c.domainPath + '\n';
        out += QByteArray::number(c.flags) + '\n';
        out += QByteArray::number(quint32(c.expiry)) + '\n';
        out += QByteArray::number(quint32(c.expiry >> 32)) + '\n';
        out += QByteArray::number(quint32(c.creation)) + '\n';
        out += QByteArray::number(quint32(c.creation >> 32)) + '\n';
        out += "*\n";
    }
    return out;
}

} // namespace urlcache
