#include "platform/ShowRequest.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QString>

#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

// A plain local socket: Qt's local-socket classes would bring the whole network module (and
// Kerberos with it) into a program that runs all day for this one request.

namespace {

constexpr int kConnectTimeoutMs = 2000;

// In the temporary folder, beside the single-instance lock's key file; the user's id in the
// name, since another user's copy holds a socket of its own.
QByteArray socketPath()
{
    return QFile::encodeName(QDir::tempPath() +
                             QStringLiteral("/Zorvex_V2.0-show-%1").arg(getuid()));
}

// False when the path does not fit an address.
bool toAddress(const QByteArray &path, sockaddr_un *address)
{
    *address = {};
    address->sun_family = AF_UNIX;
    if (path.size() >= int(sizeof address->sun_path))
        return false;
    qstrcpy(address->sun_path, path.constData());
    return true;
}

int listeningSocket()
{
    sockaddr_un address;
    const QByteArray path = socketPath();
    if (!toAddress(path, &address))
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    // Only the holder of the instance lock listens: a socket found here was left by a copy
    // that was killed.
    ::unlink(path.constData());
    const bool listening =
        ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::chmod(path.constData(), S_IRUSR | S_IWUSR) == 0 && ::listen(fd, 8) == 0;
    if (listening)
        return fd;
    ::close(fd);
    return -1;
}

} // namespace

struct ShowRequestListener::Impl
{
    int fd = -1;
    QSocketNotifier *notifier = nullptr;
};

ShowRequestListener::ShowRequestListener(std::function<void()> onRequest) : impl(new Impl)
{
    impl->fd = listeningSocket();
    if (impl->fd < 0)
        return;
    impl->notifier = new QSocketNotifier(impl->fd, QSocketNotifier::Read);
    const int fd = impl->fd;
    QObject::connect(impl->notifier, &QSocketNotifier::activated, impl->notifier, [fd, onRequest] {
        // Each waiting connection is one request; nothing is read from it.
        int peer;
        while ((peer = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0) {
            ::close(peer);
            onRequest();
        }
    });
}

ShowRequestListener::~ShowRequestListener()
{
    if (impl->fd < 0)
        return;
    delete impl->notifier;
    ::close(impl->fd);
    ::unlink(socketPath().constData());
}

bool ShowRequestListener::isListening() const
{
    return impl->fd >= 0;
}

bool ShowRequest::send()
{
    sockaddr_un address;
    if (!toAddress(socketPath(), &address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // A copy that is alive but stuck must not hold this one up for long: a local connect
    // waits for room in the listener's queue at most this long.
    const timeval timeout = {kConnectTimeoutMs / 1000, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    int result;
    do
        result = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    while (result < 0 && errno == EINTR);
    ::close(fd);
    return result == 0;
}
