#include "app/CommandLine.h"

namespace CommandLine {

namespace {
QStringList current;
}

QStringList arguments()
{
    return current;
}

void setArguments(const QStringList &arguments)
{
    current = arguments;
}

} // namespace CommandLine
