#include "platform/windows/CrashRestartWindows.h"
#include "platform/CrashRestart.h"
#include "platform/CrashRule.h"

#include <windows.h>

#include <cstdio>

namespace {

int32_t startStamp = 0;

// FILETIME counts 100 ns steps since 1601-01-01.
constexpr int64_t fileTimeAtUnixEpoch = 116444736000000000LL;
constexpr int64_t fileTimeStepsPerMSec = 10000;

// A new copy is started without arguments: it never carries the task flag, so it shows its
// window as a normal start would. Returns 1 once it has tried (the process ends), 0 to let
// the system's default crash handling go on.
LONG WINAPI restartFilter(EXCEPTION_POINTERS *)
{
    if (!CrashRule::shouldRestart(startStamp, CrashRestart::currentStamp()))
        return EXCEPTION_CONTINUE_SEARCH;

    STARTUPINFOW startupInfo;
    ZeroMemory(&startupInfo, sizeof(startupInfo));
    startupInfo.cb = sizeof(STARTUPINFOW);
    PROCESS_INFORMATION processInfo;
    ZeroMemory(&processInfo, sizeof(processInfo));

    wchar_t path[255];
    GetModuleFileNameW(NULL, path, 255);
    if (CreateProcessW(path, NULL, NULL, NULL, FALSE, 0, NULL, NULL, &startupInfo, &processInfo)) {
        CloseHandle(processInfo.hThread);
        CloseHandle(processInfo.hProcess);
    } else {
        std::printf("CreateProcess failed (%d).\n", static_cast<int>(GetLastError()));
        // The process ends without the runtime's exit, which would flush the buffer.
        std::fflush(stdout);
    }
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int32_t CrashRestart::currentStamp()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER steps;
    steps.LowPart = now.dwLowDateTime;
    steps.HighPart = now.dwHighDateTime;
    const int64_t msecs =
        (static_cast<int64_t>(steps.QuadPart) - fileTimeAtUnixEpoch) / fileTimeStepsPerMSec;
    return CrashRule::stampFromMSecs(msecs);
}

void CrashRestart::setStartStampForTesting(int32_t stamp)
{
    startStamp = stamp;
}

void CrashRestart::recordStartStamp()
{
    startStamp = currentStamp();
}

void CrashRestart::install()
{
    SetUnhandledExceptionFilter(restartFilter);
}
