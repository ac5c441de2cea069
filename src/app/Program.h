#pragma once

#include <QStringList>
#include <functional>

class CompanionFiles;

// The program from start to end. Returns the process exit code.
int runNavolis(int &argc, char **argv);

// Resets the language choice unless the choice file holds exactly this version: the choice
// file is deleted and the definition file copied anew from its template.
void checkLanguageVersion(const CompanionFiles &files);

// Builds every window in the program's order; the splash window is shown while windows
// 4 to 13 are built and destroyed after.
void createWindowSet();

// Start-up between the windows and the message loop: the "r" rule, the language window,
// the texts. removeAutostartLinks is the step taken for a first argument "r".
void prepareRun(const QStringList &arguments, const std::function<void()> &removeAutostartLinks);

// After the texts: a problem of the prefix is said, the main window shown and the message loop
// run, unless a language switch has already asked the main window to close. Returns the exit
// code.
int runMessageLoop();
