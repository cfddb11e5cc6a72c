#include "platform/DesktopNotifier.h"

#include "platform/linux/DBusAddress.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace {
// Long enough for a notification daemon that is started on demand by the bus.
constexpr int kReplyTimeoutMs = 3000;
} // namespace

bool DesktopNotifier::notify(const QString &appName, const QString &summary, const QString &body)
{
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty() || DBusAddress::socketMissing(address))
        return false;
    // Connected per call, to the bus the environment names now: alerts are rare.
    const QString name = QStringLiteral("tarnix-notify");
    bool shown = false;
    {
        QDBusConnection bus = QDBusConnection::connectToBus(address, name);
        if (bus.isConnected()) {
            QDBusMessage call = QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.Notifications"),
                QStringLiteral("/org/freedesktop/Notifications"),
                QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
            call << appName << uint(0) << QString() << summary << body << QStringList()
                 << QVariantMap() << int(-1);
            shown =
                bus.call(call, QDBus::Block, kReplyTimeoutMs).type() == QDBusMessage::ReplyMessage;
        }
    }
    QDBusConnection::disconnectFromBus(name);
    return shown;
}
