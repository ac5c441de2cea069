#pragma once

#include "platform/kernel/PrefixFileRead.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

// The profile (INI) reading of the Windows API, as the shell reads internet shortcuts and
// desktop.ini files: section and key names compare case-insensitively, blanks around names and
// values are trimmed, a matching pair of quotes around a value is removed, a line starting with
// ';' is a comment (a ';' inside a value is kept), the first section of a name and in it the
// first key of a name win. Text is in the ANSI code page unless a UTF-16LE or UTF-8 byte order
// mark says otherwise.
namespace win {

// The value, or nullopt when the section or key is missing.
std::optional<QString> profileString(QByteArrayView fileBytes, QStringView section,
                                     QStringView key);

// The same for a file on disk (a host path); nullopt also when it cannot be read. Only a regular
// file that is no link is read, and none beyond `maxBytes`: a profile is small, and a huge file
// is no shortcut.
std::optional<QString> GetPrivateProfileString(QStringView section, QStringView key,
                                               const QString &hostPath,
                                               qint64 maxBytes = PrefixFile::SmallFileLimit);

} // namespace win
