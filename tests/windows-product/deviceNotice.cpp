// Announces the display's arrival or removal to every top-level window of the session, as the
// system does for a registered device interface:
//   deviceNotice.exe arrive|remove DEVICE_PATH
#include <windows.h>

#include <dbt.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3 ||
        (std::wcscmp(argv[1], L"arrive") != 0 && std::wcscmp(argv[1], L"remove") != 0)) {
        std::fprintf(stderr, "usage: deviceNotice arrive|remove DEVICE_PATH\n");
        return 2;
    }
    const size_t nameLength = std::wcslen(argv[2]);
    std::vector<unsigned char> storage(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) +
                                       nameLength * sizeof(wchar_t));
    auto *broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(storage.data());
    broadcast->dbcc_size = static_cast<DWORD>(storage.size());
    broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::memcpy(broadcast->dbcc_name, argv[2], (nameLength + 1) * sizeof(wchar_t));
    const WPARAM event =
        std::wcscmp(argv[1], L"arrive") == 0 ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
    DWORD_PTR answer = 0;
    const LRESULT sent =
        SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, event,
                            reinterpret_cast<LPARAM>(broadcast), SMTO_NORMAL, 5000, &answer);
    return sent ? 0 : 1;
}
