#include "privacy/DateTimeText.h"

#include <QRegularExpression>
#include <cmath>

namespace {

constexpr qint64 MsecsPerDay = 86'400'000;

} // namespace

QString ShortDateFormat(const QLocale &locale)
{
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    QString format = locale.dateFormat(QLocale::ShortFormat);
    format.replace(twoDigitYear, QStringLiteral("yyyy"));
    return format;
}

QString LongTimeFormat(const QLocale &locale)
{
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b"));
    return locale.timeFormat(QLocale::LongFormat).remove(zone).trimmed();
}

DayAndTime SplitDateTime(platform::TDateTime value)
{
    if (!std::isfinite(value))
        return {};
    qint64 days = qint64(std::floor(value));
    qint64 msecs = std::llround((value - double(days)) * MsecsPerDay);
    if (msecs >= MsecsPerDay) {
        ++days;
        msecs = 0;
    }
    return {QDate(1899, 12, 30).addDays(days), QTime::fromMSecsSinceStartOfDay(int(msecs))};
}

QString DateTimeToStr(platform::TDateTime value, const QLocale &locale)
{
    return DateTimeTexts(locale)(value);
}

DateTimeTexts::DateTimeTexts(const QLocale &locale)
    : m_locale(locale), m_dateFormat(ShortDateFormat(locale)), m_timeFormat(LongTimeFormat(locale))
{
}

QString DateTimeTexts::operator()(platform::TDateTime value)
{
    const DayAndTime split = SplitDateTime(value);
    if (!split.date.isValid())
        return {};
    if (split.date != m_lastDate) {
        m_lastDate = split.date;
        m_lastDateText = m_locale.toString(split.date, m_dateFormat);
    }
    if (split.time == QTime(0, 0))
        return m_lastDateText;
    return m_lastDateText + QLatin1Char(' ') + m_locale.toString(split.time, m_timeFormat);
}
