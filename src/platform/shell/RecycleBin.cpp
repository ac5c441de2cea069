#include "platform/shell/RecycleBin.h"

#include "common/Erase.h"
#include "platform/kernel/LogCategories.h"
#include "platform/prefix/Prefix.h"
#include "platform/prefix/WineServer.h"
#include "platform/shell/InternetShortcut.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace win {

namespace {

// Qt's trash falls back to the working folder when it cannot establish the home trash (seen
// with Qt 6.4): the file would land in "files" there and count as trashed. So the home trash,
// which Qt makes the same way, is made sure of first (the data home with it, as the trash's
// rules allow).
bool homeTrashAvailable()
{
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return !dataHome.isEmpty() && QDir().mkpath(dataHome + QStringLiteral("/Trash"));
}

} // namespace

Recycled RecycleFile(const QString &fileName)
{
    const QString host = shellHostPath(fileName);
    if (host.isEmpty() || !QFileInfo(host).isFile())
        return Recycled::NotDeleted;
    const PrefixWriteLock lock(Prefix::target().root());
    if (!lock.isHeld())
        return Recycled::NotDeleted;
    QFile file(host);
    if (homeTrashAvailable() && file.moveToTrash())
        return Recycled::ToTrash;
    qCDebug(lcShell) << "no trash takes" << host << "- removing it";
    if (common::removed(common::erase(QFile::encodeName(host).toStdString())))
        return Recycled::ForGood;
    qCWarning(lcShell) << "cannot delete" << host;
    return Recycled::NotDeleted;
}

} // namespace win
