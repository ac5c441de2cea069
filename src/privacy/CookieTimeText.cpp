#include "privacy/CookieTimeText.h"

#include <QDateTime>
#include <QRegularExpression>
#include <cmath>

namespace {

constexpr qint64 MsecsPerDay = 86'400'000;

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
    qint64 days = qint64(std::floor(time));
    qint64 msecs = std::llround((time - double(days)) * MsecsPerDay);
    if (msecs >= MsecsPerDay) {
        ++days;
        msecs = 0;
    }
    const QDate date = QDate(1899, 12, 30).addDays(days);
    if (!date.isValid())
        return {};
    const QString dateText = locale.toString(date, QLocale::ShortFormat);
    if (msecs == 0)
        return dateText;
    const QTime clock = QTime::fromMSecsSinceStartOfDay(int(msecs));
    return dateText + QLatin1Char(' ') + locale.toString(clock, minuteFormat(locale));
}
