/* Lists the Favorites folder (or one sub-folder of it, named by its display
   name) the way Wine's shell namespace sees it: enumeration without hidden
   items, sorted with the folder's own CompareIDs, one line per item:
   F|-  TAB  normal name  TAB  parsing name  TAB  type name */
#define COBJMACROS
#include "common.h"
#include <stdlib.h>
#include <shlobj.h>
#include <shlwapi.h>

static IShellFolder *sort_folder;

static void fail(const char *call, HRESULT hr)
{
    fprintf(stderr, "FAIL %s 0x%08lX\n", call, (unsigned long)hr);
    exit(1);
}

/* CompareIDs puts the order into the low 16 bits, as a signed short. */
static int by_folder_order(const void *a, const void *b)
{
    LPCITEMIDLIST x = *(LPCITEMIDLIST const *)a;
    LPCITEMIDLIST y = *(LPCITEMIDLIST const *)b;
    HRESULT hr = IShellFolder_CompareIDs(sort_folder, 0, x, y);
    if (FAILED(hr))
        fail("IShellFolder::CompareIDs", hr);
    return (short)HRESULT_CODE(hr);
}

static void display_name(IShellFolder *folder, LPCITEMIDLIST item, SHGDNF flags, char *buf,
                         UINT size)
{
    STRRET sr;
    HRESULT hr = IShellFolder_GetDisplayNameOf(folder, item, flags, &sr);
    if (FAILED(hr))
        fail("IShellFolder::GetDisplayNameOf", hr);
    hr = StrRetToBufA(&sr, item, buf, size);
    if (FAILED(hr))
        fail("StrRetToBufA", hr);
}

/* Binds to the child of parent (whose absolute pidl is *pidl) whose normal
   display name is name; *pidl becomes the child's absolute pidl. */
static IShellFolder *bind_child(IShellFolder *parent, LPITEMIDLIST *pidl, const char *name)
{
    IEnumIDList *items;
    LPITEMIDLIST item;
    IShellFolder *child = NULL;
    char buf[MAX_PATH];
    HRESULT hr = IShellFolder_EnumObjects(parent, NULL, SHCONTF_FOLDERS, &items);
    if (hr != S_OK)
        fail("IShellFolder::EnumObjects", hr);
    while (!child && IEnumIDList_Next(items, 1, &item, NULL) == S_OK) {
        display_name(parent, item, SHGDN_NORMAL, buf, sizeof buf);
        if (!strcmp(buf, name)) {
            hr = IShellFolder_BindToObject(parent, item, NULL, &IID_IShellFolder,
                                           (void **)&child);
            if (FAILED(hr))
                fail("IShellFolder::BindToObject (sub-folder)", hr);
            *pidl = ILCombine(*pidl, item);
        }
        CoTaskMemFree(item);
    }
    IEnumIDList_Release(items);
    if (!child) {
        fprintf(stderr, "FAIL no sub-folder named %s\n", name);
        exit(1);
    }
    return child;
}

int main(int argc, char **argv)
{
    IShellFolder *desktop, *folder;
    IEnumIDList *items;
    LPITEMIDLIST pidl, item, *list = NULL;
    size_t count = 0, cap = 0, i;
    HRESULT hr;

    if (argc > 2) {
        fprintf(stderr, "usage: listfavorites.exe [SUBFOLDER]\n");
        return 2;
    }
    hr = CoInitialize(NULL);
    if (FAILED(hr))
        fail("CoInitialize", hr);
    hr = SHGetDesktopFolder(&desktop);
    if (FAILED(hr))
        fail("SHGetDesktopFolder", hr);
    hr = SHGetSpecialFolderLocation(NULL, CSIDL_FAVORITES, &pidl);
    if (FAILED(hr))
        fail("SHGetSpecialFolderLocation(CSIDL_FAVORITES)", hr);
    hr = IShellFolder_BindToObject(desktop, pidl, NULL, &IID_IShellFolder, (void **)&folder);
    if (FAILED(hr))
        fail("IShellFolder::BindToObject (Favorites)", hr);
    if (argc == 2)
        folder = bind_child(folder, &pidl, argv[1]);

    hr = IShellFolder_EnumObjects(folder, NULL, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items);
    if (hr != S_OK)
        fail("IShellFolder::EnumObjects", hr);
    while ((hr = IEnumIDList_Next(items, 1, &item, NULL)) == S_OK) {
        if (count == cap) {
            cap = cap ? 2 * cap : 16;
            list = realloc(list, cap * sizeof *list);
        }
        list[count++] = item;
    }
    if (FAILED(hr))
        fail("IEnumIDList::Next", hr);
    IEnumIDList_Release(items);

    sort_folder = folder;
    qsort(list, count, sizeof *list, by_folder_order);

    for (i = 0; i < count; i++) {
        LPCITEMIDLIST one = list[i];
        SFGAOF attr = SFGAO_FOLDER;
        SHFILEINFOA info;
        LPITEMIDLIST full;
        char normal[MAX_PATH], parsing[MAX_PATH];

        hr = IShellFolder_GetAttributesOf(folder, 1, &one, &attr);
        if (FAILED(hr))
            fail("IShellFolder::GetAttributesOf", hr);
        display_name(folder, one, SHGDN_NORMAL, normal, sizeof normal);
        display_name(folder, one, SHGDN_FORPARSING, parsing, sizeof parsing);
        full = ILCombine(pidl, one);
        memset(&info, 0, sizeof info);
        if (!SHGetFileInfoA((LPCSTR)full, 0, &info, sizeof info, SHGFI_PIDL | SHGFI_TYPENAME))
            fail("SHGetFileInfoA", HRESULT_FROM_WIN32(GetLastError()));
        ILFree(full);

        fputs(attr & SFGAO_FOLDER ? "F\t" : "-\t", stdout);
        print_bytes(normal);
        putchar('\t');
        print_bytes(parsing);
        putchar('\t');
        print_bytes(info.szTypeName);
        putchar('\n');
        CoTaskMemFree(list[i]);
    }
    free(list);
    IShellFolder_Release(folder);
    IShellFolder_Release(desktop);
    ILFree(pidl);
    CoUninitialize();
    return 0;
}
