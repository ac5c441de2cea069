#include "platform/shell/ShellExecute.h"

#include "platform/kernel/PrefixFileRead.h"
#include "platform/shell/FileTypes.h"
#include "platform/shell/InternetShortcut.h"
#include "platform/shell/ShellLinkObject.h"

#include <QFileInfo>

namespace {

bool isWindowsPath(const QString &target)
{
    return (target.size() >= 3 && target[1] == u':' && target[0].isLetter() &&
            target[0].unicode() < 128 && (target[2] == u'\\' || target[2] == u'/')) ||
           target.startsWith(QStringLiteral("\\\\?\\unix\\"), Qt::CaseInsensitive);
}

// What Open would start rather than show: a Windows program, or a host file the desktop would
// run. A shortcut in a favourites folder is no reason to start anything.
bool startsAProgram(const QString &host)
{
    static const QStringList programs{".exe", ".com", ".bat", ".cmd", ".pif", ".scr",
                                      ".msi", ".vbs", ".js",  ".wsf", ".ps1", ".jar"};
    const QFileInfo info(host);
    if (!info.isFile())
        return false;
    for (const QString &extension : programs)
        if (info.fileName().endsWith(extension, Qt::CaseInsensitive))
            return true;
    if (!info.isExecutable())
        return false;
    const QByteArray head = PrefixFile::readHead(host, 4, PrefixFile::Links::Follow).bytes;
    return head == QByteArrayLiteral("\x7f"
                                     "ELF") ||
           head.startsWith("#!");
}

ShellOpenPlan planForFile(const QString &target, const QString &host, bool viaShortcut)
{
    using Plan = ShellOpenPlan;
    const QString className = FileTypes::ofFileName(QFileInfo(host).fileName()).className;
    if (className == u"lnkfile") {
        // Open of a shortcut opens what it leads to, one step only.
        if (viaShortcut)
            return {Plan::Refuse,
                    {},
                    QStringLiteral("The shortcut %1 leads to another shortcut; it is not followed.")
                        .arg(target),
                    win::SE_ERR_ACCESSDENIED};
        ShellLinkObject link;
        if (!link.load(host) || !link.resolve())
            return {Plan::Refuse,
                    {},
                    QStringLiteral("The shortcut %1 leads to nothing that is there.").arg(target)};
        const QString next = link.path().value_or(QString());
        const QString nextHost = shellHostPath(next);
        if (startsAProgram(nextHost))
            return {Plan::Refuse,
                    {},
                    QStringLiteral("The shortcut %1 leads to the program %2; it is not started.")
                        .arg(target, next),
                    win::SE_ERR_ACCESSDENIED};
        return planForFile(next, nextHost, true);
    }
    if (className != u"InternetShortcut")
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
    return planForFile(target, host, false);
}
