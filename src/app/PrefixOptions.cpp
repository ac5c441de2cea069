#include "app/PrefixOptions.h"

#include "cleanup/PrefixRuns.h"
#include "platform/prefix/WineServer.h"
#include "prefixes/PrefixCatalogue.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

QJsonObject outcomesJson(const std::vector<std::pair<QChar, cleanup::Outcome>> &outcomes)
{
    QJsonObject letters;
    for (const auto &[letter, outcome] : outcomes) {
        QJsonObject entry{{QStringLiteral("name"), cleanup::cleanerFor(letter)->name},
                          {QStringLiteral("found"), outcome.found},
                          {QStringLiteral("stayed"), outcome.stayed},
                          {QStringLiteral("reasons"), QJsonArray::fromStringList(outcome.reasons)}};
        if (outcome.bytes >= 0)
            entry.insert(QStringLiteral("bytes"), outcome.bytes);
        if (outcome.kept >= 0)
            entry.insert(QStringLiteral("kept"), outcome.kept);
        letters.insert(QString(letter), entry);
    }
    return letters;
}

int listPrefixes(bool json)
{
    QJsonArray list;
    for (const prefixes::FoundPrefix &found : prefixes::discover()) {
        const bool wineRunning = WineServer(found.path).isRunning();
        if (json) {
            list.append(QJsonObject{{QStringLiteral("kind"), prefixes::kindWord(found.kind)},
                                    {QStringLiteral("name"), found.name},
                                    {QStringLiteral("path"), found.path},
                                    {QStringLiteral("wineRunning"), wineRunning}});
            continue;
        }
        std::printf("%-12s %-32s %s%s\n", qPrintable(prefixes::kindWord(found.kind)),
                    qPrintable(found.name), qPrintable(found.path),
                    wineRunning ? "  (Wine is using it)" : "");
    }
    if (json)
        std::puts(QJsonDocument(list).toJson(QJsonDocument::Indented).constData());
    return 0;
}

int previewAllPrefixes(const QString &letters, bool json)
{
    bool complete = true;
    QJsonArray list;
    for (const prefixes::FoundPrefix &found : prefixes::discover()) {
        const cleanup::PrefixRun run =
            cleanup::runOnPrefix(found, letters, cleanup::Mode::Preview, QString());
        complete = complete && run.complete();
        if (!json) {
            for (const QString &line : cleanup::reportLines(run, cleanup::Mode::Preview))
                std::printf("%s\n", qPrintable(line));
            continue;
        }
        QJsonObject entry{{QStringLiteral("kind"), prefixes::kindWord(found.kind)},
                          {QStringLiteral("name"), found.name},
                          {QStringLiteral("prefix"), found.path},
                          {QStringLiteral("letters"), outcomesJson(run.outcomes)}};
        if (!run.skipped.isEmpty())
            entry.insert(QStringLiteral("skipped"), run.skipped);
        list.append(entry);
    }
    if (json)
        std::puts(QJsonDocument(QJsonObject{{QStringLiteral("prefixes"), list}})
                      .toJson(QJsonDocument::Indented)
                      .constData());
    return complete ? 0 : 1;
}

AllPrefixesResult cleanAllPrefixes(const QString &letters, const QString &program)
{
    AllPrefixesResult result;
    for (const prefixes::FoundPrefix &found : prefixes::discover()) {
        const cleanup::PrefixRun run =
            cleanup::runOnPrefix(found, letters, cleanup::Mode::Clean, program);
        for (const QString &line : cleanup::reportLines(run, cleanup::Mode::Clean))
            std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
        result.complete = result.complete && run.complete();
        if (!run.skipped.isEmpty()) {
            result.wineWasRunning = result.wineWasRunning || run.wineRunning;
            std::fprintf(stderr, "navolis: %s (%s): skipped: %s\n", qPrintable(found.name),
                         qPrintable(found.path), qPrintable(run.skipped));
        }
        for (const auto &[letter, outcome] : run.outcomes)
            if (!outcome.done())
                std::fprintf(stderr, "navolis: %s: %s\n", qPrintable(found.name),
                             qPrintable(cleanup::stepReport(letter, outcome)));
        std::fflush(stderr);
    }
    return result;
}
