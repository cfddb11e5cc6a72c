#include "endpoint/EndpointServer.h"

#include "endpoint/EndpointRoutes.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLibrary>

struct EndpointServer::Private
{
    Limits limits;
    std::unique_ptr<HttpBackend> backend;
    int boundPort = 0;
    EndpointPassPtr pass; // read and written with std::atomic_load / std::atomic_store

    HttpAnswer answer(const std::string &method, const std::string &path) const;
    bool load();
};

HttpAnswer EndpointServer::Private::answer(const std::string &method, const std::string &path) const
{
    const EndpointPassPtr current = std::atomic_load(&pass);
    const EndpointReply reply = Endpoint::answer(QByteArray::fromStdString(method),
                                                 QByteArray::fromStdString(path), current.get());
    HttpAnswer answer;
    answer.status = reply.status;
    answer.contentType = reply.contentType.toStdString();
    answer.body = reply.body.toStdString();
    answer.allow = reply.allow.toStdString();
    return answer;
}

bool EndpointServer::Private::load()
{
    // Never unloaded: its threads and their code stay valid until the program ends.
    QLibrary module(modulePath());
    const auto create =
        reinterpret_cast<HttpBackendCreate>(module.resolve(TARNIX_HTTP_MODULE_ENTRY));
    if (!create) {
        qDebug().noquote() << QStringLiteral("Endpoint -> cannot load %1 (%2): no endpoint; the "
                                             "display is fed as before")
                                  .arg(module.fileName(), module.errorString());
        return false;
    }
    backend.reset(create(limits, [this](const std::string &method, const std::string &path) {
        return answer(method, path);
    }));
    return true;
}

EndpointServer::EndpointServer() : EndpointServer(Limits()) {}

EndpointServer::EndpointServer(const Limits &limits) : d(new Private)
{
    d->limits = limits;
}

EndpointServer::~EndpointServer()
{
    stop();
}

QString EndpointServer::modulePath()
{
    const QString given = qEnvironmentVariable("TARNIX_HTTP_MODULE");
    if (!given.isEmpty())
        return given;
#ifdef Q_OS_WIN
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tarnix-http.dll");
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/libtarnix-http.so");
#endif
}

bool EndpointServer::start(const ListenAddress &address)
{
    if (!address.valid || !address.enabled || d->boundPort != 0)
        return false;
    if (!d->backend && !d->load())
        return false;
    const int port = d->backend->bind(address.host.toStdString(), address.port);
    if (port <= 0) {
        qDebug().noquote() << QStringLiteral(
                                  "Endpoint -> cannot listen on %1: the address is in use or "
                                  "not available; the display is fed as before, without "
                                  "the endpoint (choose another ADDRESS:PORT)")
                                  .arg(address.text());
        // A bound socket is not kept; the next start() begins afresh.
        d->backend.reset();
        return false;
    }
    d->boundPort = port;
    ListenAddress bound = address;
    bound.port = quint16(port);
    qDebug().noquote() << QStringLiteral("Endpoint -> serving http://%1/metrics and /readings.json")
                              .arg(bound.text());
    if (!address.isLoopback())
        qDebug().noquote() << QStringLiteral(
                                  "Endpoint -> %1 is not a loopback address and the endpoint "
                                  "has no authentication: anyone who reaches it can read "
                                  "the readings")
                                  .arg(bound.text());
    d->backend->serve();
    return true;
}

void EndpointServer::stop()
{
    if (d->boundPort == 0)
        return;
    d->backend.reset(); // stops and joins
    d->boundPort = 0;
}

bool EndpointServer::isListening() const
{
    return d->boundPort != 0;
}

quint16 EndpointServer::port() const
{
    return quint16(d->boundPort);
}

void EndpointServer::publish(EndpointPassPtr pass)
{
    std::atomic_store(&d->pass, std::move(pass));
}

EndpointPassPtr EndpointServer::latest() const
{
    return std::atomic_load(&d->pass);
}
