#pragma once

#include "platform/prefix/Prefix.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFileInfo>
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

// Single items, each with its 16-bit size in front and no terminator.
QByteArray computerItem();
QByteArray volumeItem(QChar drive);
// A file or folder entry named `name`, sizes, dates and attributes from `info` where it exists;
// one that does not exist is a folder unless `lastOfPath`.
QByteArray fileItem(const QString &name, const QFileInfo &info, bool lastOfPath = true);
// An address, as the shell's internet namespace holds it.
QByteArray uriItem(const QString &address);

struct ItemData
{
    enum class Kind
    {
        Computer,
        Volume,
        Folder,
        File,
        Uri,
        Unknown
    };
    Kind kind = Kind::Unknown;
    // The drive ("C:"), the long name of an entry, or the address.
    QString name;
};

// What one item holds; Unknown for items of other kinds or damaged ones.
ItemData itemData(QByteArrayView item);

} // namespace ShellItemIds
