#pragma once

#include "platform/context/PrefixContext.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <vector>

// The clean-ups of the automatic clean-up, one per letter, over a prefix handed to them and
// without a window. Each walks its traces once: a preview counts them, a clean removes them as it
// goes, so that what a preview counts is what the clean then removes.
namespace cleanup {

enum class Mode
{
    Preview,
    Clean
};

// What one clean-up found and did; never an exception.
struct Outcome
{
    int found = 0;
    // The size of what was found, where the traces have one.
    qint64 bytes = -1;
    int removed = 0;
    // What a clean left, or what a preview already knows will stay.
    int stayed = 0;
    // What a keep list spared, where one applies; neither found nor removed.
    int kept = -1;
    // Why something stayed, or would stay.
    QStringList reasons;
    // What was found, in the preview's words: "2 cookies, 0 kb".
    QString summary;
    // Files removed whose content another hard link keeps, and files removed without being
    // overwritten although overwriting was asked for.
    int contentKept = 0;
    int notOverwritten = 0;

    bool done() const { return stayed == 0 && reasons.isEmpty(); }
};

// The prefix to clean, and what the start-up entries are, for the letter that removes them.
struct Context
{
    // The running program, which the entries start.
    QString program;
    // The shortcut's name in the current language, a Windows path; empty when unusable.
    QString namedLink;
    PrefixContext prefix = PrefixContext(Prefix::target());
    // Called between the steps of a long clean-up, so that a window can keep painting.
    std::function<void()> step = {};
};

struct Cleaner
{
    QChar letter;
    // For reports: "the cookies".
    QString name;
    // For the usage: "delete every cookie".
    QString task;
    // Null for the closing message, which removes nothing.
    std::function<Outcome(Mode, const Context &)> work;

    bool removesTraces() const { return bool(work); }
    // The work on the context's prefix; what escapes it is a reason, not an exception.
    Outcome run(Mode mode, const Context &context) const;
};

// In the order of the unattended run.
const std::vector<Cleaner> &cleaners();
const Cleaner *cleanerFor(QChar letter);

// "cbhmenr": the letters the start-up shortcut carries.
QString letters();
// A word of these letters only.
bool isLetters(QStringView word);

// What stayed and why, in one line: "3 of 40 stayed: Wine is using this prefix".
QString report(const Outcome &outcome);
// The same for one step: "c, the cookies: 3 of 40 stayed: Wine is using this prefix".
QString stepReport(QChar letter, const Outcome &outcome);
// What a preview says of one step: "c  40 cookies, 12 kb (5 kept)", then a line for each reason why
// something would stay.
QStringList previewLines(QChar letter, const Outcome &outcome);

// The start-up shortcut's fixed name, read and removed beside the translated one.
inline const QString FixedLinkName = QStringLiteral("Navolis-Auto.lnk");

} // namespace cleanup
