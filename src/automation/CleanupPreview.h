#pragma once

#include <QString>
#include <QStringList>

struct CleanupForecast
{
    QStringList lines;
    // False when the run would not do a step asked for: a container it cleans cannot be read.
    bool complete = true;
};

// What the unattended run of `program` would remove for the letters, one line per step asked
// for, in the run's order, each followed by the containers it could not read; reading only,
// nothing is changed.
CleanupForecast CleanupPreview(const QString &letters, const QString &program);
