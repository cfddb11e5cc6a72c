// A PCI ID database of any content; the first four bytes pick vendor and device.
#include "FuzzInput.h"
#include "platform/linux/PciIds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const unsigned vendor = unsigned(data[0]) << 8 | data[1];
    const unsigned device = unsigned(data[2]) << 8 | data[3];
    PciIds::deviceName(FuzzInput::bytes(data + 4, size - 4), vendor, device);
    return 0;
}
