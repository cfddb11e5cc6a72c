#include "app/ServiceHeartbeat.h"

#include <utility>

ServiceHeartbeat::ServiceHeartbeat(std::function<void()> ready, std::function<void()> alive,
                                   quint64 intervalUs)
    : sendReady(std::move(ready)), sendAlive(std::move(alive)), interval(intervalUs)
{
}

void ServiceHeartbeat::pass(quint64 nowUs)
{
    if (!readySent) {
        readySent = true;
        sendReady();
    }
    if (interval == 0 || !pingDue(nowUs, lastPing, interval))
        return;
    lastPing = nowUs;
    sendAlive();
}

bool ServiceHeartbeat::pingDue(quint64 nowUs, quint64 lastUs, quint64 intervalUs)
{
    // Half the interval leaves room for a pass that runs late.
    return lastUs == 0 || nowUs < lastUs || nowUs - lastUs >= intervalUs / 2;
}
