#include "NvmlLocation.h"

namespace hwsensors {

namespace {

std::wstring systemFolder(const NvmlLoaderFunctions &f)
{
    wchar_t folder[MAX_PATH];
    const UINT length = f.getSystemDirectory(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

std::wstring environment(const NvmlLoaderFunctions &f, const wchar_t *name)
{
    wchar_t value[MAX_PATH];
    const DWORD length = f.getEnvironmentVariable(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

std::wstring joined(std::wstring folder, const wchar_t *rest)
{
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + rest;
}

} // namespace

NvmlLoaderFunctions NvmlLoaderFunctions::system()
{
    NvmlLoaderFunctions f;
    f.getSystemDirectory = GetSystemDirectoryW;
    f.getEnvironmentVariable = GetEnvironmentVariableW;
    f.loadLibraryEx = LoadLibraryExW;
    return f;
}

std::vector<std::wstring> nvmlPaths(const std::wstring &systemFolder,
                                    const std::wstring &programFilesW6432, bool process64)
{
    std::vector<std::wstring> paths;
    if (!process64)
        return paths;
    if (!systemFolder.empty())
        paths.push_back(joined(systemFolder, L"nvml.dll"));
    if (!programFilesW6432.empty())
        paths.push_back(joined(programFilesW6432, L"NVIDIA Corporation\\NVSMI\\nvml.dll"));
    return paths;
}

HMODULE loadNvml(const NvmlLoaderFunctions &functions)
{
    const bool process64 = sizeof(void *) == 8;
    for (const std::wstring &path :
         nvmlPaths(systemFolder(functions), environment(functions, L"ProgramW6432"), process64)) {
        // The library's own folder is searched for what it depends on.
        if (const HMODULE library =
                functions.loadLibraryEx(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH))
            return library;
    }
    return nullptr;
}

} // namespace hwsensors
