#include "i18n/Qutrans.h"

#include <qutrans1.h>

namespace Qutrans {

void start()
{
    ::start();
}

QString get(int number)
{
    return QString::fromUtf8(::get(number));
}

QString GetLanguage()
{
    return QString::fromUtf8(::GetLanguage());
}

int CountLang()
{
    return ::CountLang();
}

QString AvailableLanguages(int index)
{
    return QString::fromUtf8(::AvailableLanguages(index));
}

void SetLanguage(const QString &name)
{
    ::SetLanguage(name.toUtf8().constData(), 0);
}

} // namespace Qutrans
