#include "platform/SleepMonitor.h"
#include "platform/windows/PowerBroadcast.h"

SleepMonitor::SleepMonitor(QObject *parent) : QObject(parent) {}

SleepMonitor::~SleepMonitor() = default;

bool SleepMonitor::start()
{
    // Top-level windows receive WM_POWERBROADCAST without registering for it.
    m_started = true;
    return true;
}

void SleepMonitor::handleNativeEvent(const QByteArray &, void *message)
{
    const MSG *msg = static_cast<const MSG *>(message);
    if (m_started && msg && PowerBroadcast::isResume(msg->message, msg->wParam))
        emit resumed();
}

void SleepMonitor::onPrepareForSleep(bool) {}
