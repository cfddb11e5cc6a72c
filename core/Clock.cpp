#include "core/Clock.h"

#ifndef Q_OS_WIN
#include <atomic>
#include <ctime>
#endif

namespace {

#ifndef Q_OS_WIN
// tzset() looks at the zone file on every call. Once a minute is enough to follow a zone the
// user changes while the program runs, and spares the sensor pass that file look-up.
void refreshZone(time_t now)
{
    constexpr time_t kZoneCheckSecs = 60;
    static std::atomic<time_t> lastCheck{0};
    const time_t last = lastCheck.load(std::memory_order_relaxed);
    if (last != 0 && now >= last && now - last < kZoneCheckSecs)
        return;
    lastCheck.store(now, std::memory_order_relaxed);
    tzset();
}

// The local time from the C library, as a time with its offset. Qt's currentDateTime() looks
// the zone up again for every field read afterwards, which was a tenth of a sensor pass.
QDateTime localNow()
{
    timespec instant{};
    clock_gettime(CLOCK_REALTIME, &instant);
    refreshZone(instant.tv_sec);
    tm local{};
    if (!localtime_r(&instant.tv_sec, &local))
        return QDateTime::currentDateTime();
    // A leap second has no QTime.
    const QTime time(local.tm_hour, local.tm_min, qMin(local.tm_sec, 59),
                     int(instant.tv_nsec / 1000000));
    const QDate date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return QDateTime(date, time, Qt::OffsetFromUTC, int(local.tm_gmtoff));
}
#else
QDateTime localNow()
{
    return QDateTime::currentDateTime();
}
#endif

std::function<QDateTime()> &nowSource()
{
    static std::function<QDateTime()> source;
    return source;
}
} // namespace

QDateTime Clock::now()
{
    const auto &source = nowSource();
    return source ? source() : localNow();
}

qint64 Clock::currentMSecsSinceEpoch()
{
    return now().toMSecsSinceEpoch();
}

void Clock::setNowSourceForTesting(std::function<QDateTime()> source)
{
    nowSource() = std::move(source);
}
