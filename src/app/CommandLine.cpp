#include "app/CommandLine.h"

namespace CommandLine {

namespace {
QStringList current;
bool withoutDisplay = false;
} // namespace

bool headless()
{
    return withoutDisplay;
}

void setHeadless(bool headless)
{
    withoutDisplay = headless;
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
