#include "platform/urlcache/UrlHistoryStore.h"

#include "platform/kernel/AnsiCodePage.h"
#include "platform/kernel/FileTime.h"
#include "platform/kernel/LogCategories.h"
#include "platform/urlcache/IndexDatLayout.h"
#include "platform/urlcache/UrlCache.h"

namespace urlhistory {

using namespace urlcache;

namespace {

constexpr quint8 HeaderItem = 0x02;
constexpr quint8 TitleItem = 0x10;
constexpr quint8 WideTextValue = 0x1F;
constexpr qsizetype ItemHead = 4;

void appendU16(QByteArray &out, quint16 v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

STATURL statUrlOf(const UrlRecord &record, QByteArrayView url)
{
    STATURL s;
    s.pwcsUrl = AnsiCodePage::toUnicode(url);
    s.pwcsTitle = titleOfHeaderData(record.headerInfo);
    s.ftLastVisited = record.lastAccess;
    s.ftLastUpdated = record.lastModified;
    s.ftExpires = platform::dosDateTimeToFileTime(record.expireDate, record.expireTime);
    return s;
}

// Empties what `which` selects in every history container, as one clean-up; the number of
// records that had to stay.
int emptyHistory(const std::function<bool(const UrlRecord &)> &which)
{
    const std::shared_ptr<UrlCache> cache = sharedUrlCache();
    const UrlCache::Batch oneCleanUp(*cache);
    int kept = 0;
    for (UrlCacheContainer *c : cache->historyContainers())
        kept += cache->emptyContainer(*c, which).kept;
    if (kept > 0)
        qCDebug(lcUrlCache) << kept << "history records could not be deleted";
    return kept;
}

} // namespace

std::optional<QByteArrayView> visitedUrl(QByteArrayView recordUrl)
{
    QByteArrayView rest;
    if (recordUrl.startsWith("Visited:")) {
        rest = recordUrl.sliced(8);
    } else if (recordUrl.startsWith(':')) {
        const qsizetype close = recordUrl.indexOf(':', 1);
        if (close < 0)
            return std::nullopt;
        rest = recordUrl.sliced(close + 1);
    } else {
        return std::nullopt;
    }
    while (rest.startsWith(' '))
        rest = rest.sliced(1);
    // A logon name holds no "@"; the URL after it may.
    const qsizetype at = rest.indexOf('@');
    return at < 0 ? rest : rest.sliced(at + 1);
}

QString titleOfHeaderData(QByteArrayView data)
{
    const auto *bytes = reinterpret_cast<const uchar *>(data.data());
    qsizetype at = 0;
    while (at + ItemHead <= data.size()) {
        const quint16 size = layout::readU16(bytes + at);
        if (size < ItemHead || at + size > data.size())
            break; // the closing zero item, or a damaged list
        if (bytes[at + 2] == TitleItem && bytes[at + 3] == WideTextValue) {
            QString title;
            for (qsizetype i = at + ItemHead; i + 2 <= at + size; i += 2) {
                const char16_t unit = layout::readU16(bytes + i);
                if (unit == 0)
                    break;
                title.append(QChar(unit));
            }
            return title;
        }
        at += size;
    }
    return {};
}

QByteArray headerDataWithTitle(const QString &title)
{
    QByteArray data;
    appendU16(data, ItemHead + 4);
    data.append(char(HeaderItem));
    data.append('\0');
    data.append(4, '\0');
    appendU16(data, quint16(ItemHead + (title.size() + 1) * 2));
    data.append(char(TitleItem));
    data.append(char(WideTextValue));
    for (const QChar c : title)
        appendU16(data, c.unicode());
    appendU16(data, 0);
    data.append(4, '\0');
    return data;
}

HRESULT IEnumSTATURL::Next(quint32 celt, STATURL *rgelt, quint32 *pceltFetched)
{
    if (!rgelt)
        return E_POINTER;
    quint32 fetched = 0;
    const std::shared_ptr<UrlCache> cache = sharedUrlCache();
    UrlCacheContainer &history = cache->container(ContainerKind::History);
    if (IndexFile *file = cache->openIndex(history)) {
        IndexLock lock(*file, false);
        const IndexView *view = lock.view();
        while (view && fetched < celt && m_item < view->itemCount()) {
            const auto record = view->urlRecordAt(m_item++);
            if (!record)
                continue;
            if (const auto url = visitedUrl(record->url))
                rgelt[fetched++] = statUrlOf(*record, *url);
        }
    }
    if (pceltFetched)
        *pceltFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
}

HRESULT IEnumSTATURL::Reset()
{
    m_item = 0;
    return S_OK;
}

HRESULT IUrlHistoryStg2::EnumUrls(std::unique_ptr<IEnumSTATURL> &ppEnum)
{
    ppEnum = std::make_unique<IEnumSTATURL>();
    return S_OK;
}

HRESULT IUrlHistoryStg2::DeleteUrl(const QString &pocsUrl, quint32)
{
    const QByteArray target = AnsiCodePage::fromUnicode(pocsUrl);
    const int kept = emptyHistory([&](const UrlRecord &record) {
        const auto url = visitedUrl(record.url);
        return url && *url == target;
    });
    return kept == 0 ? S_OK : E_ACCESSDENIED;
}

HRESULT IUrlHistoryStg2::ClearHistory()
{
    const int kept = emptyHistory([this](const UrlRecord &) {
        if (OnStep)
            OnStep();
        return true;
    });
    return kept == 0 ? S_OK : E_ACCESSDENIED;
}

std::unique_ptr<IUrlHistoryStg2> createUrlHistory()
{
    return std::make_unique<IUrlHistoryStg2>();
}

QStringList unreadableHistoryContainers()
{
    const std::shared_ptr<UrlCache> cache = sharedUrlCache();
    QStringList files;
    for (UrlCacheContainer *c : cache->historyContainers())
        if (c->unreadable())
            files << c->indexPath();
    return files;
}

} // namespace urlhistory
