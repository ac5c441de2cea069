#pragma once

#include "platform/shell/ShellNamespace.h"

#include <QString>

// Item-identifier lists and the readers of link targets, for the favourites list view.

// The next item: the pointer advanced by the item's byte count.
win::LPITEMIDLIST ItemListNext(win::LPCITEMIDLIST item);
// 0 for an absent list; otherwise 2 plus the sum of the item byte counts.
int ItemListSize(win::LPCITEMIDLIST list);
// Cuts off the last item by setting its count to 0; an empty list stays empty.
void ItemListRemoveLast(win::LPITEMIDLIST list);
// Zero-filled memory from the shell's allocator; null when it fails.
win::LPITEMIDLIST ItemListAlloc(int size);
win::LPITEMIDLIST ItemListClone(win::LPCITEMIDLIST list);
// A new list: the first (which may be absent) without its terminator, then all of the second.
win::LPITEMIDLIST ItemListJoin(win::LPCITEMIDLIST first, win::LPCITEMIDLIST second);
// Gives the list back to the shell's allocator; nothing for an absent list.
void ItemListFree(win::LPITEMIDLIST list);

// The item's display name in the normal form and in the for-parsing form (the full path of a
// file-system item); empty when the folder cannot name it.
QString ItemDisplayName(const win::IShellFolder &folder, win::LPCITEMIDLIST item);
QString ItemParsingName(const win::IShellFolder &folder, win::LPCITEMIDLIST item);

// Whether the shell's type name of the item begins, in its first 80 characters, exactly with
// `typeName`.
bool ItemTypeNameIs(const QString &typeName, const win::IShellFolder &folder,
                    win::LPCITEMIDLIST item);
// A folder that is not of the given type (a channel shortcut is a folder that is not browsed).
bool IsBrowsableFolder(const QString &typeName, const win::IShellFolder &folder,
                       win::LPCITEMIDLIST item);

// The address of an internet shortcut: read as an INI file, or through the shell's object.
QString UrlFromIniFile(const QString &fileName);
QString UrlFromShortcutObject(const QString &fileName);
// The address a channel shortcut leads to; empty on any failure.
QString UrlFromChannelLink(const win::IShellFolder &folder, win::LPCITEMIDLIST item);
// The target path of a shell link; empty when it cannot be loaded, resolved or read.
QString PathFromShellLink(const QString &fileName);
