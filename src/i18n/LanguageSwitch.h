#pragma once

#include <QString>
#include <functional>

// Makes the named language current for this run and the later ones, with its help and
// documentation files beside the program.
void MakeLanguageCurrent(const QString &name);

// Makes the named language current, then starts the program anew in it and ends this instance.
void SwitchLanguage(const QString &name);

// The same, with the library's SetLanguage(name, 0) passed in (tests watch the calls).
void SwitchLanguage(const QString &name, const std::function<void(const QString &)> &setLanguage);
