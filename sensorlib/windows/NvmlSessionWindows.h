#pragma once
// The NVIDIA GPUs NVML's session serves on Windows: the NVIDIA adapters the kernel thunks
// list, awake by the power state the configuration manager recorded for them. Free of Win32,
// so the Linux tests call it too.
#include "GpuAdapters.h"
#include "NvmlSession.h"

#include <string>
#include <vector>

namespace hwsensors {

/// "0000:01:00.0" for NVML's session (the thunks give no PCI domain); empty when out of range.
std::string pciAddressText(const PciLocation &location);

/// The NVIDIA adapters among \a adapters, in their order, each checked through \a power and
/// found among NVML's GPUs by matchNvmlGpus().
NvmlSession::View nvidiaView(const std::vector<AdapterIdentity> &adapters, PowerLookup power);

} // namespace hwsensors
