#include "platform/DeviceNodeAccess.h"

#include <windows.h>

namespace DeviceNodeAccess {

Result probe(const QString &node, QString *detail)
{
    HANDLE handle =
        CreateFileW(reinterpret_cast<const wchar_t *>(node.utf16()), GENERIC_WRITE | GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return Result::Opens;
    }
    const DWORD error = GetLastError();
    if (detail)
        *detail = QStringLiteral("error %1").arg(error);
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return Result::PermissionDenied;
    case ERROR_SHARING_VIOLATION:
        return Result::Busy;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEVICE_NOT_CONNECTED:
        return Result::Gone;
    default:
        return Result::Failed;
    }
}

} // namespace DeviceNodeAccess
