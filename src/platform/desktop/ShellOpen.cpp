#include "platform/desktop/ShellOpen.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace platform {

namespace {
ShellOpenHandler handler;

bool openWithDesktop(const QString &target)
{
    if (target.isEmpty())
        return false;
    const QFileInfo file(target);
    if (isProgramFile(target))
        return QProcess::startDetached(file.absoluteFilePath(), {});
    const QUrl url =
        file.exists() ? QUrl::fromLocalFile(file.absoluteFilePath()) : QUrl::fromUserInput(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}
} // namespace

bool isProgramFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArrayLiteral("\x7f"
                                                                               "ELF");
}

void setShellOpenHandler(ShellOpenHandler h)
{
    handler = std::move(h);
}

bool shellOpen(const QString &target)
{
    return handler ? handler(target) : openWithDesktop(target);
}

} // namespace platform
