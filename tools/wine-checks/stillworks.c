/* Proves that Wine still uses the three URL cache containers: commits one
   new content entry, cookie and "Visited:" record, then reads each back.
   Optional arguments check entries that must have survived (--keep URL) or
   must be gone (--gone URL); \xNN in a URL stands for that byte. */
#include "common.h"
#include <ctype.h>
#include <stdlib.h>

#define EXPIRES "expires=Sat, 01-Jan-2039 00:00:00 GMT"

static int failures;

static void result(BOOL ok, const char *what, const char *url)
{
    printf("%s %-8s ", ok ? "OK  " : "FAIL", what);
    print_bytes(url);
    if (!ok)
        printf("  (error %lu)", GetLastError());
    printf("\n");
    if (!ok)
        failures++;
}

/* Decodes \xNN escapes in place, so non-ASCII URLs survive any shell. */
static char *unescape(char *s)
{
    char *r = s, *w = s;
    while (*r) {
        if (r[0] == '\\' && r[1] == 'x' && isxdigit((unsigned char)r[2])
            && isxdigit((unsigned char)r[3])) {
            char hex[3] = { r[2], r[3], 0 };
            *w++ = (char)strtoul(hex, NULL, 16);
            r += 4;
        } else {
            *w++ = *r++;
        }
    }
    *w = 0;
    return s;
}

/* Entry readable through the index and, when it has one, its file on disk. */
static BOOL readable(const char *url, DWORD want_type, const char *file_must_contain)
{
    INTERNET_CACHE_ENTRY_INFOA *info = entry_info(url);
    BOOL ok;
    if (!info)
        return FALSE;
    ok = (info->CacheEntryType & want_type) == want_type;
    if (ok && file_must_contain) {
        char buf[4096];
        DWORD got = 0;
        HANDLE h = info->lpszLocalFileName
            ? CreateFileA(info->lpszLocalFileName, GENERIC_READ, FILE_SHARE_READ, NULL,
                          OPEN_EXISTING, 0, NULL)
            : INVALID_HANDLE_VALUE;
        ok = h != INVALID_HANDLE_VALUE;
        if (ok) {
            ok = ReadFile(h, buf, sizeof buf - 1, &got, NULL);
            buf[ok ? got : 0] = 0;
            ok = ok && strstr(buf, file_must_contain) != NULL;
            CloseHandle(h);
        }
        if (!ok)
            SetLastError(ERROR_FILE_NOT_FOUND);
    }
    HeapFree(GetProcessHeap(), 0, info);
    return ok;
}

int main(int argc, char **argv)
{
    char user[256], stamp[32], url[512], cookie_url[512], cookie_data[256], visited[768];
    FILETIME now, exp2039 = utc_filetime(2039, 1, 1, 0, 0, 0);
    int i;

    logon_name(user, sizeof user);
    GetSystemTimeAsFileTime(&now);
    /* A fresh name per run, so a pass cannot come from an older entry. */
    snprintf(stamp, sizeof stamp, "%08lx%08lx", (unsigned long)now.dwHighDateTime,
             (unsigned long)now.dwLowDateTime);

    snprintf(url, sizeof url, "http://stillworks.example.com/check-%s.html", stamp);
    if (commit_content(url, "html", "text/html", stamp, (DWORD)strlen(stamp), now, exp2039,
                       user))
        result(readable(url, NORMAL_CACHE_ENTRY, stamp), "content", url);
    else
        result(FALSE, "content", url);

    snprintf(cookie_url, sizeof cookie_url, "http://stillworks.example.com/c%s/", stamp);
    snprintf(cookie_data, sizeof cookie_data, "probe=%s; " EXPIRES, stamp);
    snprintf(url, sizeof url, "Cookie:%s@stillworks.example.com/c%s/", user, stamp);
    if (set_cookie(cookie_url, cookie_data))
        result(readable(url, COOKIE_CACHE_ENTRY, stamp), "cookie", url);
    else
        result(FALSE, "cookie", url);

    snprintf(url, sizeof url, "http://stillworks.example.com/check-%s.html", stamp);
    snprintf(visited, sizeof visited, "Visited: %s@%s", user, url);
    if (commit_visited(user, url, now, exp2039))
        result(readable(visited, URLHISTORY_CACHE_ENTRY, NULL), "visited", visited);
    else
        result(FALSE, "visited", visited);

    for (i = 1; i + 1 < argc; i += 2) {
        char *arg = unescape(argv[i + 1]);
        if (!strcmp(argv[i], "--keep")) {
            result(readable(arg, 0, NULL), "kept", arg);
        } else if (!strcmp(argv[i], "--gone")) {
            INTERNET_CACHE_ENTRY_INFOA *info = entry_info(arg);
            BOOL gone = !info && GetLastError() == ERROR_FILE_NOT_FOUND;
            if (info)
                HeapFree(GetProcessHeap(), 0, info);
            SetLastError(0);
            result(gone, "gone", arg);
        } else {
            printf("usage: stillworks [--keep URL] [--gone URL] ...\n");
            return 2;
        }
    }
    if (i < argc) {
        printf("usage: stillworks [--keep URL] [--gone URL] ...\n");
        return 2;
    }

    printf("%s: %d failure(s)\n", failures ? "FAIL" : "OK", failures);
    return failures ? 1 : 0;
}
