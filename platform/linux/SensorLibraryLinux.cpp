#include "platform/SensorLibrary.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

namespace {

// Empty when the executable's own folder cannot be told: the current folder is no
// substitute, since whoever controls it would choose the code the program loads.
std::string applicationDirectory()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0)
        return std::string();
    const std::string exe(path, static_cast<size_t>(length));
    const size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

template <typename Fn> bool lookUp(void *handle, const char *name, Fn &slot)
{
    slot = reinterpret_cast<Fn>(dlsym(handle, name));
    return slot != nullptr;
}

} // namespace

const char *SensorLibrary::fileName()
{
    return "libhwsensors.so";
}

int SensorLibrary::load(SensorLibraryApi &api, const std::string &directory,
                        SensorLibraryOrigin *origin)
{
    api = SensorLibraryApi();
    if (origin)
        *origin = SensorLibraryOrigin();
    const std::string folder = directory.empty() ? applicationDirectory() : directory;
    if (folder.empty())
        return kMissing;
    const std::string path = folder + "/" + fileName();
    // Never closed: the entry points stay valid for the life of the process.
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return kMissing;
    SensorLibraryApi found;
    const bool all = lookUp(handle, "sdkInit", found.sdkInit) &&
                     lookUp(handle, "sdkUninit", found.sdkUninit) &&
                     lookUp(handle, "sdkGetSensorCount", found.sdkGetSensorCount) &&
                     lookUp(handle, "sdkPrepareSensor", found.sdkPrepareSensor) &&
                     lookUp(handle, "sdkGetSensorName", found.sdkGetSensorName) &&
                     lookUp(handle, "sdkGetTemperature", found.sdkGetTemperature) &&
                     lookUp(handle, "sdkGetFanSpeed", found.sdkGetFanSpeed) &&
                     lookUp(handle, "sdkGetPower", found.sdkGetPower) &&
                     lookUp(handle, "sdkGetClock", found.sdkGetClock) &&
                     lookUp(handle, "sdkGetUsage", found.sdkGetUsage);
    if (!all)
        return kMissing;
    api = found;
    if (origin)
        origin->path = path;
    return 0;
}
