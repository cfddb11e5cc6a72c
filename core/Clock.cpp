#include "core/Clock.h"

namespace {
std::function<QDateTime()> &nowSource()
{
    static std::function<QDateTime()> source;
    return source;
}
} // namespace

QDateTime Clock::now()
{
    const auto &source = nowSource();
    return source ? source() : QDateTime::currentDateTime();
}

qint64 Clock::currentMSecsSinceEpoch()
{
    return now().toMSecsSinceEpoch();
}

void Clock::setNowSourceForTesting(std::function<QDateTime()> source)
{
    nowSource() = std::move(source);
}
