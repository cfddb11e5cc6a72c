#pragma once
#include "endpoint/EndpointPass.h"
#include "endpoint/HttpBackend.h"
#include "endpoint/ListenAddress.h"

#include <memory>

// The HTTP endpoint: a packaged HTTP library on threads of its own answers from the latest
// published pass. The library lives in a module beside the executable (libtarnix-http.so,
// or the file TARNIX_HTTP_MODULE names), loaded by the first start(). publish() only swaps a
// pointer, so a slow, stuck or greedy client never holds up the pass that publishes. Requests and
// connections are bounded: a small pool of workers, a short queue in front of it (the listening
// socket is not read while it is full), read, write and keep-alive timeouts, and no request body is
// read.
class EndpointServer
{
public:
    using Limits = HttpLimits;

    EndpointServer();
    explicit EndpointServer(const Limits &limits);
    ~EndpointServer();
    EndpointServer(const EndpointServer &) = delete;
    EndpointServer &operator=(const EndpointServer &) = delete;

    /// The module's file name: beside the executable unless TARNIX_HTTP_MODULE names one.
    static QString modulePath();

    /// Binds at once, so that a port in use is known now, then serves on its own thread.
    /// Logs one line either way; false when it does not listen.
    bool start(const ListenAddress &address);
    /// Closes the socket and waits for the workers; connections still open are cut after at
    /// most the timeout.
    void stop();
    bool isListening() const;
    /// The bound port (the one chosen when port 0 was asked for), 0 when not listening.
    quint16 port() const;

    /// Any thread. The server answers from this pass until the next one.
    void publish(EndpointPassPtr pass);
    EndpointPassPtr latest() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
