#pragma once

#include <QString>

// The keys of HKEY_CURRENT_USER that the program and the platform read and write, in the
// program's form: a leading backslash (keyPathBelowRoot gives the form without it).
namespace KeyPaths {

inline const QString Explorer =
    QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer");
inline const QString ShellFolders = Explorer + QStringLiteral("\\Shell Folders");
inline const QString RunMru = Explorer + QStringLiteral("\\RunMRU");
inline const QString RecentDocs = Explorer + QStringLiteral("\\RecentDocs");
inline const QString AutoComplete = Explorer + QStringLiteral("\\AutoComplete");
inline const QString InternetExplorer = QStringLiteral("\\Software\\Microsoft\\Internet Explorer");
inline const QString TypedUrls = InternetExplorer + QStringLiteral("\\TypedURLs");

// The path as the hive names it, without the leading backslash.
inline QString belowRoot(const QString &keyPath)
{
    return keyPath.startsWith(QLatin1Char('\\')) ? keyPath.mid(1) : keyPath;
}

} // namespace KeyPaths
