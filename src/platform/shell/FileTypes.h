#pragma once

#include <QString>

#include <optional>

// File types as the shell knows them from HKEY_CLASSES_ROOT of the prefix: an extension key
// names a class, whose default value is the type name shown to the user and whose
// "NeverShowExt" value hides the extension in display names. Internet shortcuts and shell links
// keep their types on a prefix without system.reg.
namespace FileTypes {

struct Type
{
    QString className;
    QString typeName;
    bool neverShowExt = false;
};

// The type of a file by the extension of its name. A file of no known class is "zzz file" for
// an extension ".zzz", as Wine names it, and "File" without one.
Type ofFileName(const QString &fileName);

// Types are kept by extension: a folder of thousands of shortcuts asks for the same few. They
// are read again after the prefix's system.reg changed, checked here; the shell checks at every
// enumeration of a folder.
void refresh();

// The default value of the class key, or nullopt when the key cannot be opened.
std::optional<QString> classDefault(const QString &className);

} // namespace FileTypes
