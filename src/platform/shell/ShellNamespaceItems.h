#pragma once

#include "platform/shell/ShellItemIds.h"
#include "platform/shell/ShellNamespace.h"

#include <QByteArrayView>
#include <QString>

#include <vector>

// What the parts of the shell share about items and folders; not for callers of the shell.
namespace win::shellitems {

// A list's content (no terminator) with its terminator, and that as a list to pass on.
inline QByteArray terminated(const QByteArray &content)
{
    return content + QByteArray(2, '\0');
}
inline LPCITEMIDLIST listOf(const QByteArray &terminatedBytes)
{
    return reinterpret_cast<LPCITEMIDLIST>(terminatedBytes.constData());
}

// The items of a list, each with its count; views into the list's memory.
std::vector<QByteArrayView> itemsOf(LPCITEMIDLIST list);
// The list's bytes without the terminator.
QByteArray contentOf(LPCITEMIDLIST list);

// Names that the shell treats as hidden: on a prefix, as in Wine, those starting with a dot.
bool isHiddenName(const QString &name);
bool hasSubFolder(const QString &hostFolder);

// A channel shortcut is a folder whose desktop.ini gives the channel's address (section
// "Channel", key "CDFURL"); empty for any other folder.
QString channelAddress(const QString &hostFolder);

// The item's name in the shell's normal form: a file of a type that never shows its
// extension (internet shortcuts, shell links) without it.
QString normalName(const ShellItemIds::ItemData &item);

} // namespace win::shellitems
