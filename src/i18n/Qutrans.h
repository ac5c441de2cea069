#pragma once

#include <QString>

// The translation library's calls, with Qt strings.
namespace Qutrans {

void start();
QString get(int number);
QString GetLanguage();
int CountLang();
QString AvailableLanguages(int index);
// SetLanguage(name, 0)
void SetLanguage(const QString &name);

} // namespace Qutrans
