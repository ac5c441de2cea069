#pragma once

#include "platform/kernel/WinTypes.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

// The shell namespace over the prefix, as far as browsing a folder of shortcuts needs it: the
// desktop, "My Computer", the prefix's drives and the folders and files below them, addressed by
// item-identifier lists in the shell's binary form.
//
// An identifier list is a run of items, each starting with its 16-bit little-endian byte count
// (the count included), ended by a zero count. Lists handed out here come from the shell's
// allocator and go back to it.
namespace win {

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = HRESULT(0x80004005);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057);
constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000E);
constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001);
constexpr HRESULT HRESULT_FILE_NOT_FOUND = HRESULT(0x80070002);
inline bool SUCCEEDED(HRESULT result)
{
    return result >= 0;
}
inline bool FAILED(HRESULT result)
{
    return result < 0;
}

// Opaque: identifier lists are bytes, read through the helpers below, never as structures.
struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST *;
using LPCITEMIDLIST = const ITEMIDLIST *;

inline const unsigned char *bytesOf(LPCITEMIDLIST list)
{
    return reinterpret_cast<const unsigned char *>(list);
}
inline unsigned char *bytesOf(LPITEMIDLIST list)
{
    return reinterpret_cast<unsigned char *>(list);
}

// The shell's task allocator. It counts the blocks it has handed out, so that a caller that
// forgets to give one back can be found.
class IMalloc
{
public:
    void *Alloc(std::size_t size);
    void Free(void *block);
    long liveBlocks() const;
};
HRESULT SHGetMalloc(IMalloc **allocator);
// Gives a block back to the shell's allocator; nothing for null (CoTaskMemFree).
void CoTaskMemFree(void *block);

// Enumeration flags (SHCONTF), attributes (SFGAO) and display name flags (SHGDN).
constexpr DWORD SHCONTF_FOLDERS = 0x20;
constexpr DWORD SHCONTF_NONFOLDERS = 0x40;
constexpr DWORD SHCONTF_INCLUDEHIDDEN = 0x80;
constexpr ULONG SFGAO_LINK = 0x00010000;
constexpr ULONG SFGAO_HIDDEN = 0x00080000;
constexpr ULONG SFGAO_FILESYSANCESTOR = 0x10000000;
constexpr ULONG SFGAO_FOLDER = 0x20000000;
constexpr ULONG SFGAO_FILESYSTEM = 0x40000000;
constexpr ULONG SFGAO_HASSUBFOLDER = 0x80000000;
constexpr DWORD SHGDN_NORMAL = 0;
constexpr DWORD SHGDN_INFOLDER = 1;
constexpr DWORD SHGDN_FORPARSING = 0x8000;

// A display name in one of the three forms a folder may answer with.
struct STRRET
{
    enum : unsigned
    {
        STRRET_WSTR = 0,
        STRRET_OFFSET = 1,
        STRRET_CSTR = 2
    };
    unsigned uType = STRRET_CSTR;
    char16_t *pOleStr = nullptr; // from the shell allocator; the receiver frees it
    unsigned uOffset = 0;        // into the item the name was asked for, 8-bit text
    char cStr[260] = {};         // 8-bit text in the ANSI code page
};

// The enumeration of a folder's items: each call hands out one relative list, which the caller
// owns; S_FALSE after the last.
class IEnumIDList
{
public:
    HRESULT Next(LPITEMIDLIST *item);

private:
    friend class IShellFolder;
    std::vector<QByteArray> m_items;
    std::size_t m_next = 0;
};

// A folder of the namespace. Items passed to its calls are relative to it (one level for a
// file-system folder); the desktop takes absolute lists.
class IShellFolder
{
public:
    HRESULT BindToObject(LPCITEMIDLIST items, std::shared_ptr<IShellFolder> *folder) const;
    HRESULT EnumObjects(DWORD flags, std::unique_ptr<IEnumIDList> *items) const;
    // The code of the result, read as a signed 16-bit number, orders the two items: folders
    // before files, then by name without regard to case. Only column 0 is known.
    HRESULT CompareIDs(std::intptr_t column, LPCITEMIDLIST first, LPCITEMIDLIST second) const;
    HRESULT GetAttributesOf(LPCITEMIDLIST item, ULONG *attributes) const;
    HRESULT GetDisplayNameOf(LPCITEMIDLIST item, DWORD flags, STRRET *name) const;
    // The identifier list of the target of the item's shell-link object: the address of a
    // channel shortcut. E_NOTIMPL for items that have no link object here.
    HRESULT GetLinkTargetOf(LPCITEMIDLIST item, LPITEMIDLIST *target) const;
    // The folder's own absolute list, from the allocator (what IPersistFolder2 gives).
    HRESULT GetCurFolder(LPITEMIDLIST *list) const;
    // The desktop's parsing of a Windows path of the prefix into an absolute list; the folder or
    // file must exist.
    HRESULT ParseDisplayName(const QString &name, LPITEMIDLIST *list) const;

    // For the other parts of the shell: the folder's absolute list as bytes, and its Windows
    // and host paths (empty for the desktop and "My Computer").
    const QByteArray &absoluteList() const { return m_absolute; }
    const QString &windowsPath() const { return m_windowsPath; }
    const QString &hostPath() const { return m_hostPath; }
    // The paths of an item of the folder; empty where it has none.
    QString windowsPathOf(LPCITEMIDLIST item) const;
    QString hostPathOf(LPCITEMIDLIST item) const;

private:
    enum class FolderKind
    {
        Desktop,
        Computer,
        FileSystem
    };
    friend HRESULT SHGetDesktopFolder(std::shared_ptr<IShellFolder> *desktop);

    HRESULT bindFileSystem(QByteArray absolute, std::shared_ptr<IShellFolder> *folder) const;

    FolderKind m_kind = FolderKind::Desktop;
    QByteArray m_absolute; // without the terminating zero
    QString m_windowsPath;
    QString m_hostPath;
};

HRESULT SHGetDesktopFolder(std::shared_ptr<IShellFolder> *desktop);

// Special folders (CSIDL) by number.
constexpr int CSIDL_DESKTOP = 0x00;
constexpr int CSIDL_PERSONAL = 0x05;
constexpr int CSIDL_FAVORITES = 0x06;
constexpr int CSIDL_DRIVES = 0x11;
// The absolute list of a special folder: the desktop, "My Computer", or a folder of the user's
// shell folders, which must exist. E_FAIL for one the prefix does not have (the printers, the
// network, the folders common to all users, ...), E_INVALIDARG for an unknown number.
HRESULT SHGetSpecialFolderLocation(int folder, LPITEMIDLIST *list);

// The Windows path of a file-system item ("C:" for a drive); false for the desktop and
// "My Computer".
bool SHGetPathFromIDListA(LPCITEMIDLIST list, QString *path);

// The byte size of a list without its terminator, trusting its counts as the shell does; 0 for
// an absent list.
std::size_t idListContentSize(LPCITEMIDLIST list);
// A list from the allocator holding `content` and a terminator; null when the allocator fails.
LPITEMIDLIST allocIdList(const QByteArray &content);

} // namespace win
