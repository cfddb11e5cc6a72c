#pragma once
// The GPU sensors of the Windows library, built after the CPU sensor.
#include "Nvml.h"
#include "Pdh.h"
#include "SensorModel.h"

#include <vector>

namespace hwsensors {

/// One sensor per graphics adapter. \a nvml is nullptr without NVIDIA's driver, \a pdh
/// nullptr without pdh.dll; both outlive the sensors.
std::vector<Sensor> buildGpuSensors(Nvml *nvml, const Pdh *pdh);

} // namespace hwsensors
