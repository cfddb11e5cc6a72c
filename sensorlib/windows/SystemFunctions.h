#pragma once
// The kernel32 and powrprof calls the library reads, in a table that tests can fill with
// fakes. A missing entry point is null: its source is then absent.
#include <windows.h>

namespace hwsensors {

// powrprof.h declares the call but not its ProcessorInformation record.
struct ProcessorPowerInformation
{
    ULONG number;
    ULONG maxMhz;
    ULONG currentMhz;
    ULONG mhzLimit;
    ULONG maxIdleState;
    ULONG currentIdleState;
};

struct SystemFunctions
{
    BOOL(WINAPI *getSystemTimes)(FILETIME *idle, FILETIME *kernel, FILETIME *user) = nullptr;
    LONG(WINAPI *callNtPowerInformation)
    (POWER_INFORMATION_LEVEL level, void *input, ULONG inputBytes, void *output,
     ULONG outputBytes) = nullptr;
    UINT(WINAPI *getSystemFirmwareTable)
    (DWORD provider, DWORD id, void *buffer, DWORD bytes) = nullptr;
    DWORD(WINAPI *activeProcessorCount)(WORD group) = nullptr;

    /// The real functions, from kernel32 and System32's powrprof.dll.
    static SystemFunctions load();
};

} // namespace hwsensors
