// A stand-in for libnvidia-ml.so.1 with one GPU at 0000:01:00.0, for the sensor library's
// tests. Only the entry points the library looks up, with their versioned names.
#include <cstring>

#define NVML_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
int device = 0;
struct Utilization
{
    unsigned int gpu;
    unsigned int memory;
};
struct PciInfo
{
    char busIdLegacy[16];
    unsigned int domain;
    unsigned int bus;
    unsigned int device;
    unsigned int pciDeviceId;
    unsigned int pciSubSystemId;
    char busId[32];
};
struct FanSpeedInfo
{
    unsigned int version;
    unsigned int fan;
    unsigned int speed;
};
} // namespace

NVML_EXPORT int nvmlInit_v2()
{
    return 0;
}
NVML_EXPORT int nvmlShutdown()
{
    return 0;
}
NVML_EXPORT int nvmlDeviceGetCount_v2(unsigned int *count)
{
    *count = 1;
    return 0;
}
NVML_EXPORT int nvmlDeviceGetHandleByIndex_v2(unsigned int, void **handle)
{
    *handle = &device;
    return 0;
}
NVML_EXPORT int nvmlDeviceGetName(void *, char *name, unsigned int length)
{
    std::strncpy(name, "NVIDIA GeForce RTX 4070", length);
    return 0;
}
NVML_EXPORT int nvmlDeviceGetPciInfo_v3(void *, PciInfo *pci)
{
    std::memset(pci, 0, sizeof(*pci));
    pci->bus = 1;
    return 0;
}
NVML_EXPORT int nvmlDeviceGetTemperature(void *, int, unsigned int *celsius)
{
    *celsius = 51;
    return 0;
}
NVML_EXPORT int nvmlDeviceGetUtilizationRates(void *, Utilization *rates)
{
    rates->gpu = 33;
    rates->memory = 12;
    return 0;
}
NVML_EXPORT int nvmlDeviceGetClockInfo(void *, int type, unsigned int *mhz)
{
    *mhz = type == 0 ? 2505 : 10501;
    return 0;
}
NVML_EXPORT int nvmlDeviceGetPowerUsage(void *, unsigned int *milliwatts)
{
    *milliwatts = 123456;
    return 0;
}
NVML_EXPORT int nvmlDeviceGetFanSpeed(void *, unsigned int *percent)
{
    *percent = 40;
    return 0;
}
NVML_EXPORT int nvmlDeviceGetFanSpeedRPM(void *, FanSpeedInfo *info)
{
    if ((info->version >> 24) != 1 || (info->version & 0xffffff) != sizeof(FanSpeedInfo))
        return 3; // NVML_ERROR_INVALID_ARGUMENT
    info->speed = 1500;
    return 0;
}
