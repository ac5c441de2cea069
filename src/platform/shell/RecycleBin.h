#pragma once

#include <QString>

namespace win {

// Deletes a file so that it can be restored: into the desktop's trash where the file's volume
// has one, removed for good otherwise; under the prefix's write lock. `fileName` is a Windows path
// of the prefix or a host path. False when the file is still there afterwards.
bool RecycleFile(const QString &fileName);

} // namespace win
