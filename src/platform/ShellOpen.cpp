#include "platform/ShellOpen.h"

#include <QDesktopServices>
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
    if (file.isFile() && file.isExecutable())
        return QProcess::startDetached(file.absoluteFilePath(), {});
    const QUrl url =
        file.exists() ? QUrl::fromLocalFile(file.absoluteFilePath()) : QUrl::fromUserInput(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}
} // namespace

void setShellOpenHandler(ShellOpenHandler h)
{
    handler = std::move(h);
}

bool shellOpen(const QString &target)
{
    return handler ? handler(target) : openWithDesktop(target);
}

} // namespace platform
