#include "platform/windows/SystemFiguresWindows.h"

#include <windows.h>

namespace SystemFigures {

static_assert(sizeof(MEMORYSTATUSEX) == 64, "GlobalMemoryStatusEx expects its own size");

Memory memory()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status))
        return {};
    Memory figures;
    figures.valid = true;
    figures.loadPercent = status.dwMemoryLoad;
    figures.totalBytes = status.ullTotalPhys;
    figures.availableBytes = status.ullAvailPhys;
    return figures;
}

bool isSystemDrivePath(const std::wstring &rootPath)
{
    return rootPath.find_first_of(L"Cc") != std::wstring::npos;
}

Drive systemDriveAmong(const std::vector<std::wstring> &rootPaths)
{
    for (const std::wstring &root : rootPaths) {
        ULARGE_INTEGER available{}, total{}, totalFree{};
        if (!GetDiskFreeSpaceExW(root.c_str(), &available, &total, &totalFree))
            continue;
        if (total.QuadPart == 0 || !isSystemDrivePath(root))
            continue;
        Drive drive;
        drive.found = true;
        drive.totalBytes = total.QuadPart;
        drive.freeBytes = totalFree.QuadPart;
        return drive;
    }
    return {};
}

} // namespace SystemFigures
