#include "automation/CleanupPreview.h"

#include "cleanup/Cleaners.h"

CleanupForecast CleanupPreview(const QString &letters, const cleanup::Context &context)
{
    CleanupForecast forecast;
    for (const cleanup::Cleaner &cleaner : cleanup::cleaners()) {
        if (!letters.contains(cleaner.letter))
            continue;
        forecast.outcomes.push_back({cleaner.letter, {}});
        if (!cleaner.removesTraces()) {
            forecast.lines << QStringLiteral("n  a closing message would be shown");
            continue;
        }
        const cleanup::Outcome outcome = cleaner.run(cleanup::Mode::Preview, context);
        forecast.outcomes.back().second = outcome;
        forecast.lines << cleanup::previewLines(cleaner.letter, outcome);
        forecast.complete = forecast.complete && outcome.reasons.isEmpty();
    }
    return forecast;
}
