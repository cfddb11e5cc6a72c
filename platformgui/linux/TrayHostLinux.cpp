#include "platform/linux/DBusAddress.h"
#include "platformgui/TrayHost.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QScreen>
#include <qpa/qplatformnativeinterface.h>

// Two kinds of tray: an XEmbed tray, which owns the X11 system-tray selection, and a
// StatusNotifierItem host, known to the watcher service on the session bus.
namespace {
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");

bool xembedTrayPresent()
{
    QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
    QScreen *screen = QGuiApplication::primaryScreen();
    return native && screen &&
           native->nativeResourceForScreen(QByteArrayLiteral("traywindow"), screen);
}

// False where the session bus's socket is missing: no connection (and no D-Bus thread) then.
bool sessionBusReachable()
{
    return !DBusAddress::socketMissing(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"));
}

bool statusNotifierHostPresent()
{
    if (!sessionBusReachable())
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(watcherService))
        return false;
    // A watcher alone shows nothing: a host (the panel's tray) must have registered with it.
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, 2000);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}
} // namespace

TrayHost::TrayHost(QObject *parent) : QObject(parent)
{
    // The xcb platform announces a change of the tray selection's owner; other platforms
    // have no such signal.
    QPlatformNativeInterface *native = QGuiApplication::platformNativeInterface();
    if (native && native->metaObject()->indexOfSignal("systemTrayWindowChanged(QScreen*)") >= 0)
        connect(native, SIGNAL(systemTrayWindowChanged(QScreen *)), this, SIGNAL(changed()));

    if (!sessionBusReachable())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto *watcher = new QDBusServiceWatcher(watcherService, bus,
                                            QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &TrayHost::changed);
    bus.connect(watcherService, watcherPath, watcherService,
                QStringLiteral("StatusNotifierHostRegistered"), this, SIGNAL(changed()));
}

bool TrayHost::isPresent() const
{
    return xembedTrayPresent() || statusNotifierHostPresent();
}
