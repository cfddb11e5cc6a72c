#include "GpuSensorsWindows.h"
#include "MachineSensors.h"
#include "WindowsBuilders.h"

namespace hwsensors {

namespace {

// What the sensors' samples read through, released after them.
struct WindowsSources
{
    std::unique_ptr<Pdh> pdh;
};

void addUnlessEmpty(MachineSensors &machine, Sensor sensor)
{
    if (!sensor.empty())
        machine.sensors.push_back(std::move(sensor));
}

} // namespace

int startMachine(MachineSensors &machine)
{
    // A second start replaces everything: the old sensors go before what they read.
    machine.sensors.clear();
    machine.platformState.reset();

    auto sources = std::make_shared<WindowsSources>();
    sources->pdh = Pdh::load();
    const SystemFunctions system = SystemFunctions::load();

    addUnlessEmpty(machine, buildCpuSensor(system, sources->pdh.get()));
    // NVML is opened by the GPU sensors, and only while an NVIDIA GPU is awake.
    for (Sensor &gpu : buildGpuSensors([] { return Nvml::open(); }, sources->pdh.get()))
        addUnlessEmpty(machine, std::move(gpu));
    // Fans would need a kernel driver: none are published.
    addUnlessEmpty(machine, buildThermalZoneSensor(sources->pdh.get()));
    addUnlessEmpty(machine, buildMemorySensor(system));
    machine.platformState = std::move(sources);
    return 0;
}

} // namespace hwsensors
