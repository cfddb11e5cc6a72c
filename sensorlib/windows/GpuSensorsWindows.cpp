#include "GpuSensorsWindows.h"

namespace hwsensors {

// Adapters are not read yet: no GPU sensors.
std::vector<Sensor> buildGpuSensors(Nvml *, const Pdh *)
{
    return {};
}

} // namespace hwsensors
