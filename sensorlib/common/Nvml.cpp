#include "Nvml.h"
#include "DynamicLibrary.h"

#include <cstdio>

namespace hwsensors {

namespace {

// The parts of the NVML interface used here, as the driver's header declares them.
using nvmlReturn = int;
using nvmlDevice = void *;
constexpr nvmlReturn kSuccess = 0;
constexpr int kTemperatureGpu = 0;
constexpr int kClockGraphics = 0;
constexpr int kClockMemory = 2;

struct nvmlUtilization
{
    unsigned int gpu;
    unsigned int memory;
};

struct nvmlPciInfo
{
    char busIdLegacy[16];
    unsigned int domain;
    unsigned int bus;
    unsigned int device;
    unsigned int pciDeviceId;
    unsigned int pciSubSystemId;
    char busId[32];
};

struct nvmlFanSpeedInfo
{
    unsigned int version;
    unsigned int fan;
    unsigned int speed;
};

constexpr unsigned int kFanSpeedInfoVersion =
    static_cast<unsigned int>(sizeof(nvmlFanSpeedInfo)) | (1u << 24);

template <typename Fn> bool lookUp(void *library, const char *name, Fn &slot)
{
    slot = reinterpret_cast<Fn>(vendorSymbol(library, name));
    return slot != nullptr;
}

} // namespace

struct Nvml::Api
{
    void *library = nullptr;
    nvmlReturn (*init)() = nullptr;
    nvmlReturn (*shutdown)() = nullptr;
    nvmlReturn (*count)(unsigned int *) = nullptr;
    nvmlReturn (*handleByIndex)(unsigned int, nvmlDevice *) = nullptr;
    nvmlReturn (*name)(nvmlDevice, char *, unsigned int) = nullptr;
    nvmlReturn (*pciInfo)(nvmlDevice, nvmlPciInfo *) = nullptr; // optional
    nvmlReturn (*temperature)(nvmlDevice, int, unsigned int *) = nullptr;
    nvmlReturn (*utilization)(nvmlDevice, nvmlUtilization *) = nullptr;
    nvmlReturn (*clock)(nvmlDevice, int, unsigned int *) = nullptr;
    nvmlReturn (*power)(nvmlDevice, unsigned int *) = nullptr;
    nvmlReturn (*fanSpeed)(nvmlDevice, unsigned int *) = nullptr;
    nvmlReturn (*fanSpeedRpm)(nvmlDevice, nvmlFanSpeedInfo *) = nullptr; // newer drivers only
};

Nvml::Nvml() : api(new Api) {}

Nvml::~Nvml()
{
    if (started)
        api->shutdown();
    // The library stays loaded: its own threads may outlive the shutdown call.
}

void *Nvml::library() const
{
    return api->library;
}

std::unique_ptr<Nvml> Nvml::open()
{
    return open(openNvmlLibrary());
}

std::unique_ptr<Nvml> Nvml::open(void *library)
{
    if (!library)
        return nullptr;
    std::unique_ptr<Nvml> nvml(new Nvml);
    Api &api = *nvml->api;
    api.library = library;
    const bool all = lookUp(library, "nvmlInit_v2", api.init) &&
                     lookUp(library, "nvmlShutdown", api.shutdown) &&
                     lookUp(library, "nvmlDeviceGetCount_v2", api.count) &&
                     lookUp(library, "nvmlDeviceGetHandleByIndex_v2", api.handleByIndex) &&
                     lookUp(library, "nvmlDeviceGetName", api.name) &&
                     lookUp(library, "nvmlDeviceGetTemperature", api.temperature) &&
                     lookUp(library, "nvmlDeviceGetUtilizationRates", api.utilization) &&
                     lookUp(library, "nvmlDeviceGetClockInfo", api.clock) &&
                     lookUp(library, "nvmlDeviceGetPowerUsage", api.power) &&
                     lookUp(library, "nvmlDeviceGetFanSpeed", api.fanSpeed);
    // Optional: older drivers lack them, and only the sleep check and the RPM need them.
    lookUp(library, "nvmlDeviceGetPciInfo_v3", api.pciInfo);
    lookUp(library, "nvmlDeviceGetFanSpeedRPM", api.fanSpeedRpm);
    if (!all || api.init() != kSuccess) {
        closeVendorLibrary(library); // shutdown is not owed after a failed start
        return nullptr;
    }
    nvml->started = true;
    unsigned int count = 0;
    if (api.count(&count) != kSuccess)
        count = 0;
    for (unsigned int i = 0; i < count; ++i) {
        Gpu gpu;
        if (api.handleByIndex(i, &gpu.handle) != kSuccess)
            continue;
        char name[96] = {};
        if (api.name(gpu.handle, name, sizeof(name)) == kSuccess) {
            name[sizeof(name) - 1] = '\0';
            gpu.name = name;
        } else {
            gpu.name = "NVIDIA GPU";
        }
        nvmlPciInfo pci = {};
        if (api.pciInfo && api.pciInfo(gpu.handle, &pci) == kSuccess) {
            char address[32];
            std::snprintf(address, sizeof(address), "%04x:%02x:%02x.0", pci.domain, pci.bus,
                          pci.device);
            gpu.pciAddress = address;
        }
        nvml->devices.push_back(std::move(gpu));
    }
    return nvml;
}

bool Nvml::temperature(const Gpu &gpu, double &celsius) const
{
    unsigned int value = 0;
    if (api->temperature(gpu.handle, kTemperatureGpu, &value) != kSuccess)
        return false;
    celsius = value;
    return true;
}

bool Nvml::utilization(const Gpu &gpu, double &percent) const
{
    nvmlUtilization value = {};
    if (api->utilization(gpu.handle, &value) != kSuccess)
        return false;
    percent = value.gpu;
    return true;
}

bool Nvml::graphicsClock(const Gpu &gpu, double &mhz) const
{
    unsigned int value = 0;
    if (api->clock(gpu.handle, kClockGraphics, &value) != kSuccess)
        return false;
    mhz = value;
    return true;
}

bool Nvml::memoryClock(const Gpu &gpu, double &mhz) const
{
    unsigned int value = 0;
    if (api->clock(gpu.handle, kClockMemory, &value) != kSuccess)
        return false;
    mhz = value;
    return true;
}

bool Nvml::power(const Gpu &gpu, double &watts) const
{
    unsigned int milliwatts = 0;
    if (api->power(gpu.handle, &milliwatts) != kSuccess)
        return false;
    watts = milliwatts / 1000.0;
    return true;
}

bool Nvml::fanPercent(const Gpu &gpu, double &percent) const
{
    unsigned int value = 0;
    if (api->fanSpeed(gpu.handle, &value) != kSuccess)
        return false;
    percent = value;
    return true;
}

bool Nvml::hasFanRpm() const
{
    return api->fanSpeedRpm != nullptr;
}

bool Nvml::fanRpm(const Gpu &gpu, double &rpm) const
{
    if (!api->fanSpeedRpm)
        return false;
    nvmlFanSpeedInfo info = {};
    info.version = kFanSpeedInfoVersion;
    info.fan = 0;
    if (api->fanSpeedRpm(gpu.handle, &info) != kSuccess)
        return false;
    rpm = info.speed;
    return true;
}

} // namespace hwsensors
