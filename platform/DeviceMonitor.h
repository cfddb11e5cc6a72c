#pragma once
#include <QObject>
#include <QString>

class QSocketNotifier;
struct udev;
struct udev_monitor;

// Watches the hidraw devices coming and going. Every event is passed on as it is; which of
// them concern the display is decided by decideDeviceChange().
class DeviceMonitor : public QObject
{
    Q_OBJECT
public:
    explicit DeviceMonitor(QObject *parent = nullptr);
    ~DeviceMonitor() override;

    // Starts listening; false when no monitor can be created (no udev, no netlink socket).
    // Calling it again once started does nothing and answers true.
    bool start();

signals:
    // action is udev's ("add", "remove", "change", "bind", ...); devicePath is the sysfs path,
    // which runs through the HID node and so carries the vendor and product numbers, e.g.
    // /sys/devices/.../0003:5131:2007.0001/hidraw/hidraw0.
    void deviceEvent(QString action, QString devicePath);

private:
    void readEvents();
    void release();

    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};
