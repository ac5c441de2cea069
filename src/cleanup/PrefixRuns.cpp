#include "cleanup/PrefixRuns.h"

#include "common/Erase.h"
#include "platform/prefix/WineServer.h"
#include "platform/registry/Registry.h"

#include <QFile>

#include <algorithm>

namespace cleanup {

bool PrefixRun::complete() const
{
    return skipped.isEmpty() && std::all_of(outcomes.begin(), outcomes.end(),
                                            [](const auto &o) { return o.second.done(); });
}

QString perPrefixLetters(const QString &letters)
{
    QString kept;
    for (const QChar letter : letters)
        if (letter != QLatin1Char('n') && letter != QLatin1Char('r') && !kept.contains(letter))
            kept += letter;
    return kept;
}

PrefixRun runOnPrefix(const prefixes::FoundPrefix &prefix, const QString &letters, Mode mode,
                      const QString &program)
{
    PrefixRun run{prefix, {}, false, {}};
    const PrefixContext context(Prefix(prefix.path));
    if (WineServer(context.root()).isRunning()) {
        run.wineRunning = true;
        run.skipped = QStringLiteral("Wine is using this prefix");
        return run;
    }
    if (mode == Mode::Preview)
        refuseWritesTo(context.root());
    {
        const PrefixContext::Use use(context);
        if (win::UserHiveIsDamaged()) {
            run.skipped = QStringLiteral("its registry file (user.reg) is damaged");
            return run;
        }
    }
    Context cleanupContext{program, {}, context};
    const QString wanted = perPrefixLetters(letters);
    for (const Cleaner &cleaner : cleaners())
        if (wanted.contains(cleaner.letter) && cleaner.removesTraces())
            run.outcomes.emplace_back(cleaner.letter, cleaner.run(mode, cleanupContext));
    return run;
}

QStringList reportLines(const PrefixRun &run, Mode mode)
{
    QStringList lines{QStringLiteral("%1 (%2)").arg(run.prefix.name, run.prefix.path)};
    if (!run.skipped.isEmpty()) {
        lines << QStringLiteral("  skipped: ") + run.skipped;
        return lines;
    }
    if (mode == Mode::Preview && common::overwriting() &&
        !common::overwriteReaches(QFile::encodeName(run.prefix.path).toStdString()))
        lines << QStringLiteral("  note: %1").arg(QLatin1String(common::UnreachableText));
    for (const auto &[letter, outcome] : run.outcomes) {
        if (mode == Mode::Preview) {
            for (const QString &line : previewLines(letter, outcome))
                lines << QStringLiteral("  ") + line;
            continue;
        }
        lines << QStringLiteral("  %1  %2: %3")
                     .arg(letter)
                     .arg(outcome.summary, outcome.done() && outcome.found == 0
                                               ? QStringLiteral("nothing to remove")
                                               : report(outcome));
    }
    return lines;
}

} // namespace cleanup
