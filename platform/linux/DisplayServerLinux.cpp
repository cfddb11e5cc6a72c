#include "platform/DisplayServer.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool connects(const QByteArray &path, bool abstract)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t offset = abstract ? 1 : 0;
    if (path.size() + offset >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path + offset, path.constData(), size_t(path.size()));
    const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool connected = ::connect(fd, reinterpret_cast<sockaddr *>(&address), length) == 0;
    ::close(fd);
    return connected;
}

bool xServerAnswers()
{
    const QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        return false;
    const int number = DisplayServer::localDisplayNumber(display);
    if (number < 0)
        return !display.startsWith(QLatin1Char(':')); // a remote server is trusted
    const QByteArray socket = "/tmp/.X11-unix/X" + QByteArray::number(number);
    return connects(socket, true) || connects(socket, false);
}

bool waylandSocketExists()
{
    const QString name = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (name.isEmpty())
        return false;
    const QString path = QDir::isAbsolutePath(name)
                             ? name
                             : qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + name;
    return QFileInfo::exists(path);
}

} // namespace

namespace DisplayServer {

int localDisplayNumber(const QString &display)
{
    const int colon = display.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return -1;
    const QString host = display.left(colon);
    if (!host.isEmpty() && host != QLatin1String("unix"))
        return -1;
    const QString rest = display.mid(colon + 1);
    bool ok = false;
    const int number = rest.section(QLatin1Char('.'), 0, 0).toInt(&ok);
    return ok && number >= 0 ? number : -1;
}

bool platformNeedsDisplay(const QString &platform)
{
    const QString first = platform.section(QLatin1Char(';'), 0, 0).section(QLatin1Char(':'), 0, 0);
    return first.isEmpty() || first == QLatin1String("xcb") ||
           first.startsWith(QLatin1String("wayland"));
}

bool available()
{
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platformNeedsDisplay(platform))
        return true;
    return xServerAnswers() || waylandSocketExists();
}

} // namespace DisplayServer
