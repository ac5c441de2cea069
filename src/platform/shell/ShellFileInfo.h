#pragma once

#include "platform/shell/ShellNamespace.h"

#include <cstdint>

// SHGetFileInfoA over the namespace: type names, attributes, display names and the index of an
// item's small icon in the system image list.
namespace win {

struct SHFILEINFOA
{
    void *hIcon = nullptr;
    int iIcon = 0;
    DWORD dwAttributes = 0;
    char szDisplayName[260] = {};
    char szTypeName[80] = {};
};

constexpr unsigned SHGFI_SMALLICON = 0x1;
constexpr unsigned SHGFI_PIDL = 0x8;
constexpr unsigned SHGFI_DISPLAYNAME = 0x200;
constexpr unsigned SHGFI_TYPENAME = 0x400;
constexpr unsigned SHGFI_ATTRIBUTES = 0x800;
constexpr unsigned SHGFI_SYSICONINDEX = 0x4000;

// The entries of the system image list; the desktop layer draws them from its icon theme.
enum SystemIconIndex : int
{
    IconDocument = 0,
    IconFolder,
    IconInternetShortcut,
    IconShellLink,
    IconChannel,
    IconComputer,
    IconDrive,
    SystemIconCount
};
// What the handle of the system image list points at.
struct SystemImageList
{
    int count = SystemIconCount;
};

// `item` is an absolute identifier list with SHGFI_PIDL, else a Windows path in the ANSI code
// page. With SHGFI_SYSICONINDEX the result is the handle of the system image list, else
// nonzero; 0 when the item cannot be described. Texts are cut to their fields, as the shell
// cuts them.
std::uintptr_t SHGetFileInfoA(const void *item, DWORD fileAttributes, SHFILEINFOA *info,
                              unsigned infoSize, unsigned flags);

const SystemImageList *systemImageList();

} // namespace win
