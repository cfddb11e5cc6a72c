#pragma once
#include <windows.h>

#include <dbt.h>

#include <array>
#include <string>

// Device-interface notifications for the display's hot-plug, kept free of Qt: the window's
// nativeEvent hands WM_DEVICECHANGE over to decode(), the constructor calls registerClass().
namespace DeviceBroadcast {

// The interface classes to register, in order: USB devices, then disks.
const std::array<GUID, 2> &interfaceClasses();

// The filter for one class: its own size, device-interface type, reserved 0.
DEV_BROADCAST_DEVICEINTERFACE_W filterFor(const GUID &classGuid);

struct Registration
{
    bool registered = false;
    unsigned long lastError = 0; // GetLastError() when the registration failed
};

// RegisterDeviceNotificationW for one class on a window handle. The handle is not kept:
// the registration lasts as long as the window.
Registration registerClass(HWND window, const GUID &classGuid);

enum class Event
{
    None,
    Arrival,
    Removal
};

struct Notice
{
    Event event = Event::None;
    std::wstring deviceName;
};

// Reads a WM_DEVICECHANGE: an arrival or a completed removal of a device interface, with the
// interface's name. Everything else, volumes and ports included, is None.
Notice decode(WPARAM wParam, LPARAM lParam);

} // namespace DeviceBroadcast
