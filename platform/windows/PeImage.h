#pragma once
// What a PE file (an .exe or .dll) was built for, read from its headers without loading it:
// LoadLibrary of a DLL for another machine only says "error 193".
#include <cstddef>
#include <cstdint>
#include <string>

namespace PeImage {

constexpr std::uint16_t kMachineI386 = 0x014c;
constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint16_t kMachineArm64 = 0xaa64;

/// The COFF machine field of the image that starts with \a bytes; 0 when they are not the
/// start of a PE image (too short, no "MZ", no "PE\0\0" where the DOS header points).
std::uint16_t machine(const unsigned char *bytes, std::size_t size);

/// The same for a file; 0 when it cannot be read or is not a PE image.
std::uint16_t machineOfFile(const std::wstring &path);

/// The machine this process runs as.
std::uint16_t machineOfProcess();

/// "32-bit x86", "64-bit x64", "64-bit ARM" or "machine 0x1c4".
std::string machineName(std::uint16_t machine);

} // namespace PeImage
