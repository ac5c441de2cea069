#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Where the automatic clean-up is started at each start of the computer: a shortcut in the
// prefix's start-up folder, which Wine runs when it simulates a start of Windows, and a desktop
// autostart entry ($XDG_CONFIG_HOME/autostart, one per prefix), which the Linux session runs at
// login.
namespace AutostartLinks {

// The user's start-up folder as a Windows path ending in a backslash; empty when the registry
// names none (a drive root or less is not taken for one).
QString startupFolder();

// The shortcuts of the start-up folder (Windows paths) that start `program` with nothing but
// clean-up letters: the automatic clean-up's, whatever language named them.
QStringList linksStarting(const QString &program);

// The desktop autostart entry of the current prefix.
QString desktopEntryPath();
// Writes it atomically: `name` as its name, running `program` with `letters` on the current
// prefix. False when it could not be written.
bool writeDesktopEntry(const QString &name, const QString &program, const QString &letters);
// False when an entry is still there afterwards.
bool removeDesktopEntry();

// The one autostart entry that runs the clean-up on every prefix at login, apart from the
// entries of single prefixes.
QString allPrefixesEntryPath();
bool writeAllPrefixesEntry(const QString &name, const QString &program, const QString &letters);
// The word of letters it runs with; none when there is no such entry, or it is not one
// Navolis wrote.
std::optional<QString> allPrefixesEntryLetters();
bool removeAllPrefixesEntry();
// Removes the autostart entries of single prefixes, whichever prefix each names: the run over
// every prefix takes their place. False when one is still there.
bool removeSinglePrefixEntries();

} // namespace AutostartLinks
