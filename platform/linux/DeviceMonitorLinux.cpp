#include "platform/DeviceMonitor.h"

#include <QSocketNotifier>

#include <libudev.h>

DeviceMonitor::DeviceMonitor(QObject *parent) : QObject(parent) {}

DeviceMonitor::~DeviceMonitor()
{
    release();
}

bool DeviceMonitor::start()
{
    if (m_notifier)
        return true;
    m_udev = udev_new();
    if (m_udev)
        m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        release();
        return false;
    }
    const int fd = udev_monitor_get_fd(m_monitor);
    if (fd < 0) {
        release();
        return false;
    }
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &DeviceMonitor::readEvents);
    return true;
}

void DeviceMonitor::readEvents()
{
    // The socket is non-blocking: drain what is queued, then wait for the next wake-up.
    while (udev_device *device = udev_monitor_receive_device(m_monitor)) {
        const char *action = udev_device_get_action(device);
        const char *path = udev_device_get_syspath(device);
        const QString actionText = QString::fromLocal8Bit(action ? action : "");
        const QString pathText = QString::fromLocal8Bit(path ? path : "");
        udev_device_unref(device);
        emit deviceEvent(actionText, pathText);
    }
}

void DeviceMonitor::release()
{
    delete m_notifier;
    m_notifier = nullptr;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    m_monitor = nullptr;
    if (m_udev)
        udev_unref(m_udev);
    m_udev = nullptr;
}
