#include "PeImage.h"

#include <cstdio>
#include <windows.h>

namespace PeImage {

namespace {

// Enough for the DOS header, its stub and the NT signature of any linker's output.
constexpr std::size_t kHeaderBytes = 4096;

std::uint32_t readLe32(const unsigned char *at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

} // namespace

std::uint16_t machine(const unsigned char *bytes, std::size_t size)
{
    if (!bytes || size < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z')
        return 0;
    const std::uint32_t ntOffset = readLe32(bytes + 0x3c);
    // Signature (4 bytes), then the machine field (2 bytes).
    if (ntOffset > size || size - ntOffset < 6)
        return 0;
    const unsigned char *nt = bytes + ntOffset;
    if (nt[0] != 'P' || nt[1] != 'E' || nt[2] != 0 || nt[3] != 0)
        return 0;
    return static_cast<std::uint16_t>(nt[4] | nt[5] << 8);
}

std::uint16_t machineOfFile(const std::wstring &path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    unsigned char header[kHeaderBytes];
    DWORD got = 0;
    const BOOL ok = ReadFile(file, header, sizeof(header), &got, nullptr);
    CloseHandle(file);
    return ok ? machine(header, got) : 0;
}

std::uint16_t machineOfProcess()
{
    // The image is mapped at its module handle; its headers are a PE file's first bytes.
    const auto *image = reinterpret_cast<const unsigned char *>(GetModuleHandleW(nullptr));
    return machine(image, kHeaderBytes);
}

std::string machineName(std::uint16_t machine)
{
    switch (machine) {
    case kMachineI386:
        return "32-bit x86";
    case kMachineAmd64:
        return "64-bit x64";
    case kMachineArm64:
        return "64-bit ARM";
    default:
        break;
    }
    char text[32];
    std::snprintf(text, sizeof(text), "machine 0x%x", static_cast<unsigned>(machine));
    return text;
}

} // namespace PeImage
