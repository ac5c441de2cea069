#pragma once

#include "platform/kernel/WinTypes.h"

// The shell's list of recent documents: the shortcut files in the user's Recent folder.
namespace win {

using UINT = std::uint32_t;

constexpr UINT SHARD_PATH = 2;

// With SHARD_PATH and no path, empties the list: deletes the ".lnk" files directly in the
// Recent folder, under the prefix's write lock, and nothing else of it, and every value of the
// list the shell keeps in the registry (Explorer\RecentDocs and its subkeys). Links are removed
// themselves, never followed; a Recent folder that is itself a link is left alone. Adding a
// document is not offered. Sets the last error: ERROR_SUCCESS when no shortcut file is left,
// ERROR_ACCESS_DENIED when one was kept.
void SHAddToRecentDocs(UINT flags, const void *path);

} // namespace win
