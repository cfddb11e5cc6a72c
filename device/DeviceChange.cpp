#include "device/DeviceChange.h"

#include "device/DisplayIds.h"

bool isDisplayDevicePath(const QString &path)
{
    // Four hex digits each, as both udev and Windows write them.
    static const QString vendor =
        QStringLiteral("%1").arg(DisplayIds::kVendorId, 4, 16, QLatin1Char('0'));
    static const QString product =
        QStringLiteral("%1").arg(DisplayIds::kProductId, 4, 16, QLatin1Char('0'));
    return path.contains(vendor, Qt::CaseInsensitive) &&
           path.contains(product, Qt::CaseInsensitive);
}

DeviceChange decideDeviceChange(const QString &udevAction, const QString &devicePath)
{
    if (!isDisplayDevicePath(devicePath))
        return DeviceChange::None;
    if (udevAction == QLatin1String("add"))
        return DeviceChange::Arrival;
    if (udevAction == QLatin1String("remove"))
        return DeviceChange::Removal;
    return DeviceChange::None;
}
