#include "sensors/PassSchedule.h"

int64_t PassSchedule::nextDeadline(int64_t previous, int64_t now, int64_t period)
{
    if (period <= 0)
        return now;
    const int64_t next = previous + period;
    if (next >= now)
        return next;
    return next + ((now - next) / period + 1) * period;
}
