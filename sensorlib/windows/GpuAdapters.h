#pragma once
// Graphics adapters as sensors: the kernel thunks give temperature, fan, clocks; the engine
// counters the load; NVML, where NVIDIA's driver installed it, the power and what the thunks
// lack. Free of Win32 (the thunks come in as a function table), so tests run it with fakes.
#include "D3dkmt.h"
#include "GpuReadings.h"
#include "SensorModel.h"

#include <functional>
#include <vector>

namespace hwsensors {

class Nvml;

/// Takes one sample of every GPU engine's utilisation into \a loads (cleared before the
/// call); false when there is none.
using EngineSampler = std::function<bool(EngineLoads &loads)>;

/// One sensor per hardware adapter that reports anything, discrete adapters first and
/// integrated ones last, each named "GPU [#n]: name"; then NVML GPUs that match no adapter.
/// \a kmt is nullptr without the thunks (wine, Windows 7), \a sampler may be empty (no
/// engine counters), \a nvml nullptr. The sensors keep the
/// adapters open and close them when the last of them goes.
std::vector<Sensor> buildAdapterSensors(const kmt::Functions *kmt, EngineSampler sampler,
                                        Nvml *nvml);

} // namespace hwsensors
