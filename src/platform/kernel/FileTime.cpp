#include "platform/kernel/FileTime.h"

#include <chrono>
#include <ctime>

namespace platform {

namespace {

constexpr qint64 TicksPerSecond = 10'000'000;
constexpr qint64 TicksPerDay = TicksPerSecond * 86'400;
constexpr quint64 FileTimeLimit = 0x8000'0000'0000'0000ULL;

// Asked of the C library at most once a second: conversions come by the thousand.
qint64 currentUtcOffsetSeconds()
{
    thread_local time_t askedAt = 0;
    thread_local qint64 offset = 0;
    const time_t now = time(nullptr);
    if (now != askedAt) {
        struct tm local;
        offset = localtime_r(&now, &local) ? qint64(local.tm_gmtoff) : 0;
        askedAt = now;
    }
    return offset;
}

QDate fileTimeEpoch()
{
    return QDate(1601, 1, 1);
}

} // namespace

std::optional<quint64> fileTimeToLocalFileTime(quint64 fileTime)
{
    const qint64 bias = currentUtcOffsetSeconds() * TicksPerSecond;
    if (fileTime >= FileTimeLimit)
        return std::nullopt;
    const qint64 local = qint64(fileTime) + bias;
    if (local < 0)
        return std::nullopt;
    return quint64(local);
}

std::optional<SystemTime> fileTimeToSystemTime(quint64 fileTime)
{
    if (fileTime >= FileTimeLimit)
        return std::nullopt;
    const QDate date = fileTimeEpoch().addDays(qint64(fileTime / TicksPerDay));
    const qint64 ms = qint64(fileTime % TicksPerDay) / 10'000;
    SystemTime st;
    st.year = date.year();
    st.month = date.month();
    st.day = date.day();
    st.hour = int(ms / 3'600'000);
    st.minute = int(ms / 60'000 % 60);
    st.second = int(ms / 1000 % 60);
    st.milliseconds = int(ms % 1000);
    return st;
}

TDateTime encodeDateTime(const SystemTime &time)
{
    const double days = double(QDate(1899, 12, 30).daysTo(QDate(time.year, time.month, time.day)));
    const double fraction =
        (((time.hour * 60.0 + time.minute) * 60.0 + time.second) * 1000.0 + time.milliseconds) /
        86'400'000.0;
    // Before the epoch the fraction still counts forward within the day.
    return days < 0 ? days - fraction : days + fraction;
}

quint64 fileTimeFromDateTime(const QDateTime &time)
{
    const QDateTime epoch(fileTimeEpoch(), QTime(0, 0), Qt::UTC);
    return quint64(epoch.msecsTo(time)) * 10'000;
}

QDateTime dateTimeFromFileTime(quint64 fileTime)
{
    const QDateTime epoch(fileTimeEpoch(), QTime(0, 0), Qt::UTC);
    return epoch.addMSecs(qint64(fileTime / 10'000));
}

quint64 currentFileTime()
{
    // Finer than QDateTime's milliseconds: names drawn from it differ between quick calls.
    const auto sinceUnixEpoch = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return UnixEpochAsFileTime + quint64(sinceUnixEpoch.count() / 100);
}

quint64 dosDateTimeToFileTime(quint16 date, quint16 time)
{
    if (date == 0 && time == 0)
        return 0;
    const QDate d(1980 + (date >> 9), (date >> 5) & 0xF, date & 0x1F);
    const QTime t((time >> 11) & 0x1F, (time >> 5) & 0x3F, (time & 0x1F) * 2);
    if (!d.isValid() || !t.isValid())
        return 0;
    return fileTimeFromDateTime(QDateTime(d, t, Qt::UTC));
}

bool fileTimeToDosDateTime(quint64 fileTime, quint16 &date, quint16 &time)
{
    if (fileTime == 0) {
        date = time = 0;
        return true;
    }
    const QDateTime dt = dateTimeFromFileTime(fileTime);
    const QDate d = dt.date();
    const QTime t = dt.time();
    if (d.year() < 1980 || d.year() > 2107)
        return false;
    date = quint16(((d.year() - 1980) << 9) | (d.month() << 5) | d.day());
    time = quint16((t.hour() << 11) | (t.minute() << 5) | (t.second() / 2));
    return true;
}

} // namespace platform
