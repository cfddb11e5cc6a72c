#pragma once
// Loads a vendor's run-time library (NVML, ADL) the platform's way; the code that uses one
// is shared between the platforms.

namespace hwsensors {

/// nullptr when the library is not installed.
void *openVendorLibrary(const char *fileName);

/// Unloads a library opened here. Only for one whose own shutdown call has returned (NVML
/// while every GPU it serves sleeps): vendor libraries may keep threads of their own.
void closeVendorLibrary(void *library);

/// nullptr when \a library lacks \a name.
void *vendorSymbol(void *library, const char *name);

/// NVIDIA's management library from where its driver installs it; nullptr when absent.
void *openNvmlLibrary();

} // namespace hwsensors
