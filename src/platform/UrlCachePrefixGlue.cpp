#include "platform/UrlCacheEnvironment.h"

namespace urlcache {

namespace {

// Stands in until the prefix layer answers: no folders known, nothing writable.
class UnresolvedPrefixEnvironment : public UrlCacheEnvironment
{
public:
    ShellCacheFolders folders() override { return {}; }
    std::unique_ptr<WriteLease> acquireWriteLease() override { return nullptr; }
    QByteArray userName() override { return {}; }
};

} // namespace

std::shared_ptr<UrlCacheEnvironment> prefixUrlCacheEnvironment()
{
    return std::make_shared<UnresolvedPrefixEnvironment>();
}

} // namespace urlcache
