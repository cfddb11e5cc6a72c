#include "platform/ShowRequest.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QString>

#include <unistd.h>

namespace {
// In the temporary folder, beside the single-instance lock's key file; the user's id in the
// name, since another user's copy holds a socket of its own.
QString serverName()
{
    return QStringLiteral("Zorvex_V2.0-show-%1").arg(getuid());
}
} // namespace

struct ShowRequestListener::Impl
{
    QLocalServer server;
};

ShowRequestListener::ShowRequestListener(std::function<void()> onRequest) : impl(new Impl)
{
    QLocalServer &server = impl->server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    // Only the holder of the instance lock listens: a socket found here was left by a copy
    // that was killed.
    QLocalServer::removeServer(serverName());
    if (!server.listen(serverName()))
        return;
    QObject::connect(&server, &QLocalServer::newConnection, &server, [&server, onRequest] {
        while (QLocalSocket *socket = server.nextPendingConnection()) {
            socket->disconnectFromServer();
            socket->deleteLater();
            onRequest();
        }
    });
}

ShowRequestListener::~ShowRequestListener() = default;

bool ShowRequestListener::isListening() const
{
    return impl->server.isListening();
}

bool ShowRequest::send()
{
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(2000))
        return false;
    socket.disconnectFromServer();
    return true;
}
