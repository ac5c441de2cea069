// Replacing a file so that readers see either the old or the new content, never a part: the
// translation library's writes of its companion files.
#pragma once

#include <string>

namespace common {

// Writes content to path through a temporary file in the same folder (created with
// O_EXCL, flushed to disk, renamed over the target). An existing target keeps its
// permissions; missing parent folders are created. Returns false when nothing changed.
bool replaceFile(const std::string &path, const std::string &content);

// Reads a whole file; false when it cannot be read.
bool readFile(const std::string &path, std::string &content);

} // namespace common
