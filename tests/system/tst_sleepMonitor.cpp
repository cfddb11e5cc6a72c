// The Linux sleep monitor on a private bus, with a stand-in for logind sending its signal.
#include "platform/SleepMonitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A bus of its own for the test: anyone may own any name and send to anyone.
const char busConfig[] =
    "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
    "<busconfig>\n"
    "  <type>custom</type>\n"
    "  <listen>unix:dir=%1</listen>\n"
    "  <auth>EXTERNAL</auth>\n"
    "  <policy context=\"default\">\n"
    "    <allow user=\"*\"/>\n"
    "    <allow own=\"*\"/>\n"
    "    <allow send_destination=\"*\"/>\n"
    "    <allow receive_sender=\"*\"/>\n"
    "  </policy>\n"
    "</busconfig>\n";

void sendPrepareForSleep(
    QDBusConnection &sender, bool sleeping,
    const QString &interface = QStringLiteral("org.freedesktop.login1.Manager"))
{
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                     interface, QStringLiteral("PrepareForSleep"));
    signal << sleeping;
    QVERIFY(sender.send(signal));
}

} // namespace

class TestSleepMonitor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void announcements_data();
    void announcements();
    void noBusIsHarmless();
    void startTwice();

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};

void TestSleepMonitor::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QString::fromLatin1(busConfig).arg(m_dir.path()).toUtf8());
    config.close();
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + config.fileName(),
                    QStringLiteral("--print-address"), QStringLiteral("--nofork")});
    QVERIFY2(m_daemon.waitForStarted(5000), "dbus-daemon (Debian package dbus) is needed");
    while (!m_daemon.canReadLine())
        QVERIFY(m_daemon.waitForReadyRead(5000));
    m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
    QVERIFY(!m_address.isEmpty());
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toLocal8Bit());

    QDBusConnection login1 = QDBusConnection::connectToBus(m_address, QStringLiteral("login1"));
    QVERIFY(login1.isConnected());
    QVERIFY(login1.registerService(QStringLiteral("org.freedesktop.login1")));
    QVERIFY(QDBusConnection::connectToBus(m_address, QStringLiteral("other")).isConnected());
}

void TestSleepMonitor::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("login1"));
    QDBusConnection::disconnectFromBus(QStringLiteral("other"));
    m_daemon.kill();
    m_daemon.waitForFinished(5000);
}

void TestSleepMonitor::announcements_data()
{
    QTest::addColumn<QString>("sender"); // connection name
    QTest::addColumn<bool>("sleeping");
    QTest::addColumn<QString>("interface");
    QTest::addColumn<int>("resumes");

    const QString manager = QStringLiteral("org.freedesktop.login1.Manager");
    QTest::newRow("logind: woke up") << "login1" << false << manager << 1;
    QTest::newRow("logind: going to sleep") << "login1" << true << manager << 0;
    QTest::newRow("same signal from another interface")
        << "login1" << false << QStringLiteral("org.example.Manager") << 0;
    // Only logind's own name may announce a wake-up.
    QTest::newRow("someone else claims a wake-up") << "other" << false << manager << 0;
}

void TestSleepMonitor::announcements()
{
    QFETCH(QString, sender);
    QFETCH(bool, sleeping);
    QFETCH(QString, interface);
    QFETCH(int, resumes);

    SleepMonitor monitor;
    QVERIFY(monitor.start());
    QSignalSpy spy(&monitor, &SleepMonitor::resumed);
    QDBusConnection connection = QDBusConnection(sender);
    sendPrepareForSleep(connection, sleeping, interface);
    if (resumes > 0)
        QTRY_COMPARE(spy.count(), resumes);
    else
        QTest::qWait(300);
    QCOMPARE(spy.count(), resumes);

    // Every wake-up counts, not only the first.
    QDBusConnection login1(QStringLiteral("login1"));
    sendPrepareForSleep(login1, false);
    QTRY_COMPARE(spy.count(), resumes + 1);
}

void TestSleepMonitor::noBusIsHarmless()
{
    const QByteArray saved = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    qputenv("DBUS_SYSTEM_BUS_ADDRESS",
            QFile::encodeName(QStringLiteral("unix:path=") + m_dir.filePath("no-bus")));
    {
        SleepMonitor monitor;
        QSignalSpy spy(&monitor, &SleepMonitor::resumed);
        QVERIFY(!monitor.start());
        QVERIFY(!monitor.start());
        QCOMPARE(spy.count(), 0);
    }
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", saved);
}

void TestSleepMonitor::startTwice()
{
    SleepMonitor monitor;
    QVERIFY(monitor.start());
    QVERIFY(monitor.start());
    QSignalSpy spy(&monitor, &SleepMonitor::resumed);
    QDBusConnection login1(QStringLiteral("login1"));
    sendPrepareForSleep(login1, false);
    QTRY_COMPARE(spy.count(), 1);
    QTest::qWait(200);
    QCOMPARE(spy.count(), 1); // listening once, not once per start
}

QTEST_GUILESS_MAIN(TestSleepMonitor)
#include "tst_sleepMonitor.moc"
