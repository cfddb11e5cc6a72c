#pragma once
// Each builder turns one part of the machine into published sensors.
#include "HwmonChip.h"
#include "NvmlSessionLinux.h"
#include "SensorModel.h"
#include "SysRoot.h"

#include <vector>

namespace hwsensors {

class Nvml;
struct MachineSensors;

/// CPU first, then the board, the GPUs and every other chip. NVML, which always reports the
/// real GPUs, is asked only when \a useNvml is set.
void discoverSensors(const SysRoot &root, bool useNvml, MachineSensors &machine);

/// The "CPU" sensor: package temperature, usage, per-core clocks, package power. Takes the
/// first usage and energy samples now, so the first pass already has real values.
Sensor buildCpuSensor(const SysRoot &root, const std::vector<HwmonChip> &chips);

/// "GPU [#n]: name" sensors from the DRM cards and, when \a nvml is set, NVIDIA's GPUs
/// through the NVML it opens while one of them is awake.
std::vector<Sensor> buildGpuSensors(const SysRoot &root, NvmlSession::Opener nvml);

/// "Motherboard" for the first board chip, then every remaining chip under its own name.
std::vector<Sensor> buildChipSensors(const std::vector<HwmonChip> &chips);

/// Chips read by the CPU or GPU builders, left out of the generic list.
bool isCpuChip(const std::string &name);
bool isGpuChip(const std::string &name);
bool isBoardChip(const std::string &name);

} // namespace hwsensors
