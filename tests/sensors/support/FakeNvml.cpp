// A stand-in for libnvidia-ml.so.1 (and nvml.dll in the wine tests) with one GPU at
// 0000:01:00.0, for the sensor library's tests. Only the entry points the library looks up,
// with their versioned names.
//
// FAKE_NVML_GPUS=n gives n GPUs, the i-th at bus i + 1 drawing 123.456 + i watts, so a GPU
// read through the wrong handle shows. FAKE_NVML_CALLS names a file that every call appends
// its name to: it outlives the library being unloaded and loaded again.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#define NVML_EXPORT extern "C" __declspec(dllexport)
#else
#define NVML_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
int devices[8] = {};

void noteCall(const char *call)
{
    const char *path = std::getenv("FAKE_NVML_CALLS");
    if (!path || !*path)
        return;
    if (FILE *file = std::fopen(path, "a")) {
        std::fprintf(file, "%s\n", call);
        std::fclose(file);
    }
}

unsigned int gpuCount()
{
    const char *text = std::getenv("FAKE_NVML_GPUS");
    const int n = text ? std::atoi(text) : 1;
    return n >= 1 && n <= 8 ? static_cast<unsigned int>(n) : 1;
}

#define COUNTED noteCall(__func__)
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
    COUNTED;
    return 0;
}
NVML_EXPORT int nvmlShutdown()
{
    COUNTED;
    return 0;
}
NVML_EXPORT int nvmlDeviceGetCount_v2(unsigned int *count)
{
    COUNTED;
    *count = gpuCount();
    return 0;
}
NVML_EXPORT int nvmlDeviceGetHandleByIndex_v2(unsigned int index, void **handle)
{
    COUNTED;
    if (index >= gpuCount())
        return 2; // NVML_ERROR_INVALID_ARGUMENT
    *handle = &devices[index];
    return 0;
}
NVML_EXPORT int nvmlDeviceGetName(void *, char *name, unsigned int length)
{
    COUNTED;
    std::strncpy(name, "NVIDIA GeForce RTX 4070", length);
    return 0;
}
NVML_EXPORT int nvmlDeviceGetPciInfo_v3(void *device, PciInfo *pci)
{
    COUNTED;
    std::memset(pci, 0, sizeof(*pci));
    pci->bus = static_cast<unsigned int>(static_cast<int *>(device) - devices) + 1;
    return 0;
}
NVML_EXPORT int nvmlDeviceGetTemperature(void *, int, unsigned int *celsius)
{
    COUNTED;
    *celsius = 51;
    return 0;
}
NVML_EXPORT int nvmlDeviceGetUtilizationRates(void *, Utilization *rates)
{
    COUNTED;
    rates->gpu = 33;
    rates->memory = 12;
    return 0;
}
NVML_EXPORT int nvmlDeviceGetClockInfo(void *, int type, unsigned int *mhz)
{
    COUNTED;
    *mhz = type == 0 ? 2505 : 10501;
    return 0;
}
NVML_EXPORT int nvmlDeviceGetPowerUsage(void *device, unsigned int *milliwatts)
{
    COUNTED;
    *milliwatts = 123456 + 1000 * static_cast<unsigned int>(static_cast<int *>(device) - devices);
    return 0;
}
NVML_EXPORT int nvmlDeviceGetFanSpeed(void *, unsigned int *percent)
{
    COUNTED;
    *percent = 40;
    return 0;
}
NVML_EXPORT int nvmlDeviceGetFanSpeedRPM(void *, FanSpeedInfo *info)
{
    COUNTED;
    if ((info->version >> 24) != 1 || (info->version & 0xffffff) != sizeof(FanSpeedInfo))
        return 3; // NVML_ERROR_INVALID_ARGUMENT
    info->speed = 1500;
    return 0;
}
