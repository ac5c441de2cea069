#pragma once

#include <QString>
#include <QStringList>

// What the unattended run of `program` would remove for the letters, one line per step asked
// for, in the run's order; reading only, nothing is changed.
QStringList CleanupPreview(const QString &letters, const QString &program);
