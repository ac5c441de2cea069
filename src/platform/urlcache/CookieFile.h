#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace urlcache {

// One persistent cookie of a cookie text file (nine lines per cookie, closed by "*").
struct Cookie
{
    QByteArray name;
    QByteArray value;
    QByteArray domainPath;
    quint32 flags = 0;
    quint64 expiry = 0;
    quint64 creation = 0;
    bool operator==(const Cookie &) const = default;
};

// Accepts LF and CRLF and a missing final newline; a damaged record is skipped up to the
// next "*" line.
QList<Cookie> parseCookieFile(QByteArrayView text);
QByteArray formatCookieFile(const QList<Cookie> &cookies);

} // namespace urlcache
