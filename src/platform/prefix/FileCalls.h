#pragma once

#include <QString>
#include <QStringList>

// The file calls of the Windows API that take a Windows path of the current prefix.
namespace win {

// Whether a file (not a folder) is there.
bool FileExists(const QString &fileName);

// Deletes the file, under the prefix's write lock; a symbolic link is removed itself, never
// what it points to. False when nothing was deleted: no such file, a folder, or Wine runs in
// the prefix.
bool DeleteFile(const QString &fileName);

// The names of the files in the folder, hidden ones included and folders left out, in the
// order the file system gives them: the search for "*.*" that skips directories. A link
// counts as what it leads to; a broken one is left out. Empty when the folder cannot be read.
QStringList FindFileNames(const QString &folder);

} // namespace win
