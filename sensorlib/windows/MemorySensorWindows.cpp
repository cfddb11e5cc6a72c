#include "WindowsBuilders.h"
#include "WindowsReadings.h"

#include <vector>

namespace hwsensors {

namespace {

// 'RSMB': the raw SMBIOS provider of GetSystemFirmwareTable.
constexpr DWORD kRawSmbios = 0x52534D42;

std::vector<unsigned char> rawSmbios(const SystemFunctions &system)
{
    std::vector<unsigned char> raw;
    if (!system.getSystemFirmwareTable)
        return raw;
    const UINT bytes = system.getSystemFirmwareTable(kRawSmbios, 0, nullptr, 0);
    if (bytes == 0)
        return raw;
    raw.resize(bytes);
    const UINT got = system.getSystemFirmwareTable(kRawSmbios, 0, raw.data(), bytes);
    raw.resize(got <= bytes ? got : 0);
    return raw;
}

} // namespace

Sensor buildMemorySensor(const SystemFunctions &system)
{
    Sensor memory;
    memory.name = "Memory";
    const std::vector<unsigned char> raw = rawSmbios(system);
    double mhz = 0;
    // The running speed of the modules does not change while the machine runs.
    if (memoryClockFromRawSmbios(raw.data(), raw.size(), mhz)) {
        memory.add(Clock, "Memory Clock", [mhz](double &value) {
            value = mhz;
            return true;
        });
    }
    return memory;
}

} // namespace hwsensors
