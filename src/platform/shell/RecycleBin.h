#pragma once

#include <QString>

namespace win {

enum class Recycled
{
    NotDeleted, // the file is still there
    ToTrash,    // it can be restored from the desktop's trash
    ForGood     // no trash could take it, so it was removed
};

// Deletes a file so that it can be restored: into the desktop's trash where the file's volume
// has one, removed for good otherwise; under the prefix's write lock. `fileName` is a Windows path
// of the prefix or a host path.
Recycled RecycleFile(const QString &fileName);

} // namespace win
