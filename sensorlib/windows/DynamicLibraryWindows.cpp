#include "DynamicLibrary.h"
#include "SystemLibrary.h"

#include <string>

namespace hwsensors {

void *openVendorLibrary(const char *fileName)
{
    // Vendor drivers install their libraries into System32; the file names are ASCII.
    const std::string narrow(fileName);
    const std::wstring wide(narrow.begin(), narrow.end());
    return reinterpret_cast<void *>(loadSystemLibrary(wide.c_str()));
}

void *vendorSymbol(void *library, const char *name)
{
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}

const char *nvmlFileName()
{
    return "nvml.dll";
}

} // namespace hwsensors
