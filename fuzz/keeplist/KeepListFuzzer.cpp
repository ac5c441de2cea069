// Reads arbitrary input as a list of cookies to keep. Each site read is in the form the list
// keeps, keeps its own cookies, and the sites written one a line read back the same.
#include "privacy/CookieKeepList.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const CookieKeepList list = CookieKeepList::parse(
        QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!list.usable())
        return 0;
    QByteArray written;
    for (const QString &site : list.sites()) {
        check(CookieKeepList::site(site) == site);
        check(list.keeps(site));
        check(list.keepsCookie(QStringLiteral("Cookie:user@") + site + QLatin1Char('/')));
        written += site.toUtf8() + '\n';
    }
    check(CookieKeepList::parse(written).sites() == list.sites());
    return 0;
}
