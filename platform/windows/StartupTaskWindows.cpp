#include "platform/StartupTask.h"

#include "platform/windows/SchtasksCommand.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>

namespace StartupTask {

Result registerAtLogon(const std::string &taskName, const std::string &exePath,
                       const std::string &startFlag)
{
    using namespace SchtasksCommand;
    const std::wstring parameters = arguments(widen(taskName), widen(exePath), widen(startFlag));
    // "runas" asks for elevation: the task runs with the highest privileges.
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"runas", L"schtasks", parameters.c_str(), nullptr, SW_HIDE);
    if (reinterpret_cast<INT_PTR>(result) > 32)
        return {true, 0};
    const DWORD error = GetLastError();
    std::printf("Error: %d\n", static_cast<int>(error));
    std::fflush(stdout);
    return {false, error};
}

} // namespace StartupTask
