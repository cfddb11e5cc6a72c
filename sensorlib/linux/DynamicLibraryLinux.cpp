#include "DynamicLibrary.h"

#include <dlfcn.h>

namespace hwsensors {

void *openVendorLibrary(const char *fileName)
{
    return dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
}

void *vendorSymbol(void *library, const char *name)
{
    return dlsym(library, name);
}

const char *nvmlFileName()
{
    return "libnvidia-ml.so.1";
}

} // namespace hwsensors
