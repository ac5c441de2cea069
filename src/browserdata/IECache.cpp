#include "browserdata/IECache.h"

#include "platform/kernel/AnsiCodePage.h"
#include "platform/kernel/LastError.h"

#include <QFile>
#include <array>
#include <cstring>
#include <memory>

using namespace wininet;

bool LibraryLoaded = TIECache::CheckLibrary();

namespace {

constexpr quint32 ErrorNotUsable = 2;

constexpr std::array<quint32, 9> FilterOptionFlags = {
    0x1, 0x2, 0x4, 0x100000, 0x200000, 0x10, 0x20, 0x10000, 0x20000,
};

const char *patternString(TSearchPattern pattern)
{
    switch (pattern) {
    case spCookies:
        return "Cookie:";
    case spHistory:
        return "Visited:";
    case spUrl:
        return "";
    case spAll:
        break;
    }
    return nullptr;
}

quint64 fileTimeValue(const FILETIME &ft)
{
    return quint64(ft.dwHighDateTime) << 32 | ft.dwLowDateTime;
}

// The calls' strings are ANSI text; the code page maps every byte to one character and back,
// so that a URL found is always the URL asked for again.
QString textOf(const char *text)
{
    return text ? AnsiCodePage::toUnicode(text) : QString();
}

} // namespace

TIECache::TIECache(QObject *owner) : QObject(owner)
{
    ClearEntry();
    SetFilterOptions(StandardEntryFilter);
}

void TIECache::SetFilterOptions(TFilterOptions options)
{
    m_filterOptions = options;
    m_filterFlags = 0;
    if (options.isEmpty())
        return;
    for (int o = NORMAL_ENTRY; o <= OCX_ENTRY; ++o)
        if (options.contains(TFilterOption(o)))
            m_filterFlags += FilterOptionFlags[o];
}

bool TIECache::CheckLibrary()
{
    return LibraryLoaded || urlCacheLayerPresent();
}

// Asks for the size first, then fills a heap buffer of exactly that size.
template <typename Call> quint32 TIECache::fetchEntry(Call call)
{
    DWORD size = 0;
    call(nullptr, &size);
    std::unique_ptr<char[]> buffer(size ? new char[size] : nullptr);
    auto *info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA *>(buffer.get());
    if (!call(info, &size))
        return platform::lastError();
    copyEntry(*info);
    return 0;
}

quint32 TIECache::FindFirstEntry(qint64 GroupID)
{
    if (!CheckLibrary())
        return ErrorNotUsable;
    SearchHandle = nullptr;
    const char *pattern = patternString(SearchPattern);
    return fetchEntry([&](INTERNET_CACHE_ENTRY_INFOA *info, DWORD *size) {
        SearchHandle = FindFirstUrlCacheEntryExA(pattern, 0, m_filterFlags, GroupID, info, size,
                                                 nullptr, nullptr, nullptr);
        return SearchHandle != nullptr;
    });
}

quint32 TIECache::FindNextEntry()
{
    if (!CheckLibrary())
        return ErrorNotUsable;
    return fetchEntry([&](INTERNET_CACHE_ENTRY_INFOA *info, DWORD *size) {
        return FindNextUrlCacheEntryExA(SearchHandle, info, size, nullptr, nullptr, nullptr) != 0;
    });
}

void TIECache::closeSearch()
{
    FindCloseUrlCache(SearchHandle);
    SearchHandle = nullptr;
}

void TIECache::RetrieveEntries(qint64 GroupID)
{
    if (!CheckLibrary())
        return;
    m_cancel = false;
    quint32 r = FindFirstEntry(GroupID);
    if (r == 0) {
        if (OnEntry)
            OnEntry(this, m_cancel);
        while (r == 0 && !m_cancel) {
            r = FindNextEntry();
            if (r == 0 && OnEntry)
                OnEntry(this, m_cancel);
            if (OnStep)
                OnStep();
        }
    }
    closeSearch();
}

quint32 TIECache::GetEntryInfo(const QString &URL)
{
    if (!CheckLibrary())
        return ErrorNotUsable;
    const QByteArray url = AnsiCodePage::fromUnicode(URL);
    return fetchEntry([&](INTERNET_CACHE_ENTRY_INFOA *info, DWORD *size) {
        return GetUrlCacheEntryInfoExA(url.constData(), info, size, nullptr, nullptr, nullptr, 0) !=
               0;
    });
}

quint32 TIECache::deleteUrl(const QByteArray &url)
{
    if (!CheckLibrary())
        return 0;
    if (!DeleteUrlCacheEntry(url.constData()))
        return platform::lastError();
    ClearEntry();
    return 0;
}

quint32 TIECache::DeleteEntry(const QString &URL)
{
    return deleteUrl(AnsiCodePage::fromUnicode(URL));
}

void TIECache::DeleteAllEntries(const std::function<bool(const QString &URL)> &Keep)
{
    if (!CheckLibrary())
        return;
    const UrlCacheBatch oneCleanUp;
    quint32 r = FindFirstEntry(0);
    // Any failure other than the end of the walk would repeat itself: stop there too.
    while (r == 0) {
        if (!Keep || !Keep(Entry.SourceUrlName))
            deleteUrl(m_entryUrl);
        if (OnStep)
            OnStep();
        r = FindNextEntry();
    }
    closeSearch();
}

QStringList TIECache::UnreadableContainers() const
{
    if (!CheckLibrary())
        return {};
    return unreadableContainers(patternString(SearchPattern));
}

void TIECache::ClearEntry()
{
    if (!CheckLibrary())
        return;
    Entry = TEntryInfo();
    m_entryUrl.clear();
}

void TIECache::copyEntry(const INTERNET_CACHE_ENTRY_INFOA &info)
{
    m_entryUrl = QByteArray(info.lpszSourceUrlName ? info.lpszSourceUrlName : "");
    Entry.SourceUrlName = textOf(m_entryUrl.constData());
    Entry.LocalFileName =
        info.lpszLocalFileName ? QFile::decodeName(info.lpszLocalFileName) : QString();
    Entry.EntryType = info.CacheEntryType;
    Entry.UseCount = info.dwUseCount;
    Entry.HitRate = info.dwHitRate;
    Entry.Size = qint32(info.dwSizeLow);
    Entry.LastModifiedTime = FileTimeToDateTime(fileTimeValue(info.LastModifiedTime));
    Entry.ExpireTime = FileTimeToDateTime(fileTimeValue(info.ExpireTime));
    Entry.LastAccessTime = FileTimeToDateTime(fileTimeValue(info.LastAccessTime));
    Entry.LastSyncTime = FileTimeToDateTime(fileTimeValue(info.LastSyncTime));
    // The header info carries its size and need not end in a zero byte.
    const char *header = info.lpHeaderInfo;
    const qsizetype headerSize = header ? qsizetype(qstrnlen(header, info.dwHeaderInfoSize)) : 0;
    Entry.HeaderInfo = AnsiCodePage::toUnicode(QByteArrayView(header, headerSize));
    Entry.FileExtension = textOf(info.lpszFileExtension);
    Entry.ExemptDelta = info.dwExemptDelta;
}

TDateTime TIECache::FileTimeToDateTime(quint64 fileTime)
{
    TDateTime result = 0;
    const auto local = platform::fileTimeToLocalFileTime(fileTime);
    if (!local)
        return result;
    if (const auto system = platform::fileTimeToSystemTime(*local))
        result = platform::encodeDateTime(*system);
    return result;
}
