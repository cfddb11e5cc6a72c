// Device-interface notifications: the filter, the decoder over real broadcast layouts, and a
// registration against a real window.
#include "platform/windows/DeviceBroadcast.h"
#include "winTestMain.h"

#include <initguid.h>

#include <winioctl.h>

#include <ntddstor.h>
#include <usbiodef.h>

#include <cstddef>
#include <cstring>
#include <vector>

using namespace DeviceBroadcast;

namespace {

// A device-interface broadcast as Windows sends it: the name runs past the struct.
std::vector<unsigned char> interfaceBroadcast(const wchar_t *name)
{
    const size_t nameBytes = (std::wcslen(name) + 1) * sizeof(wchar_t);
    const size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + nameBytes;
    std::vector<unsigned char> buffer(size < sizeof(DEV_BROADCAST_DEVICEINTERFACE_W)
                                          ? sizeof(DEV_BROADCAST_DEVICEINTERFACE_W)
                                          : size);
    auto *broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(buffer.data());
    broadcast->dbcc_size = static_cast<DWORD>(size);
    broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    broadcast->dbcc_classguid = GUID_DEVINTERFACE_USB_DEVICE;
    std::memcpy(broadcast->dbcc_name, name, nameBytes);
    return buffer;
}

LPARAM asParam(std::vector<unsigned char> &buffer)
{
    return reinterpret_cast<LPARAM>(buffer.data());
}

const wchar_t kDisplay[] =
    L"\\\\?\\USB#VID_5131&PID_2007#0001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

} // namespace

static void classesAndFilter()
{
    const auto &classes = interfaceClasses();
    WCHECK(IsEqualGUID(classes[0], GUID_DEVINTERFACE_USB_DEVICE));
    WCHECK(IsEqualGUID(classes[1], GUID_DEVINTERFACE_DISK));

    const DEV_BROADCAST_DEVICEINTERFACE_W filter = filterFor(GUID_DEVINTERFACE_DISK);
    WCHECK(filter.dbcc_size == sizeof(DEV_BROADCAST_DEVICEINTERFACE_W));
    WCHECK(filter.dbcc_devicetype == 5);
    WCHECK(filter.dbcc_reserved == 0);
    WCHECK(IsEqualGUID(filter.dbcc_classguid, GUID_DEVINTERFACE_DISK));
}

static void decodeInterfaces()
{
    auto display = interfaceBroadcast(kDisplay);
    const Notice arrival = decode(DBT_DEVICEARRIVAL, asParam(display));
    WCHECK(arrival.event == Event::Arrival);
    WCHECK(arrival.deviceName == kDisplay);

    const Notice removal = decode(DBT_DEVICEREMOVECOMPLETE, asParam(display));
    WCHECK(removal.event == Event::Removal);
    WCHECK(removal.deviceName == kDisplay);

    // A query or a pending removal is not the device going away yet.
    WCHECK(decode(DBT_DEVICEQUERYREMOVE, asParam(display)).event == Event::None);
    WCHECK(decode(DBT_DEVICEREMOVEPENDING, asParam(display)).event == Event::None);

    // A longer name than the struct's own one-character slot comes through whole.
    auto longName = interfaceBroadcast(L"\\\\?\\usb#vid_046d&pid_c52b#5&1234#{guid}");
    WCHECK(decode(DBT_DEVICEARRIVAL, asParam(longName)).deviceName ==
           L"\\\\?\\usb#vid_046d&pid_c52b#5&1234#{guid}");

    // A name that is not terminated stops at the size the sender gave.
    auto unterminated = interfaceBroadcast(L"ABCD");
    auto *raw = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(unterminated.data());
    raw->dbcc_size = static_cast<DWORD>(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) +
                                        2 * sizeof(wchar_t));
    WCHECK(decode(DBT_DEVICEARRIVAL, asParam(unterminated)).deviceName == L"AB");
}

static void decodeOthers()
{
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << 4;
    const Notice v = decode(DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume));
    WCHECK(v.event == Event::None);
    WCHECK(v.deviceName.empty());

    // Node changes come without a header.
    WCHECK(decode(DBT_DEVNODES_CHANGED, 0).event == Event::None);
    WCHECK(decode(DBT_DEVICEARRIVAL, 0).event == Event::None);
}

static void registration()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TarnixBroadcastTest";
    WCHECK(RegisterClassW(&windowClass) != 0);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, instance, nullptr);
    WCHECK(window != nullptr);
    for (const GUID &cls : interfaceClasses()) {
        const Registration r = registerClass(window, cls);
        std::printf("registration: %s, GetLastError %lu\n", r.registered ? "ok" : "failed",
                    r.lastError);
        // Either it holds, or it failed and says why.
        WCHECK(r.registered == (r.lastError == 0));
    }
    DestroyWindow(window);
}

int main()
{
    classesAndFilter();
    decodeInterfaces();
    decodeOthers();
    registration();
    return wintestSummary("tst_deviceBroadcast");
}
