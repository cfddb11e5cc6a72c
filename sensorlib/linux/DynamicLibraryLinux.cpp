#include "DynamicLibrary.h"

#include <dlfcn.h>

namespace hwsensors {

void *openVendorLibrary(const char *fileName)
{
    return dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
}

void closeVendorLibrary(void *library)
{
    if (library)
        dlclose(library);
}

void *vendorSymbol(void *library, const char *name)
{
    return dlsym(library, name);
}

void *openNvmlLibrary()
{
    return openVendorLibrary("libnvidia-ml.so.1");
}

} // namespace hwsensors
