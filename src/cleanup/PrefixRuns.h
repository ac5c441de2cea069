#pragma once

#include "cleanup/Cleaners.h"
#include "prefixes/PrefixCatalogue.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// The clean-ups of one word of letters on each of several prefixes in turn.
namespace cleanup {

// What the letters did, or would do, on one prefix.
struct PrefixRun
{
    prefixes::FoundPrefix prefix;
    // Why nothing was done there; empty when the clean-ups ran.
    QString skipped;
    bool wineRunning = false;
    std::vector<std::pair<QChar, Outcome>> outcomes;

    // Nothing skipped, nothing left, nothing unreadable.
    bool complete() const;
};

// The letters that work inside each prefix: the closing message and the removal of the
// start-up entries belong to the run as a whole, not to one prefix.
QString perPrefixLetters(const QString &letters);

// Runs (or previews) the per-prefix letters on the prefix, in the run's order. A prefix that
// Wine is using, or whose registry file is damaged, is skipped whole. A preview first marks the
// prefix as one nothing may be written to.
PrefixRun runOnPrefix(const prefixes::FoundPrefix &prefix, const QString &letters, Mode mode,
                      const QString &program);

// The block a run prints for one prefix: its name and path, then a line per step.
QStringList reportLines(const PrefixRun &run, Mode mode);

} // namespace cleanup
