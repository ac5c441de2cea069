#pragma once

#include "platform/kernel/FileTime.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

// Dates and times as the system formats them. The system's short date shows the year with
// four digits, as it does in both languages; Qt's short formats mostly show two.
QString ShortDateFormat(const QLocale &locale = QLocale::system());
// The long time format, without the time zone that Qt's long format carries.
QString LongTimeFormat(const QLocale &locale = QLocale::system());

// The calendar day and time of day of a date-time; the day is invalid where the value lies
// outside what a date can hold.
struct DayAndTime
{
    QDate date;
    QTime time;
};
DayAndTime SplitDateTime(platform::TDateTime value);

// The short date, a blank and the long time; the date alone at midnight. Zero is the epoch
// date, 30 December 1899.
QString DateTimeToStr(platform::TDateTime value, const QLocale &locale = QLocale::system());

// DateTimeToStr for many values: the formats are looked up once, and a day's date is formatted
// once for a run of values on that day, as in a list sorted by time.
class DateTimeTexts
{
public:
    explicit DateTimeTexts(const QLocale &locale = QLocale::system());
    QString operator()(platform::TDateTime value);

private:
    QLocale m_locale;
    QString m_dateFormat;
    QString m_timeFormat;
    QDate m_lastDate;
    QString m_lastDateText;
};
