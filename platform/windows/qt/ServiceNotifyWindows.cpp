#include "platform/ServiceNotify.h"

// No service manager speaks this protocol on Windows.
namespace ServiceNotify {

bool underServiceManager()
{
    return false;
}

void ready() {}

void stopping() {}

quint64 watchdogIntervalUs()
{
    return 0;
}

void watchdogAlive() {}

} // namespace ServiceNotify
