#include "platform/shell/ShellExecute.h"

#include "platform/shell/FileTypes.h"
#include "platform/shell/InternetShortcut.h"

#include <QFileInfo>

namespace {

bool isWindowsPath(const QString &target)
{
    return (target.size() >= 3 && target[1] == u':' && target[0].isLetter() &&
            target[0].unicode() < 128 && (target[2] == u'\\' || target[2] == u'/')) ||
           target.startsWith(QStringLiteral("\\\\?\\unix\\"), Qt::CaseInsensitive);
}

} // namespace

ShellOpenPlan planShellOpen(const QString &target)
{
    using Plan = ShellOpenPlan;
    if (target.trimmed().isEmpty())
        return {Plan::Refuse, {}, QStringLiteral("There is nothing to open.")};
    if (!isWindowsPath(target) && !target.startsWith(u'/')) {
        if (QFileInfo::exists(target)) // a file of the current folder
            return {Plan::OpenFile, QFileInfo(target).absoluteFilePath(), {}};
        return {Plan::OpenAddress, target, {}};
    }

    const QString host = shellHostPath(target);
    if (host.isEmpty() || !QFileInfo::exists(host))
        return {Plan::Refuse, {}, QStringLiteral("Cannot find the file %1.").arg(target)};
    if (FileTypes::ofFileName(QFileInfo(host).fileName()).className != u"InternetShortcut")
        return {Plan::OpenFile, host, {}};

    InternetShortcut shortcut;
    QString address;
    if (shortcut.Load(host) != win::S_OK || shortcut.GetURL(&address) != win::S_OK)
        return {Plan::Refuse,
                {},
                QStringLiteral("The shortcut %1 holds no address.").arg(target),
                win::SE_ERR_ACCESSDENIED};
    if (!isWebOrMailAddress(address))
        return {Plan::Refuse,
                {},
                QStringLiteral("The shortcut %1 leads to \"%2\", which is not a web or mail "
                               "address; it is not opened.")
                    .arg(target, address),
                win::SE_ERR_ACCESSDENIED};
    return {Plan::OpenAddress, address, {}};
}
