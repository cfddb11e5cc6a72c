#pragma once
// Graphics adapters as sensors: the kernel thunks give temperature, fan, clocks; the engine
// counters the load; NVML, where NVIDIA's driver installed it, the power and what the thunks
// lack. Free of Win32 (the thunks come in as a function table), so tests run it with fakes.
#include "D3dkmt.h"
#include "GpuReadings.h"
#include "NvmlSession.h"
#include "SensorModel.h"

#include <functional>
#include <vector>

namespace hwsensors {

/// Takes one sample of every GPU engine's utilisation into \a loads (cleared before the
/// call); false when there is none.
using EngineSampler = std::function<bool(EngineLoads &loads)>;

/// For an adapter at a PCI location, a check that is true while it may be queried (in D0);
/// read without touching the device. An empty check: the adapter is taken as always awake.
using PowerCheck = std::function<bool()>;
using PowerLookup = std::function<PowerCheck(const PciLocation &location)>;

/// One sensor per hardware adapter that reports anything, discrete adapters first and
/// integrated ones last, each named "GPU [#n]: name"; without an NVIDIA adapter, NVML's GPUs
/// before the integrated ones. \a kmt is nullptr without the thunks (wine, Windows 7),
/// \a sampler may be empty (no engine counters), \a nvml empty (no NVML), \a power empty (no
/// power states). A sleeping adapter is neither queried nor asked through NVML: its readings
/// keep their names and have no value, and NVML is open only while an NVIDIA GPU is awake.
/// The sensors keep the adapters and NVML open and close them when the last of them goes.
std::vector<Sensor> buildAdapterSensors(const kmt::Functions *kmt, EngineSampler sampler,
                                        NvmlSession::Opener nvml, PowerLookup power = {});

} // namespace hwsensors
