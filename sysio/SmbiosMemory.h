#pragma once
// The installed memory modules listed in a raw SMBIOS structure table (Linux:
// /sys/firmware/dmi/tables/DMI; Windows: the 'RSMB' firmware table after its header): its
// "Memory Device" structures (type 17). Plain C++, shared by the inventory and the sensor
// library.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace SmbiosMemory {

struct Module
{
    uint64_t bytes = 0;
    std::string manufacturer;        // Latin-1 as the firmware wrote it, trimmed
    unsigned speedMts = 0;           // the module's rated speed; 0: unknown
    unsigned configuredSpeedMts = 0; // the speed it runs at; 0: unknown (before SMBIOS 2.7)
};

// Empty slots and modules of unknown size are left out; a damaged table yields the
// modules before the damage.
std::vector<Module> modules(const unsigned char *table, size_t size);

} // namespace SmbiosMemory
