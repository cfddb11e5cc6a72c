#include "platform/DesktopNotifier.h"

// The tray's balloon is the Windows notification; the caller shows it.
bool DesktopNotifier::notify(const QString &, const QString &, const QString &)
{
    return false;
}
