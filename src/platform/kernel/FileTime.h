#pragma once

#include <QDateTime>
#include <QtGlobal>
#include <optional>

// Windows FILETIME (100-ns ticks since 1601-01-01 UTC), DOS date/time and the program's
// date-time (days since 1899-12-30, the fraction being the time of day).
namespace platform {

using TDateTime = double;

// 1970-01-01 00:00 UTC as a FILETIME: the one epoch the platform converts through.
constexpr quint64 UnixEpochAsFileTime = 116444736000000000ULL;

struct SystemTime
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;
};

// Shifts by the current distance of local time from UTC, as Windows does (not the one in
// force at that date). Fails when the result would leave the FILETIME range.
std::optional<quint64> fileTimeToLocalFileTime(quint64 fileTime);
std::optional<SystemTime> fileTimeToSystemTime(quint64 fileTime);
TDateTime encodeDateTime(const SystemTime &time);

quint64 fileTimeFromDateTime(const QDateTime &time);
QDateTime dateTimeFromFileTime(quint64 fileTime);
quint64 currentFileTime();

// 0/0 stands for FILETIME 0 both ways; a value that is no valid DOS date gives 0.
quint64 dosDateTimeToFileTime(quint16 date, quint16 time);
// Fails for a nonzero FILETIME outside 1980..2107.
bool fileTimeToDosDateTime(quint64 fileTime, quint16 &date, quint16 &time);

} // namespace platform
