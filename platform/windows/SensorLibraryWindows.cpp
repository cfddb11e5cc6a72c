#include "platform/SensorLibrary.h"
#include "platform/windows/PeImage.h"

#include <windows.h>

namespace {

// The third-party library first, where the user put it; our own otherwise.
const wchar_t *const kCandidates[] = {L"HWiNFO32.dll", L"hwsensors.dll"};

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

std::string narrow(const std::wstring &text)
{
    if (text.empty())
        return std::string();
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], size, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(size - 1));
    return utf8;
}

// Empty when it cannot be told; the current folder is no substitute, since whoever controls
// it would choose the code the program runs.
std::wstring executableFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool isFile(const std::wstring &path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

template <typename Fn> bool lookUp(HMODULE module, WORD ordinal, Fn &slot)
{
    // The vendor's DLL exports these by ordinal only; ours exports the same ordinals.
    const FARPROC proc = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    slot = reinterpret_cast<Fn>(reinterpret_cast<void *>(proc));
    return slot != nullptr;
}

bool lookUpAll(HMODULE module, SensorLibraryApi &found)
{
    return lookUp(module, 411, found.sdkInit) && lookUp(module, 198, found.sdkUninit) &&
           lookUp(module, 623, found.sdkGetSensorCount) &&
           lookUp(module, 560, found.sdkPrepareSensor) &&
           lookUp(module, 476, found.sdkGetSensorName) &&
           lookUp(module, 606, found.sdkGetTemperature) &&
           lookUp(module, 734, found.sdkGetFanSpeed) && lookUp(module, 183, found.sdkGetPower) &&
           lookUp(module, 629, found.sdkGetClock) && lookUp(module, 943, found.sdkGetUsage);
}

// Loads one candidate; on failure says why in \a reason (empty when the file is not there).
bool loadCandidate(const std::wstring &path, SensorLibraryApi &api, std::string &reason)
{
    reason.clear();
    if (!isFile(path))
        return false;
    const std::string name = narrow(path.substr(path.find_last_of(L"\\/") + 1));
    const std::uint16_t machine = PeImage::machineOfFile(path);
    const std::uint16_t own = PeImage::machineOfProcess();
    if (machine == 0) {
        reason = name + " beside the executable is not a Windows DLL: passed over";
        return false;
    }
    if (machine != own) {
        reason = name + " beside the executable is built for " + PeImage::machineName(machine) +
                 ", this Tarnix for " + PeImage::machineName(own) + ": passed over";
        return false;
    }
    // A full path, and the DLL's own dependencies looked for in its folder first.
    const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        reason = name + " beside the executable could not be loaded (error " +
                 std::to_string(GetLastError()) + "): passed over";
        return false;
    }
    // Never freed: the entry points stay valid for the life of the process.
    SensorLibraryApi found;
    if (!lookUpAll(module, found)) {
        reason = name + " beside the executable lacks some of the ten functions: passed over";
        return false;
    }
    api = found;
    return true;
}

} // namespace

const char *SensorLibrary::fileName()
{
    return "HWiNFO32.dll";
}

int SensorLibrary::load(SensorLibraryApi &api, const std::string &directory,
                        SensorLibraryOrigin *origin)
{
    api = SensorLibraryApi();
    SensorLibraryOrigin found;
    const std::wstring folder = directory.empty() ? executableFolder() : widen(directory);
    int status = kMissing;
    for (const wchar_t *candidate : kCandidates) {
        if (folder.empty())
            break;
        const std::wstring path = folder + L"\\" + candidate;
        std::string reason;
        if (loadCandidate(path, api, reason)) {
            found.path = narrow(path);
            status = 0;
            break;
        }
        if (!reason.empty())
            found.passedOver.push_back(reason);
    }
    if (origin)
        *origin = found;
    return status;
}
