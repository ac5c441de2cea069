#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// What the catalogue needs from Steam's own files.
namespace prefixes::steam {

// The folders that steamapps/libraryfolders.vdf lists as libraries, in its current form
// (`"libraryfolders" { "0" { "path" "/x" ... } }`) or its old one (`"LibraryFolders" { "1" "/x"
// }`); nothing when the file is damaged.
std::optional<QStringList> libraryFolders(QByteArrayView vdf);

// The "name" of the app that steamapps/appmanifest_<appid>.acf describes; empty when it names
// none, nothing when the file is damaged.
std::optional<QString> appName(QByteArrayView acf);

} // namespace prefixes::steam
