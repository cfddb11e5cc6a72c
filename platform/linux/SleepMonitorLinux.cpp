#include "platform/SleepMonitor.h"
#include "platform/linux/DBusAddress.h"

#include <QDBusConnection>

namespace {

const char login1Service[] = "org.freedesktop.login1";
const char login1Path[] = "/org/freedesktop/login1";
const char login1Manager[] = "org.freedesktop.login1.Manager";
// libdbus's default when the environment names no system bus.
const char defaultSystemBus[] = "unix:path=/var/run/dbus/system_bus_socket";

} // namespace

SleepMonitor::SleepMonitor(QObject *parent) : QObject(parent) {}

SleepMonitor::~SleepMonitor()
{
    if (!m_connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(m_connectionName);
}

bool SleepMonitor::start()
{
    if (m_started)
        return true;
    // A connection of our own, to the bus the environment names now: QDBusConnection's shared
    // system bus would keep the address of its first use for the whole process.
    const QString address =
        qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS", QString::fromLatin1(defaultSystemBus));
    if (DBusAddress::socketMissing(address))
        return false;
    m_connectionName =
        QStringLiteral("tarnix-sleep-%1").arg(reinterpret_cast<quintptr>(this), 0, 16);
    QDBusConnection bus = QDBusConnection::connectToBus(address, m_connectionName);
    // Only logind may own its name on the system bus, so nobody else can fake a resume.
    m_started = bus.isConnected() &&
                bus.connect(QString::fromLatin1(login1Service), QString::fromLatin1(login1Path),
                            QString::fromLatin1(login1Manager), QStringLiteral("PrepareForSleep"),
                            this, SLOT(onPrepareForSleep(bool)));
    if (!m_started) {
        QDBusConnection::disconnectFromBus(m_connectionName);
        m_connectionName.clear();
    }
    return m_started;
}

void SleepMonitor::handleNativeEvent(const QByteArray &, void *) {}

void SleepMonitor::onPrepareForSleep(bool sleeping)
{
    if (!sleeping)
        emit resumed();
}
