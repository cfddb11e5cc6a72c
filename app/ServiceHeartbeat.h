#pragma once
#include <QtGlobal>

#include <atomic>
#include <functional>

// The service's signs of life, given by the sensor pass itself: ready after the first pass,
// then a watchdog ping at most every half interval. A pass that hangs in the sensor library
// stops the pings, and the service manager restarts the service.
class ServiceHeartbeat
{
public:
    /// ready, alive: what to send; intervalUs: the watchdog's interval, 0 when none.
    ServiceHeartbeat(std::function<void()> ready, std::function<void()> alive, quint64 intervalUs);

    /// One finished pass at \a nowUs (a steady clock, microseconds). Sensor thread.
    void pass(quint64 nowUs);

    /// Whether a ping is due at nowUs after one at lastUs.
    static bool pingDue(quint64 nowUs, quint64 lastUs, quint64 intervalUs);

private:
    std::function<void()> sendReady;
    std::function<void()> sendAlive;
    const quint64 interval;
    bool readySent = false; // sensor thread only
    quint64 lastPing = 0;
};
