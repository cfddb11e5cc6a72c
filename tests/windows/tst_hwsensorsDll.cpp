// Our hwsensors.dll under wine: its ten functions by ordinal and by name, the CPU usage that
// wine really reports, and nothing from the sources wine lacks.
#include "winTestMain.h"

#include <windows.h>

#include <chrono>
#include <cstring>
#include <string>

namespace {

using InitFn = int(__cdecl *)(int);
using VoidFn = int(__cdecl *)(void);
using SensorFn = int(__cdecl *)(int);
using NameFn = int(__cdecl *)(int, char *, int);
using ValueFn = double(__cdecl *)(int, int, char *, int);
using FanFn = int(__cdecl *)(int, int, char *, int);

struct Api
{
    InitFn init = nullptr;
    VoidFn uninit = nullptr;
    VoidFn count = nullptr;
    SensorFn prepare = nullptr;
    NameFn name = nullptr;
    ValueFn temperature = nullptr;
    FanFn fan = nullptr;
    ValueFn power = nullptr;
    ValueFn clock = nullptr;
    ValueFn usage = nullptr;
};

const char *const kNames[10] = {"sdkInit",          "sdkUninit",        "sdkGetSensorCount",
                                "sdkPrepareSensor", "sdkGetSensorName", "sdkGetTemperature",
                                "sdkGetFanSpeed",   "sdkGetPower",      "sdkGetClock",
                                "sdkGetUsage"};
const int kOrdinals[10] = {411, 198, 623, 560, 476, 606, 734, 183, 629, 943};

template <typename Fn> void take(FARPROC proc, Fn &out)
{
    out = reinterpret_cast<Fn>(reinterpret_cast<void *>(proc));
}

// Resolves the ten by ordinal, checking each name leads to the same function.
bool resolve(HMODULE module, Api &api)
{
    FARPROC procs[10];
    bool complete = true;
    for (int i = 0; i < 10; ++i) {
        procs[i] = GetProcAddress(module, MAKEINTRESOURCEA(kOrdinals[i]));
        const FARPROC byName = GetProcAddress(module, kNames[i]);
        WCHECK(procs[i] != nullptr);
        WCHECK(byName == procs[i]);
        complete = complete && procs[i];
    }
    take(procs[0], api.init);
    take(procs[1], api.uninit);
    take(procs[2], api.count);
    take(procs[3], api.prepare);
    take(procs[4], api.name);
    take(procs[5], api.temperature);
    take(procs[6], api.fan);
    take(procs[7], api.power);
    take(procs[8], api.clock);
    take(procs[9], api.usage);
    return complete;
}

std::wstring exeFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

// What one walk of every sensor found, as the polling thread walks them.
struct Pass
{
    int sensors = 0;
    int cpuSensor = -1;
    double totalCpuUsage = -1; // -1: no such reading
    int temperatures = 0, fans = 0, powers = 0, clocks = 0, usages = 0;
};

Pass walk(const Api &api)
{
    Pass pass;
    pass.sensors = api.count();
    char name[256];
    for (int s = 0; s < pass.sensors; ++s) {
        api.prepare(s);
        name[0] = '\0';
        api.name(s, name, 256);
        if (std::strcmp(name, "CPU") == 0 && pass.cpuSensor < 0)
            pass.cpuSensor = s;
        for (int r = 0; r < 512; ++r) {
            name[0] = '\0';
            api.temperature(s, r, name, 256);
            pass.temperatures += name[0] != '\0';
            name[0] = '\0';
            api.fan(s, r, name, 256);
            pass.fans += name[0] != '\0';
            name[0] = '\0';
            api.power(s, r, name, 256);
            pass.powers += name[0] != '\0';
            name[0] = '\0';
            const double clock = api.clock(s, r, name, 256);
            if (name[0])
                std::printf("  clock %s = %.1f\n", name, clock);
            pass.clocks += name[0] != '\0';
            name[0] = '\0';
            const double usage = api.usage(s, r, name, 256);
            pass.usages += name[0] != '\0';
            if (s == pass.cpuSensor && std::strcmp(name, "Total CPU Usage") == 0)
                pass.totalCpuUsage = usage;
        }
    }
    return pass;
}

void burnCpu(int milliseconds)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
    volatile unsigned long long sink = 0;
    while (Clock::now() < end) {
        for (int i = 0; i < 100000; ++i)
            sink = sink + i;
    }
}

void checkBadIndices(const Api &api)
{
    const int count = api.count();
    const int sensors[] = {-1, count, count + 1000, 0x7fffffff};
    const int readings[] = {-1, 512, 100000};
    char buffer[256];
    for (int s : sensors) {
        WCHECK(api.prepare(s) != 0);
        std::strcpy(buffer, "untouched");
        api.name(s, buffer, 256);
        WCHECK(std::strcmp(buffer, "untouched") == 0);
        for (int r : readings) {
            std::strcpy(buffer, "untouched");
            WCHECK(api.temperature(s, r, buffer, 256) == 0);
            WCHECK(api.fan(s, r, buffer, 256) == 0);
            WCHECK(api.power(s, r, buffer, 256) == 0);
            WCHECK(api.clock(s, r, buffer, 256) == 0);
            WCHECK(api.usage(s, r, buffer, 256) == 0);
            WCHECK(std::strcmp(buffer, "untouched") == 0);
        }
    }
    // A valid sensor, readings past its last one.
    for (int r : readings) {
        std::strcpy(buffer, "untouched");
        WCHECK(api.usage(0, r, buffer, 256) == 0);
        WCHECK(std::strcmp(buffer, "untouched") == 0);
    }
    // No buffer or no room: nothing written, nothing crashes.
    WCHECK(api.name(0, nullptr, 256) == 0);
    buffer[0] = 'x';
    api.usage(0, 0, buffer, 0);
    WCHECK(buffer[0] == 'x');
}

void checkWinePasses(const Api &api)
{
    WCHECK(api.init(64) == 0);
    const Pass first = walk(api);
    WCHECK(first.sensors >= 1);
    WCHECK(first.cpuSensor == 0); // the CPU comes first
    burnCpu(600);
    const Pass second = walk(api);
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const double oneBusyProcessor =
        100.0 / (info.dwNumberOfProcessors ? info.dwNumberOfProcessors : 1);
    std::printf("  Total CPU Usage after burning: %.1f %% (%lu processors)\n", second.totalCpuUsage,
                info.dwNumberOfProcessors);
    // One thread busy the whole time keeps at least one processor's share busy.
    WCHECK(second.totalCpuUsage >= oneBusyProcessor / 2);
    WCHECK(second.totalCpuUsage <= 100);
    // Wine has no energy meters, thermal zones or fan readings.
    WCHECK(second.powers == 0);
    WCHECK(second.temperatures == 0);
    WCHECK(second.fans == 0);
    WCHECK(second.usages == 1);
    checkBadIndices(api);
    WCHECK(api.uninit() == 0);
    WCHECK(api.count() == 0);
    char buffer[256] = "untouched";
    WCHECK(api.usage(0, 0, buffer, 256) == 0);
    WCHECK(std::strcmp(buffer, "untouched") == 0);
}

} // namespace

int main()
{
    const std::wstring path = exeFolder() + L"\\hwsensors.dll";
    const HMODULE module = LoadLibraryW(path.c_str());
    WCHECK(module != nullptr);
    Api api;
    if (!module || !resolve(module, api))
        return wintestSummary("tst_hwsensorsDll");
    checkWinePasses(api);
    // A second start after the first has ended finds the same sensors.
    checkWinePasses(api);
    return wintestSummary("tst_hwsensorsDll");
}
