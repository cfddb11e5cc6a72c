#include "platform/SensorLibrary.h"

#include <windows.h>

namespace {

std::wstring widen(const std::string &text)
{
    if (text.empty())
        return std::wstring();
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], size);
    wide.resize(static_cast<size_t>(size - 1));
    return wide;
}

template <typename Fn> bool lookUp(HMODULE module, WORD ordinal, Fn &slot)
{
    // The vendor's DLL exports these by ordinal only.
    const FARPROC proc = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    slot = reinterpret_cast<Fn>(reinterpret_cast<void *>(proc));
    return slot != nullptr;
}

} // namespace

const char *SensorLibrary::fileName()
{
    return "HWiNFO32.dll";
}

int SensorLibrary::load(SensorLibraryApi &api, const std::string &directory)
{
    api = SensorLibraryApi();
    std::wstring path = L"HWiNFO32.dll";
    if (!directory.empty())
        path = widen(directory) + L"\\" + path;
    // Never freed: the entry points stay valid for the life of the process.
    const HMODULE module = LoadLibraryW(path.c_str());
    if (module == nullptr || module == reinterpret_cast<HMODULE>(INVALID_HANDLE_VALUE))
        return kMissing;
    SensorLibraryApi found;
    const bool all =
        lookUp(module, 411, found.sdkInit) && lookUp(module, 198, found.sdkUninit) &&
        lookUp(module, 623, found.sdkGetSensorCount) &&
        lookUp(module, 560, found.sdkPrepareSensor) &&
        lookUp(module, 476, found.sdkGetSensorName) &&
        lookUp(module, 606, found.sdkGetTemperature) && lookUp(module, 734, found.sdkGetFanSpeed) &&
        lookUp(module, 183, found.sdkGetPower) && lookUp(module, 629, found.sdkGetClock) &&
        lookUp(module, 943, found.sdkGetUsage);
    if (!all)
        return kMissing;
    api = found;
    return 0;
}
