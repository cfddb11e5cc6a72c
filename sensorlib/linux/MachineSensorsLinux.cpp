#include "Builders.h"
#include "MachineSensors.h"

#include <cstdlib>
#include <string>

namespace hwsensors {

void discoverSensors(const SysRoot &root, bool useNvml, MachineSensors &machine)
{
    machine.sensors.clear();
    const std::vector<HwmonChip> chips = listHwmonChips(root);
    Sensor cpu = buildCpuSensor(root, chips);
    if (!cpu.empty())
        machine.sensors.push_back(std::move(cpu));
    std::vector<Sensor> others = buildChipSensors(chips);
    // The board comes right after the CPU, the other chips after the GPUs.
    auto next = others.begin();
    if (next != others.end() && next->name == "Motherboard")
        machine.sensors.push_back(std::move(*next++));
    NvmlSession::Opener nvml;
    if (useNvml)
        nvml = [] { return Nvml::open(); };
    for (Sensor &gpu : buildGpuSensors(root, std::move(nvml)))
        machine.sensors.push_back(std::move(gpu));
    for (; next != others.end(); ++next)
        machine.sensors.push_back(std::move(*next));
}

int startMachine(MachineSensors &machine)
{
    const SysRoot root = SysRoot::fromEnvironment();
    // A root that does not exist is a mistake in the set-up, not a machine without sensors.
    if (!root.root().empty() && !root.isDirectory("/"))
        return -2;
    // A fixture tree stands for a whole machine: the real GPUs behind NVML are not part of
    // it unless asked for.
    const char *nvml = std::getenv("HWSENSORS_NVML");
    const bool useNvml = root.root().empty() || (nvml && std::string(nvml) == "1");
    discoverSensors(root, useNvml, machine);
    return 0;
}

} // namespace hwsensors
