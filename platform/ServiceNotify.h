#pragma once
#include <QtGlobal>

// Talking to the service manager that started the program (systemd's notify protocol). Every
// call does nothing when there is none, and on Windows.
namespace ServiceNotify {

/// True when a service manager started this process (NOTIFY_SOCKET or INVOCATION_ID is set).
/// It then restarts the program itself, so the program's own restart stays off.
bool underServiceManager();
/// Start-up is over (READY=1).
void ready();
/// An orderly stop has begun (STOPPING=1).
void stopping();
/// The watchdog's interval in microseconds, 0 when the service has none.
quint64 watchdogIntervalUs();
/// One sign of life for the watchdog (WATCHDOG=1).
void watchdogAlive();

} // namespace ServiceNotify
