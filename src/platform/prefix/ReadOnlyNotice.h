#pragma once

#include <QString>

#include <functional>

// Tells the user, once per run, that the prefix is in use by Wine and that Navolis therefore
// writes nothing in it. The GUI registers a handler that shows its message; without one the
// notice is one line on the standard error stream, which suits the unattended run.
namespace ReadOnlyNotice {

// The handler gets the prefix folder. An empty handler restores the default.
using Handler = std::function<void(const QString &prefixRoot)>;
void setHandler(Handler handler);

// Called for every refused write; only the first call of a run reaches the handler.
void report(const QString &prefixRoot);

// Whether the notice was given in this run.
bool wasGiven();

// Lets the next report reach the handler again (tests).
void reset();

} // namespace ReadOnlyNotice
