#include "platform/ServiceNotify.h"

#include <systemd/sd-daemon.h>

#include <cstdlib>

namespace ServiceNotify {

bool underServiceManager()
{
    return qEnvironmentVariableIsSet("NOTIFY_SOCKET") || qEnvironmentVariableIsSet("INVOCATION_ID");
}

void ready()
{
    sd_notify(0, "READY=1");
}

void stopping()
{
    sd_notify(0, "STOPPING=1");
}

quint64 watchdogIntervalUs()
{
    uint64_t interval = 0;
    return sd_watchdog_enabled(0, &interval) > 0 ? interval : 0;
}

void watchdogAlive()
{
    sd_notify(0, "WATCHDOG=1");
}

} // namespace ServiceNotify
