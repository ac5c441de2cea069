// The help file's topics: one HTML page per manual page, and the contents list that
// help viewers show beside them.
#pragma once

#include "Manual.h"

#include <string>

namespace helpgen {

// File name of the page at that index inside the help file ("index.htm" for the first).
std::string pageFileName(size_t index);

// One page as HTML; characters outside ASCII are written as character references.
std::string pageHtml(const Manual &manual, size_t index);

// Windows-1252 bytes of UTF-8 text ('?' where it has no character); help viewers decode
// the contents list and the title by the code page of the file's language id.
std::string windows1252(const std::string &utf8);

// The contents list (sitemap) in the code page that the manual's language id implies.
std::string contentsHhc(const Manual &manual);

} // namespace helpgen
