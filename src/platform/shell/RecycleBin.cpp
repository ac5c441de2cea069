#include "platform/shell/RecycleBin.h"

#include "platform/kernel/LogCategories.h"
#include "platform/prefix/Prefix.h"
#include "platform/prefix/WineServer.h"
#include "platform/shell/InternetShortcut.h"

#include <QFile>
#include <QFileInfo>

namespace win {

bool RecycleFile(const QString &fileName)
{
    const QString host = shellHostPath(fileName);
    if (host.isEmpty() || !QFileInfo(host).isFile())
        return false;
    const PrefixWriteLock lock(Prefix::current().root());
    if (!lock.isHeld())
        return false;
    QFile file(host);
    if (file.moveToTrash())
        return true;
    qCDebug(lcShell) << "no trash takes" << host << "- removing it";
    if (file.remove())
        return true;
    qCWarning(lcShell) << "cannot delete" << host << ":" << file.errorString();
    return false;
}

} // namespace win
