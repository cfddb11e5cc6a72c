#include "SystemFunctions.h"
#include "SystemLibrary.h"

namespace hwsensors {

namespace {

template <typename Function> void resolve(HMODULE library, const char *name, Function &out)
{
    out = library
              ? reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(library, name)))
              : nullptr;
}

} // namespace

SystemFunctions SystemFunctions::load()
{
    SystemFunctions f;
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    resolve(kernel, "GetSystemTimes", f.getSystemTimes);
    resolve(kernel, "GetSystemFirmwareTable", f.getSystemFirmwareTable);
    resolve(kernel, "GetActiveProcessorCount", f.activeProcessorCount);
    resolve(loadSystemLibrary(L"powrprof.dll"), "CallNtPowerInformation", f.callNtPowerInformation);
    return f;
}

} // namespace hwsensors
