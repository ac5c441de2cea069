#include "platform/prefix/FileCalls.h"

#include "common/Erase.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/WinTypes.h"
#include "platform/prefix/DosPaths.h"
#include "platform/prefix/WineServer.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace win {

bool FileExists(const QString &fileName)
{
    const QString host = DosPaths::toHostPath(Prefix::target(), fileName);
    return !host.isEmpty() && QFileInfo(host).isFile();
}

bool DeleteFile(const QString &fileName)
{
    const Prefix prefix = Prefix::target();
    const QString host = DosPaths::toHostPath(prefix, fileName);
    if (host.isEmpty()) {
        platform::setLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    const PrefixWriteLock lock(prefix.root());
    if (!lock.isHeld()) {
        platform::setLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    const common::Erasure erased = common::erase(QFile::encodeName(host).toStdString());
    if (!common::removed(erased)) {
        platform::setLastError(erased == common::Erasure::Missing ? ERROR_FILE_NOT_FOUND
                                                                  : ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}

QStringList FindFileNames(const QString &folder)
{
    QStringList names;
    const QString host = DosPaths::toHostPath(Prefix::target(), folder);
    if (host.isEmpty())
        return names;
    const QByteArray path = QFile::encodeName(host);
    DIR *dir = ::opendir(path.constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        struct stat target = {};
        if (::fstatat(::dirfd(dir), entry->d_name, &target, 0) == 0 && !S_ISDIR(target.st_mode))
            names << QFile::decodeName(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

} // namespace win
