#pragma once

#include "platform/urlcache/UrlCacheEnvironment.h"

#include <QStringList>
#include <QtGlobal>
#include <memory>

// The WinINet URL cache calls, with WinINet's meaning, over the target prefix's containers.
// Failures set the thread's last error (platform/LastError.h).
namespace wininet {

using DWORD = quint32;
using BOOL = int;
using HANDLE = void *;

struct FILETIME
{
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct INTERNET_CACHE_ENTRY_INFOA
{
    DWORD dwStructSize;
    char *lpszSourceUrlName;
    char *lpszLocalFileName;
    DWORD CacheEntryType;
    DWORD dwUseCount;
    DWORD dwHitRate;
    DWORD dwSizeLow;
    DWORD dwSizeHigh;
    FILETIME LastModifiedTime;
    FILETIME ExpireTime;
    FILETIME LastAccessTime;
    FILETIME LastSyncTime;
    char *lpHeaderInfo;
    DWORD dwHeaderInfoSize;
    char *lpszFileExtension;
    DWORD dwExemptDelta;
};

HANDLE FindFirstUrlCacheEntryExA(const char *lpszUrlSearchPattern, DWORD dwFlags, DWORD dwFilter,
                                 qint64 GroupId, INTERNET_CACHE_ENTRY_INFOA *lpFirstCacheEntryInfo,
                                 DWORD *lpcbEntryInfo, void *lpGroupAttributes,
                                 DWORD *lpcbGroupAttributes, void *lpReserved);
BOOL FindNextUrlCacheEntryExA(HANDLE hEnumHandle, INTERNET_CACHE_ENTRY_INFOA *lpNextCacheEntryInfo,
                              DWORD *lpcbEntryInfo, void *lpGroupAttributes,
                              DWORD *lpcbGroupAttributes, void *lpReserved);
BOOL FindCloseUrlCache(HANDLE hEnumHandle);
BOOL GetUrlCacheEntryInfoExA(const char *lpszUrl, INTERNET_CACHE_ENTRY_INFOA *lpCacheEntryInfo,
                             DWORD *lpcbCacheEntryInfo, char *lpszRedirectUrl,
                             DWORD *lpcbRedirectUrl, void *lpReserved, DWORD dwFlags);
BOOL DeleteUrlCacheEntry(const char *lpszUrlName);

// Not a WinINet call: while one lives, the calls above work as one clean-up (each container
// locked and the prefix's write lease taken once, one flush to disk at the end), as WinINet
// itself works inside one mutex of the wineserver.
class UrlCacheBatch
{
public:
    UrlCacheBatch();
    ~UrlCacheBatch();
    UrlCacheBatch(const UrlCacheBatch &) = delete;
    UrlCacheBatch &operator=(const UrlCacheBatch &) = delete;

private:
    struct Held;
    std::unique_ptr<Held> m_held;
};

// Not a WinINet call: the index files of the containers that a search for the pattern walks
// and that are there but cannot be read. WinINet would start a damaged one anew; here the
// search passes over it, and nothing in it is deleted.
QStringList unreadableContainers(const char *lpszUrlSearchPattern);

// Whether the URL cache layer is there at all (it stands in for loading the library).
bool urlCacheLayerPresent();
void setUrlCacheLayerPresent(bool present);

// The containers the calls work on; by default those of the target prefix.
void setUrlCacheEnvironment(std::shared_ptr<urlcache::UrlCacheEnvironment> environment);

} // namespace wininet
