#include "SeedCache.h"

#include "platform/kernel/FileTime.h"
#include "platform/urlcache/CookieFile.h"
#include "platform/urlcache/UrlHistoryStore.h"
#include "platform/urlcache/WinInetCache.h"

#include <QBuffer>
#include <QImage>
#include <vector>

namespace seed {

using namespace urlcache;

namespace {

constexpr quint64 TicksPerDay = 864'000'000'000ULL;

struct Kind
{
    const char *extension;
    const char *mimeType;
};

const Kind Kinds[] = {{"html", "text/html"},
                      {"gif", "image/gif"},
                      {"jpg", "image/jpeg"},
                      {"css", "text/css"},
                      {"js", "application/javascript"},
                      {"htm", "text/html"},
                      {"png", "image/png"}};

QByteArray headers(const char *mimeType, const QByteArray &user)
{
    return QByteArray("HTTP/1.1 200 OK\r\nContent-Type: ") + mimeType + "\r\n\r\n~U:" + user +
           "\r\n";
}

QByteArray picture(const char *format, QRgb colour)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Qt writes no GIF: a 1x1 picture, byte by byte.
const char TinyGif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04"
                       "\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02"
                       "D"
                       "\x01\x00;";

QByteArray body(const Kind &kind, const QByteArray &title, int n)
{
    const QByteArray ext = kind.extension;
    if (ext == "gif")
        return QByteArray(TinyGif, sizeof TinyGif - 1);
    if (ext == "jpg" || ext == "png")
        return picture(ext == "jpg" ? "JPG" : ext.toUpper().constData(), qRgb(40 * n, 120, 200));
    if (ext == "css")
        return "body { font-family: sans-serif; margin: " + QByteArray::number(n % 20) + "px; }\n";
    if (ext == "js")
        return "document.title = '" + title + "';\n";
    return "<html><head><title>" + title + "</title></head><body><h1>" + title +
           "</h1><p>Sample page " + QByteArray::number(n) + ".</p></body></html>\n";
}

bool addContent(UrlCache &cache, const QByteArray &url, const Kind &kind, const QByteArray &title,
                int n)
{
    CommitRequest r;
    r.url = url;
    r.extension = kind.extension;
    r.fileContent = body(kind, title, n);
    r.headerInfo = headers(kind.mimeType, cache.userName());
    r.entryType = n % 11 == 0 ? entrytype::Sticky : entrytype::Normal;
    const quint64 now = platform::currentFileTime();
    r.lastModified = now - quint64(n % 30 + 1) * TicksPerDay;
    r.expire = now + quint64(n % 60 + 1) * TicksPerDay;
    return cache.commitEntry(r).has_value();
}

// Wine's shape: type and times only in the text file, named after the domain and path.
bool addCookies(UrlCache &cache, const QByteArray &domainPath, const QList<Cookie> &cookies)
{
    CommitRequest r;
    r.url = "Cookie:" + cache.userName() + '@' + domainPath;
    r.extension = "txt";
    r.fileContent = formatCookieFile(cookies);
    return cache.commitEntry(r).has_value();
}

Cookie cookie(const QByteArray &name, const QByteArray &value, const QByteArray &domainPath,
              int days)
{
    const quint64 now = platform::currentFileTime();
    return {name, value, domainPath, 0, now + quint64(days) * TicksPerDay, now};
}

constexpr quint64 TicksPerMinute = 600'000'000ULL;

// As a native profile keeps a visit: the visit time in both times, the title in the header
// data.
bool addVisit(UrlCache &cache, const QByteArray &url, const QString &title, quint64 visited)
{
    CommitRequest r;
    r.url = "Visited: " + cache.userName() + '@' + url;
    r.withFile = false;
    r.headerInfo = urlhistory::headerDataWithTitle(title);
    r.lastModified = visited;
    r.lastAccess = visited;
    r.expire = visited + 20 * TicksPerDay;
    return cache.commitEntry(r).has_value();
}

} // namespace

int addCacheEntries(UrlCache &cache, int count)
{
    for (int n = 0; n < count; ++n) {
        const Kind &kind = Kinds[n % std::size(Kinds)];
        // Distinct file names, as a real cache mostly has: no numbering to probe.
        const QByteArray url = "http://www.site" + QByteArray::number(n % 200) + ".example/p" +
                               QByteArray::number(n) + "/item" + QByteArray::number(n) + '.' +
                               kind.extension;
        if (!addContent(cache, url, kind, "Item " + QByteArray::number(n), n))
            return n;
    }
    return count;
}

int addCookieEntries(UrlCache &cache, int count)
{
    for (int n = 0; n < count; ++n) {
        const QByteArray domainPath = "www.shop" + QByteArray::number(n) + ".example/";
        const QList<Cookie> cookies = {
            cookie("session", QByteArray::number(n * 7919), domainPath, 30),
            cookie("visits", QByteArray::number(n % 9), domainPath, 365)};
        if (!addCookies(cache, domainPath, cookies))
            return n;
    }
    return count;
}

// Visits spread over the last weeks, each at its own minute (odd seconds included, which the
// history shows rounded down to even ones), newest first.
int addHistoryEntries(UrlCache &cache, int count)
{
    static const char *const topics[] = {"Weather",  "Harbour news", "Recipes", "Train times",
                                         "Football", "Gardening",    "Concerts"};
    const quint64 now = platform::currentFileTime();
    for (int n = 0; n < count; ++n) {
        const int site = n % 200;
        const QByteArray url = "http://www.site" + QByteArray::number(site) + ".example/article/" +
                               QByteArray::number(n) + ".html";
        const QString title = QStringLiteral("%1 %2 - Site %3")
                                  .arg(QLatin1String(topics[n % std::size(topics)]))
                                  .arg(n)
                                  .arg(site);
        const quint64 visited =
            now - quint64(n) * 37 * TicksPerMinute - quint64(n % 60) * 10'000'000ULL;
        if (!addVisit(cache, url, title, visited))
            return n;
    }
    return count;
}

bool addDemoEntries(UrlCache &cache)
{
    struct Page
    {
        const char *url;
        int kind;
        const char *title;
    };
    const Page pages[] = {
        {"http://www.example.com/index.html", 0, "Example Home"},
        {"http://www.example.com/images/logo.gif", 1, "Logo"},
        {"http://news.example.org/story.htm?id=7", 5, "Morning News"},
        {"http://news.example.org/photos/harbour.jpg", 2, "Harbour"},
        {"http://shop.example.net/style/main.css", 3, "Style"},
        {"http://shop.example.net/scripts/cart.js", 4, "Cart"},
        {"http://weather.example.com/maps/today.png", 6, "Weather map"},
        {"http://www.example.com/", 0, "Example"},
    };
    bool ok = true;
    int n = 1;
    for (const Page &p : pages)
        ok &= addContent(cache, p.url, Kinds[p.kind], p.title, n++);

    ok &= addCookies(cache, "www.example.com/",
                     {cookie("session", "abc123", "www.example.com/", 7),
                      cookie("lang", "de", "www.example.com/", 365)});
    ok &= addCookies(cache, "shop.example.net/", {cookie("basket", "42", "shop.example.net/", 30)});
    ok &= addCookies(cache, "news.example.org/sport",
                     {cookie("layout", "compact", "news.example.org/sport", 90)});
    ok &= addCookies(cache, "ads.example.biz/",
                     {cookie("track", "u-93f1c2", "ads.example.biz/", 720),
                      cookie("seen", "17", "ads.example.biz/", 720)});

    struct Visit
    {
        const char *url;
        const char *title;
    };
    const Visit visits[] = {{"http://www.example.com/index.html", "Example Home"},
                            {"http://news.example.org/", "Morning News"},
                            {"http://news.example.org/story.htm?id=7", "Harbour reopens"},
                            {"http://shop.example.net/", "Shop - Start"},
                            {"http://weather.example.com/", "Weather today"},
                            {"http://www.example.com/contact.html", "Contact us"}};
    const quint64 now = platform::currentFileTime();
    quint64 minutesAgo = 17;
    for (const Visit &v : visits) {
        ok &=
            addVisit(cache, v.url, QString::fromLatin1(v.title), now - minutesAgo * TicksPerMinute);
        minutesAgo += 23 * 60 + 11;
    }
    return ok;
}

void listEntries(const char *pattern, QTextStream &out)
{
    using namespace wininet;
    std::vector<char> buffer;
    const auto fetch = [&](auto call) {
        DWORD size = 0;
        call(nullptr, &size);
        buffer.assign(size, 0);
        return call(reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA *>(buffer.data()), &size);
    };
    const auto print = [&] {
        const auto *info = reinterpret_cast<const INTERNET_CACHE_ENTRY_INFOA *>(buffer.data());
        out << info->lpszSourceUrlName << '\t'
            << (info->lpszLocalFileName ? info->lpszLocalFileName : "") << '\t'
            << (quint64(info->dwSizeHigh) << 32 | info->dwSizeLow) << '\n';
    };
    HANDLE search = nullptr;
    const bool found = fetch([&](INTERNET_CACHE_ENTRY_INFOA *info, DWORD *size) {
        search = FindFirstUrlCacheEntryExA(pattern, 0, 0xFFFFFFFF, 0, info, size, nullptr, nullptr,
                                           nullptr);
        return search != nullptr;
    });
    if (!found)
        return;
    print();
    while (fetch([&](INTERNET_CACHE_ENTRY_INFOA *info, DWORD *size) {
        return FindNextUrlCacheEntryExA(search, info, size, nullptr, nullptr, nullptr) != 0;
    }))
        print();
    FindCloseUrlCache(search);
}

} // namespace seed
