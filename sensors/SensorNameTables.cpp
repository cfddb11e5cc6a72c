#include "sensors/SensorNameTables.h"

#include <cstring>

namespace {

enum class Rule
{
    Equals,
    Contains
};

struct Target
{
    ReadingKind kind;
    float SensorReadings::*field;
    Rule rule;
    const char *const *names; // ends with nullptr
};

const char *const cpuTemperatureNames[] = {"CPU", "CPU Temperature", "CPU Package",
                                           "CPU (Tctl/Tdie)", nullptr};
const char *const gpuTemperatureNames[] = {"GPU Temperature", "GPU Thermal Diode",
                                           "GPU TS0 (DispIO)", nullptr};
const char *const boardTemperatureNames[] = {"Motherboard", "PCH Temperature", "Chipset 1 (xHCI)",
                                             nullptr};
const char *const cpuFanNames[] = {"CPU", "CPU Fan", "SYSFANIN", "CPUFANIN0", nullptr};
const char *const gpuFanNames[] = {"GPU Fan", nullptr};
const char *const cpuPowerNames[] = {"CPU Package Power", nullptr};
const char *const gpuPowerNames[] = {"GPU Power (Total)",
                                     "GPU ASIC Power",
                                     "Total Graphics Power (TGP)",
                                     "GPU Core Power (VDDCR_GFX)",
                                     "GPU SoC Power (VDDCR_SOC)",
                                     "IGPU Power",
                                     nullptr};
const char *const cpuClockNames[] = {"Core 0 Clock", "core 0 Clock", nullptr};
const char *const gpuClockNames[] = {"GPU Clock", nullptr};
const char *const memoryClockNames[] = {"Memory Clock", nullptr};
const char *const cpuUsageNames[] = {"Total CPU Usage", nullptr};
const char *const gpuUsageNames[] = {"GPU Core Load", "GPU D3D Usage", nullptr};

// Grouped by kind, in the order the targets of a kind are tried.
const Target targets[SensorNameTables::kTargetCount] = {
    {ReadingKind::Temperature, &SensorReadings::cpuTemperature, Rule::Equals, cpuTemperatureNames},
    {ReadingKind::Temperature, &SensorReadings::gpuTemperature, Rule::Equals, gpuTemperatureNames},
    {ReadingKind::Temperature, &SensorReadings::boardTemperature, Rule::Equals,
     boardTemperatureNames},
    {ReadingKind::Fan, &SensorReadings::cpuFan, Rule::Equals, cpuFanNames},
    {ReadingKind::Fan, &SensorReadings::gpuFan, Rule::Contains, gpuFanNames},
    {ReadingKind::Power, &SensorReadings::cpuPower, Rule::Equals, cpuPowerNames},
    {ReadingKind::Power, &SensorReadings::gpuPower, Rule::Equals, gpuPowerNames},
    {ReadingKind::Clock, &SensorReadings::cpuClock, Rule::Contains, cpuClockNames},
    {ReadingKind::Clock, &SensorReadings::gpuClock, Rule::Equals, gpuClockNames},
    {ReadingKind::Clock, &SensorReadings::memoryClock, Rule::Equals, memoryClockNames},
    {ReadingKind::Usage, &SensorReadings::cpuUsage, Rule::Equals, cpuUsageNames},
    {ReadingKind::Usage, &SensorReadings::gpuUsage, Rule::Equals, gpuUsageNames},
};

bool tableMatches(const Target &target, const char *name)
{
    for (const char *const *entry = target.names; *entry; ++entry) {
        const bool hit = target.rule == Rule::Equals ? std::strcmp(name, *entry) == 0
                                                     : std::strstr(name, *entry) != nullptr;
        if (hit)
            return true;
    }
    return false;
}

} // namespace

int SensorNameTables::findTarget(ReadingKind kind, const char *name, unsigned marks)
{
    for (int i = 0; i < kTargetCount; ++i) {
        if (targets[i].kind != kind || (marks & (1u << i)))
            continue;
        if (tableMatches(targets[i], name))
            return i;
    }
    return -1;
}

float SensorReadings::*SensorNameTables::targetField(int index)
{
    return targets[index].field;
}

const char *SensorNameTables::kindName(ReadingKind kind)
{
    switch (kind) {
    case ReadingKind::Temperature:
        return "temperature";
    case ReadingKind::Fan:
        return "fan";
    case ReadingKind::Power:
        return "power";
    case ReadingKind::Clock:
        return "clock";
    case ReadingKind::Usage:
        return "usage";
    }
    return "";
}
