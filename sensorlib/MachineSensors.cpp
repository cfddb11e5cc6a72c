#include "MachineSensors.h"
#include "Builders.h"

#include <cstring>

namespace hwsensors {

void discoverSensors(const SysRoot &root, bool useNvml, MachineSensors &machine)
{
    machine.sensors.clear();
    machine.nvml = useNvml ? Nvml::open() : nullptr;
    const std::vector<HwmonChip> chips = listHwmonChips(root);
    Sensor cpu = buildCpuSensor(root, chips);
    if (!cpu.empty())
        machine.sensors.push_back(std::move(cpu));
    std::vector<Sensor> others = buildChipSensors(chips);
    // The board comes right after the CPU, the other chips after the GPUs.
    auto next = others.begin();
    if (next != others.end() && next->name == "Motherboard")
        machine.sensors.push_back(std::move(*next++));
    for (Sensor &gpu : buildGpuSensors(root, machine.nvml.get()))
        machine.sensors.push_back(std::move(gpu));
    for (; next != others.end(); ++next)
        machine.sensors.push_back(std::move(*next));
}

void copyName(const std::string &name, char *buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    const size_t length = std::min(name.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, name.data(), length);
    buffer[length] = '\0';
}

} // namespace hwsensors
