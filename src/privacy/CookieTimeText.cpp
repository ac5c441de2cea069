#include "privacy/CookieTimeText.h"

#include "privacy/DateTimeText.h"

#include <QDateTime>
#include <QRegularExpression>
#include <cmath>

namespace {

// The system's time format down to the minutes. Qt's long formats carry the time zone, and some
// short ones (the C locale's) still show seconds: those go with their separator.
QString minuteFormat(const QLocale &locale)
{
    static const QRegularExpression seconds(QStringLiteral("[^A-Za-z'\\s]?s{1,2}(?:[.,]z+)?"));
    return locale.timeFormat(QLocale::ShortFormat).remove(seconds).trimmed();
}

} // namespace

QString CookieTimeText(platform::TDateTime time, const QLocale &locale)
{
    // A zero file time becomes a day in 1601, or 0 where the shift to local time fails.
    if (!(time > 0) || !std::isfinite(time))
        return {};
    const DayAndTime split = SplitDateTime(time);
    if (!split.date.isValid())
        return {};
    const QString dateText = locale.toString(split.date, ShortDateFormat(locale));
    if (split.time == QTime(0, 0))
        return dateText;
    return dateText + QLatin1Char(' ') + locale.toString(split.time, minuteFormat(locale));
}
