#pragma once
// Loads a vendor's run-time library (NVML, ADL) the platform's way; the code that uses one
// is shared between the platforms.

namespace hwsensors {

/// nullptr when the library is not installed. Never unloaded: vendor libraries may keep
/// threads of their own.
void *openVendorLibrary(const char *fileName);

/// nullptr when \a library lacks \a name.
void *vendorSymbol(void *library, const char *name);

/// NVIDIA's management library on this platform.
const char *nvmlFileName();

} // namespace hwsensors
