/* Lists every entry of the Content, Cookies and History containers with the
   non-Ex enumeration (the Ex functions are stubs in Wine). */
#include "common.h"

static int list_container(const char *label, const char *pattern)
{
    DWORD size = 4096;
    INTERNET_CACHE_ENTRY_INFOA *info = HeapAlloc(GetProcessHeap(), 0, size);
    HANDLE find;
    int count = 0;

    printf("== %s (pattern \"%s\")\n", label, pattern);
    for (;;) {
        DWORD need = size;
        find = FindFirstUrlCacheEntryA(pattern, info, &need);
        if (find || GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
        /* The position does not advance on 122: ask again with more room. */
        size = need;
        info = HeapReAlloc(GetProcessHeap(), 0, info, size);
    }
    if (!find) {
        DWORD err = GetLastError();
        HeapFree(GetProcessHeap(), 0, info);
        if (err == ERROR_NO_MORE_ITEMS) {
            printf("count %s: 0\n", label);
            return 0;
        }
        printf("FAIL FindFirstUrlCacheEntryA error %lu\n", err);
        return -1;
    }

    for (;;) {
        DWORD need;
        count++;
        printf("url      ");
        print_bytes(info->lpszSourceUrlName);
        printf("\n  file   ");
        print_bytes(info->lpszLocalFileName);
        printf("\n  size %lu  type 0x%08lX  hits %lu  uses %lu  header %lu bytes  ext ",
               (unsigned long)info->dwSizeLow, (unsigned long)info->CacheEntryType,
               (unsigned long)info->dwHitRate, (unsigned long)info->dwUseCount,
               (unsigned long)info->dwHeaderInfoSize);
        print_bytes(info->lpszFileExtension);
        printf("\n  modified ");
        print_filetime(info->LastModifiedTime);
        printf("  accessed ");
        print_filetime(info->LastAccessTime);
        printf("  expires ");
        print_filetime(info->ExpireTime);
        printf("\n");

        for (;;) {
            need = size;
            if (FindNextUrlCacheEntryA(find, info, &need))
                break;
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
                goto done;
            size = need;
            info = HeapReAlloc(GetProcessHeap(), 0, info, size);
        }
    }
done:
    if (GetLastError() != ERROR_NO_MORE_ITEMS)
        printf("FAIL FindNextUrlCacheEntryA error %lu\n", GetLastError());
    FindCloseUrlCache(find);
    HeapFree(GetProcessHeap(), 0, info);
    printf("count %s: %d\n", label, count);
    return count;
}

int main(void)
{
    int content = list_container("content", "");
    int cookies = list_container("cookies", "Cookie:");
    int history = list_container("history", "Visited:");

    printf("== totals: content %d, cookies %d, history %d\n", content, cookies, history);
    return (content < 0 || cookies < 0 || history < 0) ? 1 : 0;
}
