#include "DynamicLibrary.h"
#include "NvmlLocation.h"
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

void closeVendorLibrary(void *library)
{
    if (library)
        FreeLibrary(static_cast<HMODULE>(library));
}

void *vendorSymbol(void *library, const char *name)
{
    return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void *openNvmlLibrary()
{
    return reinterpret_cast<void *>(loadNvml(NvmlLoaderFunctions::system()));
}

} // namespace hwsensors
