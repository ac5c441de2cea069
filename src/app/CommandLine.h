#pragma once

#include <QStringList>

// The program's arguments, without the program path. Set once by the program entry.
namespace CommandLine {

QStringList arguments();
void setArguments(const QStringList &arguments);

// An unattended run that found no display: it runs on Qt's offscreen platform, and what it
// would show in a window goes to the standard output instead.
bool headless();
void setHeadless(bool headless);

} // namespace CommandLine
