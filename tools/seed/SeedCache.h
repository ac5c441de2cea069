#pragma once

#include "platform/urlcache/UrlCache.h"

#include <QTextStream>

// Fills the URL cache containers of a prefix with sample entries.
namespace seed {

// Each returns how many entries were added; it stops early when a container is full.
int addCacheEntries(urlcache::UrlCache &cache, int count);
int addCookieEntries(urlcache::UrlCache &cache, int count);
int addHistoryEntries(urlcache::UrlCache &cache, int count);

// A small, realistic set: pages and pictures, a few sites' cookies, some visits.
bool addDemoEntries(urlcache::UrlCache &cache);

// One line per entry: URL, local file, size, tab-separated.
void listEntries(const char *pattern, QTextStream &out);

} // namespace seed
