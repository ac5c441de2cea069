/* Reads .url files with Wine's own Internet shortcut object and prints
   FILE TAB URL, or FILE TAB FAIL 0xHRESULT (the failing call on stderr). */
#define COBJMACROS
#include "common.h"
#include <objbase.h>
#include <objidl.h>
#include <intshcut.h>

static HRESULT read_url(const char *file, char **url, const char **call)
{
    IUniformResourceLocatorA *locator;
    IPersistFile *persist;
    WCHAR path[MAX_PATH], full[MAX_PATH];
    HRESULT hr;

    *url = NULL;
    /* The argument is taken as ANSI (code page 1252 under C.UTF-8). */
    if (!MultiByteToWideChar(CP_ACP, 0, file, -1, path, MAX_PATH)
        || !GetFullPathNameW(path, MAX_PATH, full, NULL)) {
        *call = "GetFullPathNameW";
        return HRESULT_FROM_WIN32(GetLastError());
    }
    *call = "CoCreateInstance(CLSID_InternetShortcut)";
    hr = CoCreateInstance(&CLSID_InternetShortcut, NULL, CLSCTX_INPROC_SERVER,
                          &IID_IUniformResourceLocatorA, (void **)&locator);
    if (FAILED(hr))
        return hr;
    *call = "QueryInterface(IPersistFile)";
    hr = locator->lpVtbl->QueryInterface(locator, &IID_IPersistFile, (void **)&persist);
    if (SUCCEEDED(hr)) {
        *call = "IPersistFile::Load";
        hr = IPersistFile_Load(persist, full, STGM_READ);
        IPersistFile_Release(persist);
    }
    if (SUCCEEDED(hr)) {
        *call = "IUniformResourceLocatorA::GetURL";
        hr = locator->lpVtbl->GetURL(locator, url);
        /* S_FALSE: the object holds no URL. */
        if (hr == S_OK && !*url)
            hr = S_FALSE;
    }
    locator->lpVtbl->Release(locator);
    return hr;
}

int main(int argc, char **argv)
{
    int i, failed = 0;
    HRESULT hr = CoInitialize(NULL);

    if (argc < 2) {
        fprintf(stderr, "usage: readurl.exe FILE...\n");
        return 2;
    }
    if (FAILED(hr)) {
        fprintf(stderr, "FAIL CoInitialize 0x%08lX\n", (unsigned long)hr);
        return 1;
    }
    for (i = 1; i < argc; i++) {
        char *url;
        const char *call;
        hr = read_url(argv[i], &url, &call);
        print_bytes(argv[i]);
        putchar('\t');
        if (hr == S_OK) {
            print_bytes(url);
            putchar('\n');
            CoTaskMemFree(url);
        } else {
            printf("FAIL 0x%08lx\n", (unsigned long)hr);
            fflush(stdout);
            fprintf(stderr, "%s: %s 0x%08lX\n", argv[i], call, (unsigned long)hr);
            CoTaskMemFree(url);
            failed = 1;
        }
    }
    CoUninitialize();
    return failed;
}
