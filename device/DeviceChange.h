#pragma once
#include <QString>

// Recognising the display in hot-plug notifications.

// True when a device path names the display: it carries the vendor and the product number
// (device/DisplayIds.h) in hex, in any case (Windows paths write "vid_5131&pid_2007").
bool isDisplayDevicePath(const QString &path);

enum class DeviceChange
{
    None,
    Arrival,
    Removal
};

// What a udev event on the hidraw subsystem means for the display: "add" of a display path
// is an arrival, "remove" of one a removal; other actions ("change", "bind") and other
// devices are nothing.
DeviceChange decideDeviceChange(const QString &udevAction, const QString &devicePath);
