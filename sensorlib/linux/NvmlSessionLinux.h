#pragma once
// The NVIDIA GPUs NVML's session serves on Linux: the PCI devices bound to NVIDIA's driver,
// awake by their power/runtime_status, which the kernel answers without waking the device.
#include "NvmlSession.h"
#include "SysRoot.h"

#include <string>

namespace hwsensors {

/// Whether a device may be touched, from its power/runtime_status: only while "active". A
/// device without runtime power management (no file, "unsupported") is always on.
bool deviceAwake(bool statusRead, const std::string &status);

/// Reads the power/runtime_status file at \a statusFullPath on every call.
NvmlSession::AwakeCheck runtimeStatusCheck(const std::string &statusFullPath);

/// The NVIDIA GPUs of \a root's PCI devices, each checked through its runtime_status.
NvmlSession::View nvidiaView(const SysRoot &root);

} // namespace hwsensors
