// Stands in for the desktop's notification service on a private session bus: owns
// org.freedesktop.Notifications, answers Notify and appends each call's summary and body, one
// line each, to the file named on the command line. Prints "ready" once it owns the name.
//   notifyStandIn CALLS_FILE      (DBUS_SESSION_BUS_ADDRESS names the bus)
#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QVariantMap>

#include <cstdio>

class Notifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    explicit Notifications(const QString &callsFile) : callsFile(callsFile) {}

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &icon,
                const QString &summary, const QString &body, const QStringList &actions,
                const QVariantMap &hints, int timeout)
    {
        Q_UNUSED(replacesId)
        Q_UNUSED(icon)
        Q_UNUSED(actions)
        Q_UNUSED(hints)
        Q_UNUSED(timeout)
        QFile file(callsFile);
        if (file.open(QIODevice::WriteOnly | QIODevice::Append))
            file.write((appName + QLatin1Char('\t') + summary + QLatin1Char('\t') + body).toUtf8() +
                       '\n');
        return ++lastId;
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }

private:
    QString callsFile;
    uint lastId = 0;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    Notifications service(QString::fromLocal8Bit(argv[1]));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications")))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "notifyStandIn.moc"
