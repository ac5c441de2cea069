#pragma once

#include "cleanup/Cleaners.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

struct CleanupForecast
{
    QStringList lines;
    // Each letter asked for with what its preview found (nothing for the closing message).
    std::vector<std::pair<QChar, cleanup::Outcome>> outcomes;
    // False when the run would not do a step asked for: a container it cleans cannot be read.
    bool complete = true;
};

// What the unattended run would remove for the letters, one line per step asked for, in the
// run's order, each followed by what it could not read; reading only, nothing is changed.
CleanupForecast CleanupPreview(const QString &letters, const cleanup::Context &context);
