#include "platform/DeviceMonitor.h"
#include "platform/windows/DeviceBroadcast.h"

#include <QDebug>

struct DeviceMonitor::Backend
{
};

DeviceMonitor::DeviceMonitor(QObject *parent) : QObject(parent) {}

DeviceMonitor::~DeviceMonitor()
{
    release();
}

bool DeviceMonitor::start(quintptr window)
{
    if (m_backend)
        return true;
    m_backend = new Backend;
    for (const GUID &guid : DeviceBroadcast::interfaceClasses()) {
        const auto result = DeviceBroadcast::registerClass(reinterpret_cast<HWND>(window), guid);
        if (!result.registered)
            qDebug() << "Register device failed, GetLastError:" << result.lastError << "\n";
    }
    return true;
}

void DeviceMonitor::handleNativeEvent(const QByteArray &, void *message)
{
    const MSG *msg = static_cast<const MSG *>(message);
    if (!msg || msg->message != WM_DEVICECHANGE)
        return;
    const DeviceBroadcast::Notice notice = DeviceBroadcast::decode(msg->wParam, msg->lParam);
    if (notice.event == DeviceBroadcast::Event::None)
        return;
    const bool arrival = notice.event == DeviceBroadcast::Event::Arrival;
    emit deviceEvent(arrival ? QStringLiteral("add") : QStringLiteral("remove"),
                     QString::fromStdWString(notice.deviceName));
}

void DeviceMonitor::readEvents() {}

void DeviceMonitor::release()
{
    delete m_backend;
    m_backend = nullptr;
}
