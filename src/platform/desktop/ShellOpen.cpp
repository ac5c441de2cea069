#include "platform/desktop/ShellOpen.h"

#include "platform/kernel/LogCategories.h"
#include "platform/shell/ShellExecute.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace platform {

namespace {
ShellOpenHandler handler;

bool openWithDesktop(const QString &target)
{
    const ShellOpenPlan plan = planShellOpen(target);
    switch (plan.action) {
    case ShellOpenPlan::Refuse:
        // The shell says itself what it could not open.
        qCWarning(lcShell).noquote() << plan.reason;
        if (qobject_cast<QApplication *>(QCoreApplication::instance()))
            QMessageBox::warning(nullptr, QCoreApplication::applicationName(), plan.reason);
        return false;
    case ShellOpenPlan::OpenFile:
        if (isProgramFile(plan.target))
            return QProcess::startDetached(QFileInfo(plan.target).absoluteFilePath(), {});
        return QDesktopServices::openUrl(QUrl::fromLocalFile(plan.target));
    case ShellOpenPlan::OpenAddress:
        break;
    }
    const QUrl url = QUrl::fromUserInput(plan.target);
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
