#include "platform/linux/DBusAddress.h"

#include <QFileInfo>

bool DBusAddress::socketMissing(const QString &address)
{
    const QString prefix = QStringLiteral("unix:path=");
    if (!address.startsWith(prefix))
        return false;
    const QString path = address.mid(prefix.size()).section(QLatin1Char(','), 0, 0);
    return !QFileInfo::exists(path);
}
