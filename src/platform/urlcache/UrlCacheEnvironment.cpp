#include "platform/urlcache/UrlCacheEnvironment.h"

namespace urlcache {

std::unique_ptr<WriteLease> FixedUrlCacheEnvironment::acquireWriteLease()
{
    return m_writable ? std::make_unique<WriteLease>() : nullptr;
}

} // namespace urlcache
