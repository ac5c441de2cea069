#include "platform/urlcache/PrefixUrlCacheEnvironment.h"

#include "platform/prefix/Prefix.h"
#include "platform/prefix/WineServer.h"
#include "platform/shell/ShellFolders.h"

#include <QRegularExpression>

namespace urlcache {

namespace {

class PrefixLease : public WriteLease
{
public:
    explicit PrefixLease(const QString &root) : m_lock(root) {}
    bool held() const { return m_lock.isHeld(); }

private:
    PrefixWriteLock m_lock;
};

// The containers of the target prefix, found through its shell folder values.
class PrefixEnvironment : public UrlCacheEnvironment
{
public:
    ShellCacheFolders folders() override
    {
        return {ShellFolders::hostPath(QStringLiteral("Cache")),
                ShellFolders::hostPath(QStringLiteral("Cookies")),
                ShellFolders::hostPath(QStringLiteral("History"))};
    }

    std::unique_ptr<WriteLease> acquireWriteLease() override
    {
        auto lease = std::make_unique<PrefixLease>(Prefix::target().root());
        return lease->held() ? std::move(lease) : nullptr;
    }

    QString confinementRoot() override { return Prefix::target().root(); }
    bool readOnly() override { return writesRefusedTo(Prefix::target().root()); }

    // Wine names the profile folder after the logon name: "C:\users\NAME\...".
    QByteArray userName() override
    {
        static const QRegularExpression profile(QStringLiteral("^[A-Za-z]:\\\\users\\\\([^\\\\]+)"),
                                                QRegularExpression::CaseInsensitiveOption);
        const auto match = profile.match(ShellFolders::windowsPath(QStringLiteral("Cache")));
        if (match.hasMatch())
            return match.captured(1).toUtf8();
        return qgetenv("USER");
    }
};

} // namespace

std::shared_ptr<UrlCacheEnvironment> prefixUrlCacheEnvironment()
{
    return std::make_shared<PrefixEnvironment>();
}

} // namespace urlcache
