// One polling pass over our hwsensors.dll as the program makes it: per sensor a prepare, the
// name and 512 readings of five kinds. Reports wall and CPU time per pass through the DLL,
// and the heap allocations per pass of the same code linked in here, where operator new can
// be counted.
#include "HwSensors.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

namespace {

std::atomic<long long> allocations{0};

struct Api
{
    int(__cdecl *init)(int);
    int(__cdecl *uninit)();
    int(__cdecl *count)();
    int(__cdecl *prepare)(int);
    int(__cdecl *name)(int, char *, int);
    double(__cdecl *temperature)(int, int, char *, int);
    int(__cdecl *fan)(int, int, char *, int);
    double(__cdecl *power)(int, int, char *, int);
    double(__cdecl *clock)(int, int, char *, int);
    double(__cdecl *usage)(int, int, char *, int);
};

template <typename Fn> void take(HMODULE module, int ordinal, Fn &out)
{
    out = reinterpret_cast<Fn>(
        reinterpret_cast<void *>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

double pass(const Api &api)
{
    char buffer[256];
    double sum = 0;
    const int sensors = api.count();
    for (int s = 0; s < sensors; ++s) {
        api.prepare(s);
        api.name(s, buffer, 256);
        for (int r = 0; r < 512; ++r) {
            buffer[0] = '\0';
            sum += api.temperature(s, r, buffer, 256);
            buffer[0] = '\0';
            sum += api.fan(s, r, buffer, 256);
            buffer[0] = '\0';
            sum += api.power(s, r, buffer, 256);
            buffer[0] = '\0';
            sum += api.clock(s, r, buffer, 256);
            buffer[0] = '\0';
            sum += api.usage(s, r, buffer, 256);
        }
    }
    return sum;
}

double threadCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME &t) {
        return uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime;
    };
    return double(ticks(kernel) + ticks(user)) * 1e-7;
}

void measure(const char *label, const Api &api, int passes, bool countsAllocations)
{
    using Clock = std::chrono::steady_clock;
    const long long allocatedAtStart = allocations.load();
    if (api.init(64) != 0) {
        std::printf("%s: init failed\n", label);
        return;
    }
    const int sensors = api.count();
    pass(api); // warm up, as the program's first detailed pass
    const long long allocatedBefore = allocations.load();
    const double cpuBefore = threadCpuSeconds();
    const Clock::time_point start = Clock::now();
    double sink = 0;
    for (int i = 0; i < passes; ++i)
        sink += pass(api);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = threadCpuSeconds() - cpuBefore;
    const long long allocated = allocations.load() - allocatedBefore;
    std::printf("%s: %d sensors, %d passes: wall %.3f ms/pass, CPU %.3f ms/pass", label, sensors,
                passes, wall * 1e3 / passes, cpu * 1e3 / passes);
    // The DLL has its own operator new, out of reach of the one counted here.
    if (countsAllocations)
        std::printf(", %.2f allocations/pass (%lld at start)", double(allocated) / passes,
                    allocatedBefore - allocatedAtStart);
    std::printf(" (sum of values %.0f)\n", sink);
    api.uninit();
}

} // namespace

void *operator new(size_t size)
{
    ++allocations;
    if (void *p = std::malloc(size ? size : 1))
        return p;
    std::abort();
}

void operator delete(void *p) noexcept
{
    std::free(p);
}

void operator delete(void *p, size_t) noexcept
{
    std::free(p);
}

int main(int argc, char **argv)
{
    const int passes = argc > 1 ? std::atoi(argv[1]) : 1000;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dll(path);
    dll = dll.substr(0, dll.find_last_of(L"\\/")) + L"\\hwsensors.dll";
    const HMODULE module = LoadLibraryW(dll.c_str());
    if (!module) {
        std::printf("hwsensors.dll not found beside the benchmark\n");
        return 1;
    }
    Api viaDll{};
    take(module, 411, viaDll.init);
    take(module, 198, viaDll.uninit);
    take(module, 623, viaDll.count);
    take(module, 560, viaDll.prepare);
    take(module, 476, viaDll.name);
    take(module, 606, viaDll.temperature);
    take(module, 734, viaDll.fan);
    take(module, 183, viaDll.power);
    take(module, 629, viaDll.clock);
    take(module, 943, viaDll.usage);
    measure("hwsensors.dll", viaDll, passes, false);

    const Api linked{sdkInit,          sdkUninit,         sdkGetSensorCount, sdkPrepareSensor,
                     sdkGetSensorName, sdkGetTemperature, sdkGetFanSpeed,    sdkGetPower,
                     sdkGetClock,      sdkGetUsage};
    measure("linked in", linked, passes, true);
    return 0;
}
