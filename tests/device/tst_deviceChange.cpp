#include "device/DeviceChange.h"
#include "platform/DeviceMonitor.h"

#include <QtTest>

Q_DECLARE_METATYPE(DeviceChange)

namespace {
const QString kDisplay = QStringLiteral(
    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:5131:2007.0001/hidraw/hidraw0");
const QString kMouse = QStringLiteral(
    "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/0003:046D:C52B.0002/hidraw/hidraw1");
} // namespace

class TestDeviceChange : public QObject
{
    Q_OBJECT
private slots:
    void decide_data();
    void decide();
    void monitorStartsOnce();
};

void TestDeviceChange::decide_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("path");
    QTest::addColumn<DeviceChange>("change");

    QTest::newRow("display added") << "add" << kDisplay << DeviceChange::Arrival;
    QTest::newRow("display removed") << "remove" << kDisplay << DeviceChange::Removal;
    QTest::newRow("lower-case vid/pid")
        << "add"
        << "\\\\?\\usb#vid_5131&pid_2007#0001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"
        << DeviceChange::Arrival;
    QTest::newRow("upper-case vid/pid")
        << "remove"
        << "\\\\?\\USB#VID_5131&PID_2007#0001" << DeviceChange::Removal;
    QTest::newRow("other device added") << "add" << kMouse << DeviceChange::None;
    QTest::newRow("other device removed") << "remove" << kMouse << DeviceChange::None;
    QTest::newRow("vendor only") << "add"
                                 << "/sys/.../0003:5131:1000.0003/hidraw/hidraw2"
                                 << DeviceChange::None;
    QTest::newRow("product only") << "add"
                                  << "/sys/.../0003:1234:2007.0004/hidraw/hidraw3"
                                  << DeviceChange::None;
    QTest::newRow("display changed") << "change" << kDisplay << DeviceChange::None;
    QTest::newRow("display bound") << "bind" << kDisplay << DeviceChange::None;
    QTest::newRow("no action") << "" << kDisplay << DeviceChange::None;
    QTest::newRow("no path") << "add"
                             << "" << DeviceChange::None;
}

void TestDeviceChange::decide()
{
    QFETCH(QString, action);
    QFETCH(QString, path);
    QTEST(decideDeviceChange(action, path), "change");
}

void TestDeviceChange::monitorStartsOnce()
{
    DeviceMonitor monitor;
    if (!monitor.start())
        QSKIP("no udev netlink socket in this environment");
    QVERIFY(monitor.start());
}

QTEST_GUILESS_MAIN(TestDeviceChange)
#include "tst_deviceChange.moc"
