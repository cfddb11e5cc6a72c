#pragma once
// Everything the library publishes for one machine, in walk order.
#include "Nvml.h"
#include "SensorModel.h"
#include "SysRoot.h"

#include <memory>
#include <vector>

namespace hwsensors {

struct MachineSensors
{
    std::unique_ptr<Nvml> nvml; // before the sensors, which hold pointers into it
    std::vector<Sensor> sensors;
};

/// CPU first, then the board, the GPUs and every other chip. NVML, which always reports the
/// real GPUs, is asked only when \a useNvml is set.
void discoverSensors(const SysRoot &root, bool useNvml, MachineSensors &machine);

/// Copies \a name into \a buffer of \a size bytes, always terminated.
void copyName(const std::string &name, char *buffer, int size);

} // namespace hwsensors
