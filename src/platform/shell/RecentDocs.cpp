#include "platform/shell/RecentDocs.h"

#include "common/Erase.h"
#include "platform/kernel/LastError.h"
#include "platform/prefix/Prefix.h"
#include "platform/prefix/WineServer.h"
#include "platform/registry/KeyPaths.h"
#include "platform/registry/Registry.h"
#include "platform/shell/ShellFolders.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace win {

namespace {

// A shortcut file as the shell sees one: a file, or a link to a file, named "*.lnk".
bool isShortcut(int folder, const char *name)
{
    if (!QFile::decodeName(name).endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive))
        return false;
    struct stat entry = {};
    if (::fstatat(folder, name, &entry, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISREG(entry.st_mode))
        return true;
    struct stat target = {};
    return S_ISLNK(entry.st_mode) && ::fstatat(folder, name, &target, 0) == 0 &&
           S_ISREG(target.st_mode);
}

QList<QByteArray> shortcutsIn(int folder)
{
    QList<QByteArray> names;
    const int listing = ::dup(folder);
    DIR *dir = listing < 0 ? nullptr : ::fdopendir(listing);
    if (!dir) {
        if (listing >= 0)
            ::close(listing);
        return names;
    }
    while (const dirent *entry = ::readdir(dir)) {
        if (isShortcut(folder, entry->d_name))
            names << QByteArray(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

// Whether every shortcut of the folder is gone; a missing folder holds none.
bool deleteShortcuts(const QString &prefixRoot, const QString &recentFolder)
{
    const int folder = ::open(QFile::encodeName(recentFolder).constData(),
                              O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0)
        return errno == ENOENT;
    const QList<QByteArray> shortcuts = shortcutsIn(folder);
    bool allGone = true;
    if (!shortcuts.isEmpty()) {
        const PrefixWriteLock lock(prefixRoot);
        const common::ErasureBatch erasures;
        for (const QByteArray &name : shortcuts) {
            const common::Erasure erased =
                lock.isHeld() ? common::eraseAt(folder, name.constData()) : common::Erasure::Failed;
            if (!common::removed(erased) && erased != common::Erasure::Missing)
                allGone = false;
        }
    }
    ::close(folder);
    return allGone;
}

// Deletes every value of the key and of its subkeys; the keys stay. A missing key is empty.
bool emptyKeyTree(HKEY parent, const QString &path)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(parent, path, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return true;
    bool empty = true;
    QString name;
    for (DWORD i = 0; RegEnumKeyEx(key, i, &name) == ERROR_SUCCESS; ++i)
        empty = emptyKeyTree(key, name) && empty;
    for (DWORD i = 0; RegEnumValue(key, i, &name, nullptr, nullptr, nullptr) == ERROR_SUCCESS;) {
        if (RegDeleteValue(key, name) != ERROR_SUCCESS) {
            empty = false;
            ++i;
        }
    }
    // Closing saves the deletions; a save that fails has deleted nothing.
    return RegCloseKey(key) == ERROR_SUCCESS && empty;
}

} // namespace

void SHAddToRecentDocs(UINT flags, const void *path)
{
    if (flags != SHARD_PATH || path) {
        platform::setLastError(ERROR_INVALID_PARAMETER);
        return;
    }
    const QString recent = ShellFolders::hostPath(QStringLiteral("Recent"));
    const bool filesGone = recent.isEmpty() || deleteShortcuts(Prefix::target().root(), recent);
    const bool listGone = emptyKeyTree(HKEY_CURRENT_USER, KeyPaths::RecentDocs);
    const bool allGone = filesGone && listGone;
    platform::setLastError(allGone ? ERROR_SUCCESS : ERROR_ACCESS_DENIED);
}

} // namespace win
