#pragma once

#include <QByteArray>
#include <QString>

namespace AtomicFile {

// Writes a temporary file beside `path` (O_EXCL), flushes it and renames it over `path`, so
// that readers see the old file or the new one, never a part. A replaced file keeps its
// permissions; a new one gets 0666 less the umask. False when nothing was replaced.
bool replace(const QString &path, const QByteArray &bytes);

} // namespace AtomicFile
