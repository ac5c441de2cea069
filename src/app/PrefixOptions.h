#pragma once

#include "cleanup/Cleaners.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <utility>
#include <vector>

// The options that reach beyond one prefix: listing the user's prefixes, and previewing or
// running the clean-ups on all of them.

// Per letter what was found, what stayed and why, for the JSON of a preview.
QJsonObject outcomesJson(const std::vector<std::pair<QChar, cleanup::Outcome>> &outcomes);

// --list-prefixes: kind, name, path and whether Wine is using each; 0.
int listPrefixes(bool json);

// --all-prefixes --preview: a block per prefix, reading only; 1 when a prefix would be skipped
// or a step not done.
int previewAllPrefixes(const QString &letters, bool json);

// --all-prefixes: the letters on each prefix in turn, a block per prefix on the standard output
// and a line on the standard error for each prefix skipped and each step not done. Whether
// every prefix was cleaned completely, and whether one was skipped because Wine used it.
struct AllPrefixesResult
{
    bool complete = true;
    bool wineWasRunning = false;
};
AllPrefixesResult cleanAllPrefixes(const QString &letters, const QString &program);
