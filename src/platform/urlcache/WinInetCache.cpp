#include "platform/urlcache/WinInetCache.h"

#include "platform/kernel/FileTime.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/LogCategories.h"
#include "platform/kernel/WinTypes.h"
#include "platform/urlcache/UrlCache.h"

#include <QFile>
#include <atomic>
#include <cstring>
#include <set>
#include <vector>

namespace wininet {

using namespace urlcache;
using platform::setLastError;

namespace {

constexpr DWORD IncludeByDefault = 0x2200F1C0;
constexpr DWORD WidenToAllContainers = 0x1;

std::atomic<bool> layerPresent{true};
// Sets the last error and, as Wine's traces do, says so at debug level; always false.
bool failed(const char *call, QByteArrayView url, DWORD code)
{
    setLastError(code);
    qCDebug(lcUrlCache) << call << url << "failed with" << code;
    return false;
}

UrlCache &cache()
{
    return *sharedUrlCache();
}

// A search in progress: the containers still to walk and the hash item reached.
struct Search
{
    std::vector<ContainerKind> containers;
    size_t container = 0;
    quint32 item = 0;
    DWORD filter = 0;
};

std::set<Search *> &searches()
{
    static std::set<Search *> live;
    return live;
}

std::vector<ContainerKind> containersForPattern(const char *pattern, DWORD flags)
{
    const std::vector<ContainerKind> all = {ContainerKind::Content, ContainerKind::Cookies,
                                            ContainerKind::History};
    if (!pattern)
        return all;
    const QByteArrayView p(pattern);
    if (p.startsWith(':'))
        return {};
    if (p.size() >= 7 && qstrnicmp(pattern, "Cookie:", 7) == 0)
        return {ContainerKind::Cookies};
    if (p.size() >= 8 && qstrnicmp(pattern, "Visited:", 8) == 0)
        return {ContainerKind::History};
    if (flags & WidenToAllContainers)
        return all;
    return {ContainerKind::Content};
}

// Content entries marked for another user ("~U:name" in the headers) are hidden unless asked.
bool belongsToUser(const UrlRecord &record, QByteArrayView user)
{
    const QByteArray headers = record.headerInfo.toByteArray().toLower();
    const qsizetype mark = headers.indexOf("~u:");
    if (mark < 0)
        return true;
    return headers.mid(mark + 3).startsWith(user.toByteArray().toLower());
}

bool passesFilter(const UrlRecord &record, ContainerKind kind, DWORD filter, QByteArrayView user)
{
    if ((record.entryType & ~(filter | IncludeByDefault)) != 0)
        return false;
    if (kind == ContainerKind::Content && !(filter & entrytype::OtherUser))
        return belongsToUser(record, user);
    return true;
}

DWORD align4(DWORD v)
{
    return (v + 3) & ~DWORD(3);
}

// The entry structure and its strings, laid out as WinINet lays them out.
struct EntryLayout
{
    QByteArray localPath;
    DWORD url = 0;
    DWORD path = 0;
    DWORD header = 0;
    DWORD extension = 0;
    DWORD size = 0;
};

EntryLayout layoutEntry(UrlCacheContainer &c, const IndexView &view, const UrlRecord &record)
{
    EntryLayout l;
    l.localPath = c.localFilePathBytes(view, record);
    DWORD at = sizeof(INTERNET_CACHE_ENTRY_INFOA);
    l.url = at;
    at += DWORD(record.url.size()) + 1;
    if (!l.localPath.isEmpty()) {
        l.path = at = align4(at);
        at += DWORD(l.localPath.size()) + 1;
    }
    if (!record.headerInfo.isEmpty()) {
        l.header = at = align4(at);
        at += DWORD(record.headerInfo.size());
    }
    if (record.hasExtension) {
        l.extension = at = align4(at);
        at += DWORD(record.extension.size()) + 1;
    }
    l.size = align4(at);
    return l;
}

FILETIME fileTime(quint64 v)
{
    return {DWORD(v), DWORD(v >> 32)};
}

char *copyString(char *base, DWORD offset, QByteArrayView text)
{
    char *dest = base + offset;
    std::memcpy(dest, text.data(), size_t(text.size()));
    dest[text.size()] = '\0';
    return dest;
}

void fillEntry(INTERNET_CACHE_ENTRY_INFOA *info, const EntryLayout &l, const UrlRecord &r)
{
    char *base = reinterpret_cast<char *>(info);
    std::memset(info, 0, sizeof *info);
    info->dwStructSize = sizeof *info;
    info->lpszSourceUrlName = copyString(base, l.url, r.url);
    if (l.path)
        info->lpszLocalFileName = copyString(base, l.path, l.localPath);
    info->CacheEntryType = r.entryType;
    info->dwUseCount = r.useCount;
    info->dwHitRate = r.hitRate;
    info->dwSizeLow = DWORD(r.fileSize);
    info->dwSizeHigh = DWORD(r.fileSize >> 32);
    info->LastModifiedTime = fileTime(r.lastModified);
    info->ExpireTime = fileTime(platform::dosDateTimeToFileTime(r.expireDate, r.expireTime));
    info->LastAccessTime = fileTime(r.lastAccess);
    info->LastSyncTime = fileTime(platform::dosDateTimeToFileTime(r.lastSyncDate, r.lastSyncTime));
    if (l.header) {
        info->lpHeaderInfo = base + l.header;
        std::memcpy(info->lpHeaderInfo, r.headerInfo.data(), size_t(r.headerInfo.size()));
        info->dwHeaderInfoSize = DWORD(r.headerInfo.size());
    }
    if (l.extension)
        info->lpszFileExtension = copyString(base, l.extension, r.extension);
    info->dwExemptDelta = r.exemptDelta;
}

// Fills the caller's buffer, or reports the size it needs.
bool deliver(UrlCacheContainer &c, const IndexView &view, const UrlRecord &record,
             INTERNET_CACHE_ENTRY_INFOA *info, DWORD *size)
{
    const EntryLayout l = layoutEntry(c, view, record);
    if (!info || *size < l.size) {
        *size = l.size;
        setLastError(win::ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    fillEntry(info, l, record);
    *size = l.size;
    return true;
}

enum class Step
{
    Delivered,
    TooSmall,
    End
};

// The target prefix is resolved once a step: that is most of a step's cost in a long walk.
Step advance(Search &s, INTERNET_CACHE_ENTRY_INFOA *info, DWORD *size)
{
    UrlCache &urls = cache();
    const QByteArray user = urls.userName();
    for (; s.container < s.containers.size(); ++s.container, s.item = 0) {
        UrlCacheContainer &c = urls.container(s.containers[s.container]);
        IndexFile *file = urls.openIndex(c);
        if (!file)
            continue;
        IndexLock lock(*file, false);
        const IndexView *view = lock.view();
        if (!view)
            continue;
        for (; s.item < view->itemCount(); ++s.item) {
            const auto record = view->urlRecordAt(s.item);
            if (!record || !passesFilter(*record, c.kind(), s.filter, user))
                continue;
            if (!deliver(c, *view, *record, info, size))
                return Step::TooSmall;
            c.setLastDelivered(s.item);
            ++s.item;
            return Step::Delivered;
        }
    }
    setLastError(win::ERROR_NO_MORE_ITEMS);
    return Step::End;
}

} // namespace

HANDLE FindFirstUrlCacheEntryExA(const char *lpszUrlSearchPattern, DWORD dwFlags, DWORD dwFilter,
                                 qint64 GroupId, INTERNET_CACHE_ENTRY_INFOA *lpFirstCacheEntryInfo,
                                 DWORD *lpcbEntryInfo, void *, DWORD *, void *)
{
    if (!lpcbEntryInfo) {
        setLastError(win::ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto search = std::make_unique<Search>();
    // No groups exist here, and an empty filter admits nothing.
    if (GroupId == 0 && dwFilter != 0)
        search->containers = containersForPattern(lpszUrlSearchPattern, dwFlags);
    search->filter = dwFilter;
    if (advance(*search, lpFirstCacheEntryInfo, lpcbEntryInfo) != Step::Delivered)
        return nullptr;
    searches().insert(search.get());
    return search.release();
}

BOOL FindNextUrlCacheEntryExA(HANDLE hEnumHandle, INTERNET_CACHE_ENTRY_INFOA *lpNextCacheEntryInfo,
                              DWORD *lpcbEntryInfo, void *, DWORD *, void *)
{
    auto *search = static_cast<Search *>(hEnumHandle);
    if (!searches().contains(search)) {
        setLastError(win::ERROR_INVALID_HANDLE);
        return false;
    }
    if (!lpcbEntryInfo) {
        setLastError(win::ERROR_INVALID_PARAMETER);
        return false;
    }
    return advance(*search, lpNextCacheEntryInfo, lpcbEntryInfo) == Step::Delivered;
}

BOOL FindCloseUrlCache(HANDLE hEnumHandle)
{
    auto *search = static_cast<Search *>(hEnumHandle);
    if (!searches().erase(search)) {
        setLastError(win::ERROR_INVALID_HANDLE);
        return false;
    }
    delete search;
    return true;
}

BOOL GetUrlCacheEntryInfoExA(const char *lpszUrl, INTERNET_CACHE_ENTRY_INFOA *lpCacheEntryInfo,
                             DWORD *lpcbCacheEntryInfo, char *lpszRedirectUrl,
                             DWORD *lpcbRedirectUrl, void *lpReserved, DWORD)
{
    if (!lpszUrl || !lpcbCacheEntryInfo || lpszRedirectUrl || lpcbRedirectUrl || lpReserved) {
        setLastError(win::ERROR_INVALID_PARAMETER);
        return false;
    }
    const QByteArrayView url(lpszUrl);
    UrlCacheContainer &c = cache().containerForUrl(url);
    IndexFile *file = cache().openIndex(c);
    if (!file)
        return failed("GetUrlCacheEntryInfoExA", url, win::ERROR_FILE_NOT_FOUND);
    IndexLock lock(*file, false);
    const auto record = lock.view() ? lock.view()->find(url, c.lastDelivered()) : std::nullopt;
    if (!record)
        return failed("GetUrlCacheEntryInfoExA", url, win::ERROR_FILE_NOT_FOUND);
    return deliver(c, *lock.view(), *record, lpCacheEntryInfo, lpcbCacheEntryInfo);
}

BOOL DeleteUrlCacheEntry(const char *lpszUrlName)
{
    if (!lpszUrlName) {
        setLastError(win::ERROR_INVALID_PARAMETER);
        return false;
    }
    const QByteArrayView url(lpszUrlName);
    switch (cache().deleteEntry(url)) {
    case UrlCache::DeleteResult::Deleted:
        return true;
    case UrlCache::DeleteResult::NotFound:
        return failed("DeleteUrlCacheEntry", url, win::ERROR_FILE_NOT_FOUND);
    case UrlCache::DeleteResult::ReadOnly:
    case UrlCache::DeleteResult::FileInUse:
        return failed("DeleteUrlCacheEntry", url, win::ERROR_ACCESS_DENIED);
    }
    return false;
}

struct UrlCacheBatch::Held
{
    std::shared_ptr<UrlCache> cache;
    UrlCache::Batch batch;
};

UrlCacheBatch::UrlCacheBatch()
{
    const std::shared_ptr<UrlCache> shared = sharedUrlCache();
    m_held.reset(new Held{shared, UrlCache::Batch(*shared)});
}

UrlCacheBatch::~UrlCacheBatch() = default;

QStringList unreadableContainers(const char *lpszUrlSearchPattern)
{
    QStringList files;
    for (ContainerKind kind : containersForPattern(lpszUrlSearchPattern, 0)) {
        UrlCacheContainer &c = cache().container(kind);
        if (c.unreadable())
            files << c.indexPath();
    }
    return files;
}

bool urlCacheLayerPresent()
{
    return layerPresent;
}

void setUrlCacheLayerPresent(bool present)
{
    layerPresent = present;
}

void setUrlCacheEnvironment(std::shared_ptr<UrlCacheEnvironment> environment)
{
    setSharedUrlCacheEnvironment(std::move(environment));
}

} // namespace wininet
