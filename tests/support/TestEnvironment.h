#pragma once

#include <QString>

namespace testenv {

// Points HOME, XDG_DATA_HOME and XDG_CONFIG_HOME at a private temporary folder and
// clears WINEPREFIX, so that no test reads or writes the real home folder.
void isolateHome();

// The home folder that isolateHome() set up.
QString home();

// The Wine 8 sample prefix shipped with the tests (read-only: copy before changing it).
QString samplePrefix();

} // namespace testenv
