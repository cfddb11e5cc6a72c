#include "endpoint/MonitorEndpoint.h"

#include "app/Monitor.h"

#include <QDateTime>

MonitorEndpoint::MonitorEndpoint(Monitor *monitor) : QObject(monitor), monitor(monitor)
{
    connect(monitor, &Monitor::passCompleted, this, &MonitorEndpoint::onPass, Qt::DirectConnection);
}

MonitorEndpoint::~MonitorEndpoint()
{
    // No pass starts publishing after this; one already in onPass() ends before stop() goes on.
    // A monitor on its way out has ended its passes and drops its connections itself.
    if (monitor)
        disconnect(monitor.data(), nullptr, this, nullptr);
    stop();
}

bool MonitorEndpoint::start(const ListenAddress &address)
{
    if (!address.valid || !address.enabled || httpServer.isListening())
        return false;
    if (!httpServer.start(address))
        return false;
    {
        std::lock_guard<std::mutex> lock(feedLock);
        feeding = true;
    }
    monitor->setCollectForEndpoint(true);
    return true;
}

void MonitorEndpoint::stop()
{
    {
        std::lock_guard<std::mutex> lock(feedLock);
        if (!feeding)
            return;
        feeding = false;
    }
    if (monitor)
        monitor->setCollectForEndpoint(false);
    httpServer.stop();
}

void MonitorEndpoint::onPass(const RefreshSnapshotPtr &snapshot)
{
    std::lock_guard<std::mutex> lock(feedLock);
    if (!feeding || !snapshot)
        return;
    PassFacts facts;
    facts.connected = monitor->deviceConnected();
    facts.reportsSent = monitor->reportsSent();
    facts.passSeconds = monitor->lastPassSeconds();
    facts.time = snapshot->localTime.toUTC();
    httpServer.publish(std::make_shared<const EndpointPass>(
        Endpoint::makePass(*snapshot, snapshot->sources, facts)));
}
