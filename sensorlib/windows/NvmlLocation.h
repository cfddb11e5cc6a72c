#pragma once
// Where NVIDIA's driver installs nvml.dll: System32 for DCH drivers, the NVSMI folder under
// the 64-bit Program Files for Standard ones. Loaded by full path only, never by a bare name
// that the loader would look for in folders others can write to.
#include <windows.h>

#include <string>
#include <vector>

namespace hwsensors {

/// What the search needs from kernel32; tests hand in a fake file system.
struct NvmlLoaderFunctions
{
    UINT(WINAPI *getSystemDirectory)(LPWSTR buffer, UINT size) = nullptr;
    DWORD(WINAPI *getEnvironmentVariable)(LPCWSTR name, LPWSTR buffer, DWORD size) = nullptr;
    HMODULE(WINAPI *loadLibraryEx)(LPCWSTR path, HANDLE reserved, DWORD flags) = nullptr;

    static NvmlLoaderFunctions system();
};

/// The full paths to try, in order. None in a 32-bit process: NVML exists for 64-bit Windows
/// only. An empty folder gives no path.
std::vector<std::wstring> nvmlPaths(const std::wstring &systemFolder,
                                    const std::wstring &programFilesW6432, bool process64);

/// The first of nvmlPaths() that loads; nullptr when none does.
HMODULE loadNvml(const NvmlLoaderFunctions &functions);

} // namespace hwsensors
