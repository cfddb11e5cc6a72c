#include "device/DeviceChange.h"

bool isDisplayDevicePath(const QString &path)
{
    return path.contains(QLatin1String("5131"), Qt::CaseInsensitive) &&
           path.contains(QLatin1String("2007"), Qt::CaseInsensitive);
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
