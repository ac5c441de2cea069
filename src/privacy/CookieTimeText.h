#pragma once

#include "platform/kernel/FileTime.h"

#include <QLocale>
#include <QString>

// A cookie's access or expiry time as the cookie window shows it: the system's short date (with
// a four-digit year), a
// blank and the time to the minute; the date alone at midnight. A time that stands for "none"
// (zero or before the date-time epoch) gives the empty text.
QString CookieTimeText(platform::TDateTime time, const QLocale &locale = QLocale::system());
