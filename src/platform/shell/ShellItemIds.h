#pragma once

#include "platform/prefix/Prefix.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Item-identifier lists of file-system paths, in the shell's binary form: "My Computer", the
// volume, then one file entry per path component, closed by a zero item.
namespace ShellItemIds {

// The list for a drive path ("C:\dir\file"), sizes, dates and attributes taken from the
// prefix's file where it exists. Empty when the path has no drive letter.
QByteArray fromWindowsPath(const Prefix &prefix, QStringView windowsPath);

// The path that a list names, long names preferred; empty when the list holds items other
// than these or is damaged.
QString toWindowsPath(QByteArrayView idList);

} // namespace ShellItemIds
