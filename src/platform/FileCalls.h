#pragma once

#include <QString>

// The file calls of the Windows API that take a Windows path of the current prefix.
namespace win {

// Whether a file (not a folder) is there.
bool FileExists(const QString &fileName);

// Deletes the file, under the prefix's write lock; a symbolic link is removed itself, never
// what it points to. False when nothing was deleted: no such file, a folder, or Wine runs in
// the prefix.
bool DeleteFile(const QString &fileName);

} // namespace win
