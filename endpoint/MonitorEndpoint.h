#pragma once
#include "app/RefreshSnapshot.h"
#include "endpoint/EndpointServer.h"
#include "endpoint/ListenAddress.h"

#include <QObject>
#include <QPointer>

#include <mutex>

class Monitor;

// The endpoint fed by a monitor: while it listens, the monitor lists every reading of each
// pass and the pass is turned into what the server answers from. Make it a child of the
// monitor (or stop it before the monitor goes): the monitor's sensor thread calls into it.
//
//   auto *endpoint = new MonitorEndpoint(monitor);   // parent: the monitor
//   endpoint->start(Endpoint::parseListen(text));
class MonitorEndpoint : public QObject
{
    Q_OBJECT
public:
    explicit MonitorEndpoint(Monitor *monitor);
    ~MonitorEndpoint() override;

    /// Does nothing for an address that is off; logs and returns false when it cannot
    /// listen, and the monitor goes on as before.
    bool start(const ListenAddress &address);
    void stop();
    const EndpointServer &server() const { return httpServer; }

private:
    void onPass(const RefreshSnapshotPtr &snapshot); // sensor thread

    // Null once the monitor's own destruction has begun (it then deletes this child): a
    // monitor being torn down is not asked to stop collecting.
    QPointer<Monitor> monitor;
    EndpointServer httpServer;
    std::mutex feedLock;  // held by a pass being published and by stop()
    bool feeding = false; // guarded by feedLock
};
