/* Helpers shared by the Wine check programs. Plain C, built with mingw-w64. */
#ifndef WINE_CHECKS_COMMON_H
#define WINE_CHECKS_COMMON_H

#include <stdio.h>
#include <string.h>
#include <windows.h>
#include <wininet.h>

#ifndef URLHISTORY_CACHE_ENTRY
#define URLHISTORY_CACHE_ENTRY 0x00200000
#endif

/* Bytes >= 0x80 and control characters as \xNN, so the output shows exactly
   what went in or came out, whatever the terminal's encoding. */
static inline void print_bytes(const char *s)
{
    const unsigned char *p = (const unsigned char *)s;
    if (!s) {
        fputs("(null)", stdout);
        return;
    }
    for (; *p; p++) {
        if (*p >= 0x80 || *p < 0x20)
            printf("\\x%02X", *p);
        else
            putchar(*p);
    }
}

static inline void logon_name(char *buf, DWORD size)
{
    if (!GetUserNameA(buf, &size))
        strcpy(buf, "unknown");
}

static inline FILETIME utc_filetime(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s)
{
    SYSTEMTIME st;
    FILETIME ft;
    memset(&st, 0, sizeof st);
    st.wYear = y;
    st.wMonth = mo;
    st.wDay = d;
    st.wHour = h;
    st.wMinute = mi;
    st.wSecond = s;
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

static inline void print_filetime(FILETIME ft)
{
    SYSTEMTIME st;
    if (!ft.dwLowDateTime && !ft.dwHighDateTime) {
        fputs("0", stdout);
        return;
    }
    if (!FileTimeToSystemTime(&ft, &st)) {
        printf("0x%08lX%08lX", (unsigned long)ft.dwHighDateTime, (unsigned long)ft.dwLowDateTime);
        return;
    }
    printf("%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
           st.wSecond);
}

/* GetUrlCacheEntryInfoA into a heap buffer sized by a first query.
   Returns NULL (last error kept) when the entry cannot be read. */
static inline INTERNET_CACHE_ENTRY_INFOA *entry_info(const char *url)
{
    DWORD size = 0;
    INTERNET_CACHE_ENTRY_INFOA *info;
    if (GetUrlCacheEntryInfoA(url, NULL, &size))
        size = sizeof *info;
    else if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return NULL;
    info = HeapAlloc(GetProcessHeap(), 0, size);
    if (!info)
        return NULL;
    if (!GetUrlCacheEntryInfoA(url, info, &size)) {
        DWORD err = GetLastError();
        HeapFree(GetProcessHeap(), 0, info);
        SetLastError(err);
        return NULL;
    }
    return info;
}

/* Create the local file through the cache, write the body, commit.
   Prints the local path; returns FALSE after printing the failing call. */
static inline BOOL commit_content(const char *url, const char *ext, const char *ctype,
                                  const void *body, DWORD len, FILETIME modified, FILETIME expires,
                                  const char *user)
{
    char path[MAX_PATH];
    char header[512];
    HANDLE h;
    DWORD written;

    if (!CreateUrlCacheEntryA(url, len, ext, path, 0)) {
        printf("FAIL CreateUrlCacheEntryA ");
        print_bytes(url);
        printf(" error %lu\n", GetLastError());
        return FALSE;
    }
    h = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) {
        printf("FAIL CreateFileA ");
        print_bytes(path);
        printf(" error %lu\n", GetLastError());
        return FALSE;
    }
    if (!WriteFile(h, body, len, &written, NULL) || written != len) {
        printf("FAIL WriteFile error %lu\n", GetLastError());
        CloseHandle(h);
        return FALSE;
    }
    CloseHandle(h);

    snprintf(header, sizeof header, "HTTP/1.1 200 OK\r\nContent-Type: %s\r\n\r\n~U:%s\r\n", ctype,
             user);
    if (!CommitUrlCacheEntryA(url, path, expires, modified, NORMAL_CACHE_ENTRY, (BYTE *)header,
                              (DWORD)strlen(header), ext, NULL)) {
        printf("FAIL CommitUrlCacheEntryA ");
        print_bytes(url);
        printf(" error %lu\n", GetLastError());
        return FALSE;
    }
    printf("content  ");
    print_bytes(url);
    printf("\n         -> ");
    print_bytes(path);
    printf(" (%lu bytes)\n", (unsigned long)len);
    return TRUE;
}

static inline BOOL commit_visited(const char *user, const char *target, FILETIME modified,
                                  FILETIME expires)
{
    char url[1024];
    snprintf(url, sizeof url, "Visited: %s@%s", user, target);
    /* History records carry no local file and no header info. */
    if (!CommitUrlCacheEntryA(url, NULL, expires, modified, URLHISTORY_CACHE_ENTRY, NULL, 0, NULL,
                              NULL)) {
        printf("FAIL CommitUrlCacheEntryA ");
        print_bytes(url);
        printf(" error %lu\n", GetLastError());
        return FALSE;
    }
    printf("visited  ");
    print_bytes(url);
    printf("  modified ");
    print_filetime(modified);
    printf("\n");
    return TRUE;
}

static inline BOOL set_cookie(const char *url, const char *data)
{
    if (!InternetSetCookieA(url, NULL, data)) {
        printf("FAIL InternetSetCookieA ");
        print_bytes(url);
        printf(" error %lu\n", GetLastError());
        return FALSE;
    }
    printf("cookie   ");
    print_bytes(url);
    printf("  ");
    print_bytes(data);
    printf("\n");
    return TRUE;
}

#endif
