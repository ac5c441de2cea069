#include "platform/shell/InternetShortcut.h"

#include "platform/kernel/AnsiCodePage.h"
#include "platform/kernel/AtomicFile.h"
#include "platform/kernel/LogCategories.h"
#include "platform/kernel/ProfileFile.h"
#include "platform/prefix/DosPaths.h"
#include "platform/prefix/WineServer.h"

#include <QUrl>

using namespace win;

QString shellHostPath(const QString &fileName)
{
    if (fileName.startsWith(u'/'))
        return fileName;
    return DosPaths::toHostPath(Prefix::target(), fileName);
}

HRESULT InternetShortcut::Load(const QString &fileName)
{
    m_url.clear();
    const QString host = shellHostPath(fileName);
    const std::optional<QString> url =
        host.isEmpty() ? std::nullopt : GetPrivateProfileString(u"InternetShortcut", u"URL", host);
    if (!url || url->isEmpty()) {
        qCDebug(lcShell) << "no address in internet shortcut" << fileName;
        return E_FAIL;
    }
    m_url = *url;
    return S_OK;
}

HRESULT InternetShortcut::GetURL(QString *url) const
{
    if (!url)
        return E_INVALIDARG;
    *url = m_url;
    return m_url.isEmpty() ? S_FALSE : S_OK;
}

bool isWebOrMailAddress(const QString &address)
{
    const QUrl url(address.trimmed());
    const QString scheme = url.scheme().toLower();
    if (scheme == u"mailto")
        return !url.path().isEmpty();
    return (scheme == u"http" || scheme == u"https" || scheme == u"ftp") && !url.host().isEmpty();
}

bool isInternetShortcutFile(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".url"), Qt::CaseInsensitive);
}

bool writeInternetShortcutFile(const QString &fileName, const QString &address, QString *reason)
{
    const auto refuse = [&](const QString &why) {
        qCWarning(lcShell) << "not written:" << fileName << why;
        if (reason)
            *reason = why;
        return false;
    };
    bool lossless = false;
    const QByteArray url = AnsiCodePage::fromUnicode(address, &lossless);
    if (!lossless)
        return refuse(QStringLiteral("The address holds characters that a shortcut file cannot "
                                     "store in the system code page."));
    const QString host = shellHostPath(fileName);
    if (host.isEmpty())
        return refuse(
            QStringLiteral("The file %1 lies outside the drives of the prefix.").arg(fileName));
    const PrefixWriteLock lock(Prefix::target().root());
    if (!lock.isHeld())
        return refuse(QStringLiteral("Wine is running in the prefix, so nothing may be changed."));
    if (!AtomicFile::replace(host, "[InternetShortcut]\r\nURL=" + url + "\r\n"))
        return refuse(QStringLiteral("The file %1 could not be written.").arg(fileName));
    return true;
}
