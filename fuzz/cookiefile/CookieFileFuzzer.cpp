// Parses arbitrary input as a cookie text file. What parses must format and parse again to
// the same cookies.
#include "platform/urlcache/CookieFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView text(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<urlcache::Cookie> cookies = urlcache::parseCookieFile(text);
    QList<urlcache::Cookie> lineSafe;
    for (const urlcache::Cookie &c : cookies) {
        // A name or value with a line break cannot survive the nine-line format.
        if (!c.name.contains('\n') && !c.value.contains('\n') && !c.domainPath.contains('\n') &&
            !c.name.contains('\r') && !c.value.contains('\r') && !c.domainPath.contains('\r') &&
            c.name != "*" && c.value != "*" && c.domainPath != "*")
            lineSafe << c;
    }
    if (urlcache::parseCookieFile(urlcache::formatCookieFile(lineSafe)) != lineSafe)
        __builtin_trap();
    return 0;
}
