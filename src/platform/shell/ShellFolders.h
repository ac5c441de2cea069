#pragma once

#include <QString>

// The user's folders, named as Wine names their registry values ("Favorites", "Recent",
// "StartUp", "Cache", "Cookies", "History", ...; compared case-insensitively). Like Wine,
// "User Shell Folders" comes first, expanded with the user's environment; "Shell Folders"
// is the fallback. Nothing is created.
namespace ShellFolders {

// The folder as a Windows path, or empty when neither key names it.
QString windowsPath(const QString &valueName);

// The folder as a host path in the current prefix, or empty when it cannot be mapped.
QString hostPath(const QString &valueName);

} // namespace ShellFolders
