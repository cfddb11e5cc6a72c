#pragma once
// The GPU sensors of the Windows library, built after the CPU sensor.
#include "NvmlSession.h"
#include "Pdh.h"
#include "SensorModel.h"

#include <vector>

namespace hwsensors {

/// One sensor per graphics adapter. \a nvml opens NVIDIA's library while one of its GPUs is
/// awake (empty: never); \a pdh is nullptr without pdh.dll and outlives the sensors.
std::vector<Sensor> buildGpuSensors(NvmlSession::Opener nvml, const Pdh *pdh);

} // namespace hwsensors
