#pragma once

#include <QByteArray>
#include <QString>

#include <span>

// The minimal prefix that Navolis makes where no Wine prefix exists yet: a user.reg that Wine
// accepts, holding the user's shell folders under the value names Wine gives them,
// dosdevices/c: and the folders themselves.
namespace DefaultPrefix {

struct ShellFolder
{
    const char *valueName;
    const char *path; // below the user's profile folder, or absolute when it starts with "C:"
};

// The folders of a fresh Wine 8 profile, as Wine names them.
std::span<const ShellFolder> shellFolders();

// The Unix login name, which Wine uses for the profile folder.
QString loginName();

// user.reg of a fresh prefix for this user.
QByteArray userRegText(const QString &userName);

// Creates whatever of the minimal prefix is missing under `root`; never changes what exists.
bool ensure(const QString &root, const QString &userName);

} // namespace DefaultPrefix
