#include "platform/windows/DeviceBroadcast.h"

#include <cstddef>

namespace DeviceBroadcast {

const std::array<GUID, 2> &interfaceClasses()
{
    static const std::array<GUID, 2> classes = {{
        {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}},
        {0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}},
    }};
    return classes;
}

DEV_BROADCAST_DEVICEINTERFACE_W filterFor(const GUID &classGuid)
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_reserved = 0;
    filter.dbcc_classguid = classGuid;
    return filter;
}

Registration registerClass(HWND window, const GUID &classGuid)
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter = filterFor(classGuid);
    Registration result;
    result.registered =
        RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE) != nullptr;
    if (!result.registered)
        result.lastError = GetLastError();
    return result;
}

namespace {

Event eventOf(WPARAM wParam)
{
    switch (wParam) {
    case DBT_DEVICEARRIVAL:
        return Event::Arrival;
    case DBT_DEVICEREMOVECOMPLETE:
        return Event::Removal;
    default:
        return Event::None;
    }
}

// The name runs from dbcc_name to its NUL, within the size the sender gave.
std::wstring interfaceName(const DEV_BROADCAST_DEVICEINTERFACE_W &broadcast)
{
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (broadcast.dbcc_size <= nameOffset)
        return {};
    const size_t capacity = (broadcast.dbcc_size - nameOffset) / sizeof(wchar_t);
    const wchar_t *name = broadcast.dbcc_name;
    size_t length = 0;
    while (length < capacity && name[length] != L'\0')
        ++length;
    return std::wstring(name, length);
}

} // namespace

Notice decode(WPARAM wParam, LPARAM lParam)
{
    Notice notice;
    const Event event = eventOf(wParam);
    // DBT_DEVNODES_CHANGED and friends carry no header at all.
    const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(lParam);
    if (event == Event::None || !header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return notice;
    notice.event = event;
    notice.deviceName =
        interfaceName(*reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W *>(header));
    return notice;
}

} // namespace DeviceBroadcast
