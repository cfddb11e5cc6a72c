#pragma once
#include <QString>

// The desktop's own notifications: the freedesktop Notifications service on the session bus
// on Linux. Where no such service answers (and on Windows) notify() answers false and the
// caller shows the tray's message instead.
namespace DesktopNotifier {

bool notify(const QString &appName, const QString &summary, const QString &body);

} // namespace DesktopNotifier
