#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>

// Watches the hidraw devices coming and going (udev on Linux, device broadcasts to the window
// on Windows). Every event is passed on as it is; which of them concern the display is decided
// by decideDeviceChange().
class DeviceMonitor : public QObject
{
    Q_OBJECT
public:
    explicit DeviceMonitor(QObject *parent = nullptr);
    ~DeviceMonitor() override;

    // Starts listening; false when no monitor can be created (no udev, no netlink socket).
    // Calling it again once started does nothing and answers true. Windows registers the
    // given window for the broadcasts; Linux does not need it.
    bool start(quintptr window = 0);

    // Windows delivers the broadcasts as native window messages; elsewhere this does nothing.
    void handleNativeEvent(const QByteArray &eventType, void *message);

signals:
    // action is udev's ("add", "remove", "change", "bind", ...); devicePath is the sysfs path,
    // which runs through the HID node and so carries the vendor and product numbers, e.g.
    // /sys/devices/.../0003:5131:2007.0001/hidraw/hidraw0.
    void deviceEvent(QString action, QString devicePath);

private:
    struct Backend;
    void readEvents();
    void release();

    Backend *m_backend = nullptr;
};
