// A raw SMBIOS table as the firmware folder hands it over: any bytes.
#include "FuzzInput.h"
#include "sysio/SmbiosMemory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (const SmbiosMemory::Module &module : SmbiosMemory::modules(data, size))
        FuzzInput::require(module.bytes > 0);
    return 0;
}
