#pragma once

#include "platform/prefix/Prefix.h"

#include <QString>

// Windows paths and host paths of a prefix, mapped through its dosdevices links as Wine maps
// them.
namespace DosPaths {

// "C:\users\NAME\Favorites" -> "<drive root>/users/NAME/Favorites". The drive letter is matched
// case-insensitively, and so is each component that does not exist with the exact spelling;
// components that exist in no spelling are kept as written. "." and ".." are resolved without
// leaving the drive. "\\?\unix\..." names a host path directly. Empty when the drive is not
// mapped or the path has no drive.
QString toHostPath(const Prefix &prefix, QStringView windowsPath);

// The reverse: the first drive (a to z) whose root is the path or one of its ancestors gives
// the letter; a path no drive covers becomes "\\?\unix\...".
QString toWindowsPath(const Prefix &prefix, const QString &hostPath);

} // namespace DosPaths
