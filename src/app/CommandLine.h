#pragma once

#include <QStringList>

// The program's arguments, without the program path. Set once by the program entry.
namespace CommandLine {

QStringList arguments();
void setArguments(const QStringList &arguments);

} // namespace CommandLine
