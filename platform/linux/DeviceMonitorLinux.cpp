#include "platform/DeviceMonitor.h"

#include <QSocketNotifier>

#include <libudev.h>

struct DeviceMonitor::Backend
{
    udev *context = nullptr;
    udev_monitor *monitor = nullptr;
    QSocketNotifier *notifier = nullptr;
};

DeviceMonitor::DeviceMonitor(QObject *parent) : QObject(parent) {}

DeviceMonitor::~DeviceMonitor()
{
    release();
}

bool DeviceMonitor::start(quintptr)
{
    if (m_backend)
        return true;
    m_backend = new Backend;
    m_backend->context = udev_new();
    if (m_backend->context)
        m_backend->monitor = udev_monitor_new_from_netlink(m_backend->context, "udev");
    udev_monitor *monitor = m_backend->monitor;
    if (!monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0 || udev_monitor_get_fd(monitor) < 0) {
        release();
        return false;
    }
    m_backend->notifier =
        new QSocketNotifier(udev_monitor_get_fd(monitor), QSocketNotifier::Read, this);
    connect(m_backend->notifier, &QSocketNotifier::activated, this, &DeviceMonitor::readEvents);
    return true;
}

void DeviceMonitor::handleNativeEvent(const QByteArray &, void *) {}

void DeviceMonitor::readEvents()
{
    // The socket is non-blocking: drain what is queued, then wait for the next wake-up.
    while (udev_device *device = udev_monitor_receive_device(m_backend->monitor)) {
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
    if (!m_backend)
        return;
    delete m_backend->notifier;
    if (m_backend->monitor)
        udev_monitor_unref(m_backend->monitor);
    if (m_backend->context)
        udev_unref(m_backend->context);
    delete m_backend;
    m_backend = nullptr;
}
