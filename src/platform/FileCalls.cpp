#include "platform/FileCalls.h"

#include "platform/DosPaths.h"
#include "platform/LastError.h"
#include "platform/WinTypes.h"
#include "platform/WineServer.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

namespace win {

bool FileExists(const QString &fileName)
{
    const QString host = DosPaths::toHostPath(Prefix::current(), fileName);
    return !host.isEmpty() && QFileInfo(host).isFile();
}

bool DeleteFile(const QString &fileName)
{
    const Prefix prefix = Prefix::current();
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
    if (::unlink(QFile::encodeName(host).constData()) != 0) {
        platform::setLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}

} // namespace win
