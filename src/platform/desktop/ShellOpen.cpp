#include "platform/desktop/ShellOpen.h"

#include "platform/kernel/LogCategories.h"
#include "platform/kernel/PrefixFileRead.h"
#include "platform/shell/ShellExecute.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace platform {

namespace {
ShellOpenHandler handler;

int handedOn(bool done, int failure, const QString &target)
{
    if (done)
        return win::ShellExecuteOpened;
    qCDebug(lcShell) << "nothing opened" << target << "result" << failure;
    return failure;
}

// The window that called says what could not be opened; the reason of a refusal goes to the log.
int openWithDesktop(const QString &target)
{
    const ShellOpenPlan plan = planShellOpen(target);
    switch (plan.action) {
    case ShellOpenPlan::Refuse:
        qCWarning(lcShell).noquote() << plan.reason;
        return plan.error;
    case ShellOpenPlan::OpenFile:
        if (isProgramFile(plan.target))
            return handedOn(QProcess::startDetached(QFileInfo(plan.target).absoluteFilePath(), {}),
                            win::SE_ERR_ACCESSDENIED, target);
        return handedOn(QDesktopServices::openUrl(QUrl::fromLocalFile(plan.target)),
                        win::SE_ERR_NOASSOC, target);
    case ShellOpenPlan::OpenAddress:
        break;
    }
    const QUrl url = QUrl::fromUserInput(plan.target);
    if (!url.isValid())
        return handedOn(false, win::SE_ERR_FNF, target);
    return handedOn(QDesktopServices::openUrl(url), win::SE_ERR_NOASSOC, target);
}
} // namespace

bool isProgramFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable())
        return false;
    const PrefixFile::Read head = PrefixFile::readHead(path, 4, PrefixFile::Links::Follow);
    if (!head.ok())
        qCDebug(lcShell) << path << PrefixFile::describe(head.error);
    return head.bytes == QByteArrayLiteral("\x7f"
                                           "ELF");
}

void setShellOpenHandler(ShellOpenHandler h)
{
    handler = std::move(h);
}

int shellOpen(const QString &target)
{
    if (handler)
        return handler(target) ? win::ShellExecuteOpened : win::SE_ERR_NOASSOC;
    return openWithDesktop(target);
}

} // namespace platform
