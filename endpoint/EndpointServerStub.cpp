// The endpoint on builds without the HTTP library: it never listens, and says so once.
#include "endpoint/EndpointServer.h"

#include <QDebug>

struct EndpointServer::Private
{
    EndpointPassPtr pass;
};

EndpointServer::EndpointServer() : EndpointServer(Limits()) {}

EndpointServer::EndpointServer(const Limits &) : d(new Private) {}

EndpointServer::~EndpointServer() = default;

bool EndpointServer::available()
{
    return false;
}

bool EndpointServer::start(const ListenAddress &address)
{
    if (address.valid && address.enabled)
        qDebug().noquote() << QStringLiteral(
                                  "Endpoint -> %1 was asked for, but this build has no HTTP "
                                  "endpoint")
                                  .arg(address.text());
    return false;
}

void EndpointServer::stop() {}

bool EndpointServer::isListening() const
{
    return false;
}

quint16 EndpointServer::port() const
{
    return 0;
}

void EndpointServer::publish(EndpointPassPtr pass)
{
    d->pass = std::move(pass);
}

EndpointPassPtr EndpointServer::latest() const
{
    return d->pass;
}
