#pragma once

#include "platform/urlcache/UrlCacheEnvironment.h"

#include <memory>

namespace urlcache {

// The target prefix's folders and wineserver state: the one place that asks the prefix layer.
std::shared_ptr<UrlCacheEnvironment> prefixUrlCacheEnvironment();

} // namespace urlcache
