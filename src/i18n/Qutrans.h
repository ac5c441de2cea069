// The translation library's calls with Qt strings.
#pragma once

#include <QString>

#include "qutrans1.h"

namespace Qutrans {

// Loads the current language; call once before the others.
inline void start()
{
    ::start();
}

// The text of that number in the current language; empty for an unknown number.
inline QString get(int number)
{
    return QString::fromUtf8(::get(number));
}

inline QString GetLanguage()
{
    return QString::fromUtf8(::GetLanguage());
}

inline int CountLang()
{
    return ::CountLang();
}

inline QString AvailableLanguages(int index)
{
    return QString::fromUtf8(::AvailableLanguages(index));
}

// Makes the language current and places its help and documentation files.
inline void SetLanguage(const QString &name)
{
    ::SetLanguage(name.toUtf8().constData(), 0);
}

} // namespace Qutrans
