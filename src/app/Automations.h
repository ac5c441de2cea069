#pragma once

#include <QString>

// The automatic clean-up: the choice lives in the arguments of a shortcut in the user's
// start-up folder, which starts the program with the letters as its only argument.
//   c cookies, b cache, h history, m MRU lists, e typed addresses,
//   n closing message, r remove the start-up shortcut afterwards.

// Shows the existing start-up shortcut's letters in the automation check boxes; it changes no
// entry.
void LoadAutomationChoices();

// Replaces the start-up shortcut by one that starts the running program with these letters.
// False when an entry could not be written or an old one removed; true also when there is no
// start-up folder to write in.
bool CreateAutostartLink(const QString &letters);

// Deletes the start-up shortcut under both of its names, then the desktop entry. False when
// one of them is still there.
bool RemoveAutostartLinks();

// Stores the letters of the automation boxes: the shortcut is rewritten, or removed when the
// letters clean nothing. When that is refused, the boxes show what is stored again, and the
// window says so unless Wine's running server was just named as the reason.
void StoreAutomationChoice(const QString &letters);

// The unattended run: the busy window, the chosen clean-ups in a fixed order, the optional
// closing message, and the end of the program.
void RunAutomaticCleanup();

// The exit status of the unattended run: 0 when every step asked for did its work, 1 when one
// was refused or failed (each such step has said so on the standard error stream).
int AutomaticCleanupStatus();

// The clean-up steps of the unattended run; the history's is ClearBrowserHistory of the history
// window.
// Each is true when nothing of what it clears is left.
bool DeleteAllCookies();
bool EmptyBrowserCache();
bool ClearMruLists();
bool ClearTypedUrls();
