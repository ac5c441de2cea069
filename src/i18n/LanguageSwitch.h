#pragma once

#include <QString>

// Makes the named language current, then starts the program anew in it and ends this instance.
void SwitchLanguage(const QString &name);
