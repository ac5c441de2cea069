// The documentation file: the manual as an RTF document, which word processors open
// whatever the file's extension.
#pragma once

#include "Manual.h"

namespace helpgen {

std::string toRtf(const Manual &manual);

} // namespace helpgen
