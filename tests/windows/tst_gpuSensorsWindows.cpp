// The Windows library's GPU sensors as the cross-compiled build runs them. Wine's gdi32 lacks
// the kernel thunks and wine knows no GPU engine counters, so the real entry point must find
// no GPU without failing; the fake thunk table then stands in for a driver.
#include "../sensors/support/FakeThunks.h"
#include "DevicePower.h"
#include "GpuAdapters.h"
#include "GpuSensorsWindows.h"
#include "NvmlLocation.h"
#include "winTestMain.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <windows.h>

using namespace fakethunks;

namespace {

void realThunksUnderWine()
{
    const HMODULE gdi32 = LoadLibraryW(L"gdi32.dll");
    WCHECK(gdi32 != nullptr);
    const bool hasThunks = GetProcAddress(gdi32, "D3DKMTEnumAdapters2") != nullptr;
    const std::unique_ptr<Pdh> pdh = Pdh::load();
    for (const Pdh *withPdh :
         {static_cast<const Pdh *>(pdh.get()), static_cast<const Pdh *>(nullptr)}) {
        std::vector<Sensor> gpus = buildGpuSensors(nullptr, withPdh);
        if (!hasThunks)
            WCHECK(gpus.empty());
        for (Sensor &gpu : gpus)
            gpu.prepare(); // whatever wine offers, reading it must not fail
    }
}

// The cross-compiled calls through the table, with this target's structure layouts.
void fakeThunks()
{
    FakeThunks thunks;
    fake = &thunks;
    thunks.adapters = {basicRenderDriver(), discreteCard()};
    {
        std::vector<Sensor> gpus = buildAdapterSensors(&fakeFunctions, {}, nullptr);
        WCHECK(thunks.closed.size() == 1); // the software adapter
        WCHECK(gpus.size() == 1);
        if (gpus.size() != 1)
            return;
        Sensor &gpu = gpus[0];
        WCHECK(gpu.name == "GPU [#0]: NVIDIA GeForce RTX 3080");
        thunks.adapters[1].perf.temperature = 612;
        gpu.prepare();
        WCHECK(valueOf(gpu, Temperature, "GPU Temperature") == 61.2);
        WCHECK(valueOf(gpu, Fan, "GPU Fan1") == 1200);
        WCHECK(valueOf(gpu, Clock, "GPU Clock") == 1905);
        WCHECK(valueOf(gpu, Clock, "GPU Memory Clock") == 9501);
        WCHECK(gpu.readings[Power].empty());
        WCHECK(gpu.readings[Usage].empty()); // no engine counters
    }
    WCHECK(thunks.closed.size() == 2);
    fake = nullptr;
}

// ---- a fake configuration manager: display devices with a bus, an address and a state ----

struct FakeDevice
{
    std::wstring id;
    uint32_t bus = 0;
    uint32_t address = 0;    // (device << 16) | function
    uint32_t powerState = 1; // PowerDeviceD0
    bool powerReadable = true;
};
std::vector<FakeDevice> devices;
int powerReads = 0; // of the power data property: no device I/O

CONFIGRET WINAPI fakeListSize(PULONG length, PCWSTR, ULONG)
{
    *length = 1;
    for (const FakeDevice &d : devices)
        *length += ULONG(d.id.size() + 1);
    return CR_SUCCESS;
}

CONFIGRET WINAPI fakeList(PCWSTR, PZZWSTR buffer, ULONG length, ULONG)
{
    std::wstring all;
    for (const FakeDevice &d : devices)
        all += d.id + L'\0';
    all += L'\0';
    if (all.size() > length)
        return CR_BUFFER_SMALL;
    std::copy(all.begin(), all.end(), buffer);
    return CR_SUCCESS;
}

CONFIGRET WINAPI fakeLocate(PDEVINST node, DEVINSTID_W id, ULONG)
{
    for (size_t i = 0; i < devices.size(); ++i)
        if (devices[i].id == id) {
            *node = DEVINST(i + 1);
            return CR_SUCCESS;
        }
    return CR_NO_SUCH_DEVNODE;
}

CONFIGRET WINAPI fakeProperty(DEVINST node, const DEVPROPKEY *key, DEVPROPTYPE *type, PBYTE buffer,
                              PULONG size, ULONG)
{
    if (node == 0 || node > devices.size())
        return CR_NO_SUCH_DEVNODE;
    const FakeDevice &d = devices[node - 1];
    auto give = [&](const void *data, ULONG bytes, DEVPROPTYPE kind) {
        if (*size < bytes)
            return CR_BUFFER_SMALL;
        std::memcpy(buffer, data, bytes);
        *size = bytes;
        *type = kind;
        return CR_SUCCESS;
    };
    switch (key->pid) {
    case 23:
        return give(&d.bus, 4, DEVPROP_TYPE_UINT32);
    case 30:
        return give(&d.address, 4, DEVPROP_TYPE_UINT32);
    case 32: {
        ++powerReads;
        if (!d.powerReadable)
            return CR_NO_SUCH_VALUE;
        CM_POWER_DATA data{};
        data.PD_Size = sizeof(data);
        data.PD_MostRecentPowerState = DEVICE_POWER_STATE(d.powerState);
        return give(&data, sizeof(data), DEVPROP_TYPE_BINARY);
    }
    }
    return CR_NO_SUCH_VALUE;
}

CfgMgrFunctions fakeCfgMgr()
{
    CfgMgrFunctions f;
    f.getDeviceIdListSize = fakeListSize;
    f.getDeviceIdList = fakeList;
    f.locateDevNode = fakeLocate;
    f.getDevNodeProperty = fakeProperty;
    return f;
}

int deviceQueries(const FakeThunks &thunks)
{
    return thunks.perfQueries + thunks.nodeQueries;
}

// A sleeping adapter is never queried; its readings keep their names and have no value.
void sleepingAdapterIsSkipped()
{
    FakeThunks thunks;
    fake = &thunks;
    thunks.adapters = {discreteCard()};
    devices = {{L"PCI\\VEN_8086&DEV_4680\\3&0", 0, 0x20000, 1, true},
               {L"PCI\\VEN_10DE&DEV_2206\\4&1", 1, 0x00000, 4, true}}; // the card, in D3
    {
        std::vector<Sensor> gpus =
            buildAdapterSensors(&fakeFunctions, {}, nullptr, displayPowerLookup(fakeCfgMgr()));
        WCHECK(gpus.size() == 1);
        if (gpus.size() != 1)
            return;
        Sensor &gpu = gpus[0];
        WCHECK(deviceQueries(thunks) == 0); // not even asked what it offers
        WCHECK(findReading(gpu, Temperature, "GPU Temperature") != nullptr);
        WCHECK(findReading(gpu, Clock, "GPU Clock") != nullptr);
        for (int pass = 0; pass < 3600; ++pass) // an hour of passes
            gpu.prepare();
        std::printf("adapter in D3 for an hour: %d D3DKMT queries, %d power state reads\n",
                    deviceQueries(thunks), powerReads);
        WCHECK(deviceQueries(thunks) == 0);
        WCHECK(valueOf(gpu, Temperature, "GPU Temperature") == 0);
        devices[1].powerState = 1; // D0: read again
        gpu.prepare();
        WCHECK(deviceQueries(thunks) == 2);
        WCHECK(valueOf(gpu, Temperature, "GPU Temperature") == 65.3);
        WCHECK(valueOf(gpu, Clock, "GPU Clock") == 1905);
        devices[1].powerState = 2; // D1 is asleep too
        gpu.prepare();
        WCHECK(deviceQueries(thunks) == 2 && valueOf(gpu, Clock, "GPU Clock") == 0);
        devices[1].powerReadable = false; // unknown: taken as awake
        gpu.prepare();
        WCHECK(deviceQueries(thunks) == 4);
    }
    // Without the configuration manager every adapter is read.
    thunks.perfQueries = thunks.nodeQueries = 0;
    {
        std::vector<Sensor> gpus =
            buildAdapterSensors(&fakeFunctions, {}, nullptr, displayPowerLookup(CfgMgrFunctions()));
        WCHECK(gpus.size() == 1 && deviceQueries(thunks) > 0);
    }
    fake = nullptr;
}

// ---- NVIDIA's library: the Linux tests' double as fake-nvml.dll, every call logged ----

const char *const kNvmlCallLog = "fake-nvml-calls.txt";
int nvmlOpens = 0; // times the sensors asked for the library, installed or not

std::vector<std::string> nvmlCalls()
{
    std::vector<std::string> calls;
    std::ifstream log(kNvmlCallLog);
    for (std::string line; std::getline(log, line);)
        calls.push_back(line);
    return calls;
}

int callsOf(const char *name)
{
    const std::vector<std::string> calls = nvmlCalls();
    return int(std::count(calls.begin(), calls.end(), std::string(name)));
}

bool nvmlLoaded()
{
    return GetModuleHandleW(L"fake-nvml.dll") != nullptr;
}

NvmlSession::Opener fakeNvml(bool installed)
{
    return [installed] {
        ++nvmlOpens;
        return installed ? Nvml::open(LoadLibraryW(L"fake-nvml.dll")) : nullptr;
    };
}

void startNvmlLog(size_t gpus)
{
    std::remove(kNvmlCallLog);
    nvmlOpens = 0;
    _putenv((std::string("FAKE_NVML_CALLS=") + kNvmlCallLog).c_str());
    _putenv(("FAKE_NVML_GPUS=" + std::to_string(gpus)).c_str());
}

// An NVIDIA card on a bus of its own, and its display device in the configuration manager.
FakeAdapter nvidiaCard(uint32_t bus)
{
    FakeAdapter card = discreteCard();
    card.handle = 0x40000000 + 0x100 * bus;
    card.luidLow = 0xD1F2 + bus;
    card.bus = bus;
    return card;
}

FakeDevice nvidiaDevice(uint32_t bus, uint32_t powerState)
{
    return {L"PCI\\VEN_10DE&DEV_2206\\4&" + std::to_wstring(bus), bus, 0, powerState, true};
}

constexpr uint32_t kD0 = 1;
constexpr uint32_t kD3 = 4;

struct PowerStep
{
    std::vector<uint32_t> states; // of the NVIDIA GPUs at bus 1, 2, …
    int opens;                    // times NVML was opened so far
    int shutdowns;                // nvmlShutdown calls so far
    std::vector<double> watts;    // "GPU Power (Total)" of the first sensors; 0: no value
};

struct PowerScript
{
    const char *name;
    bool nvidiaAdapters; // else NVML's own GPUs, beside an Intel adapter
    bool installed;      // NVIDIA's library
    std::vector<PowerStep> steps;
};

// Sixty passes a step. While every NVIDIA GPU sleeps the only NVML call is one shutdown.
void runPowerScript(const PowerScript &script)
{
    const int failuresBefore = wintest::failures;
    const size_t gpus = script.steps[0].states.size();
    FakeThunks thunks;
    fake = &thunks;
    thunks.adapters = {integratedIntel()};
    if (script.nvidiaAdapters)
        thunks.adapters.clear();
    devices.clear();
    for (uint32_t bus = 1; bus <= gpus; ++bus) {
        if (script.nvidiaAdapters)
            thunks.adapters.push_back(nvidiaCard(bus));
        devices.push_back(nvidiaDevice(bus, script.steps[0].states[bus - 1]));
    }
    startNvmlLog(gpus);
    {
        std::vector<Sensor> sensors = buildAdapterSensors(
            &fakeFunctions, {}, fakeNvml(script.installed), displayPowerLookup(fakeCfgMgr()));
        size_t callsBefore = 0; // building counts as the first step's
        for (size_t s = 0; s < script.steps.size(); ++s) {
            const PowerStep &step = script.steps[s];
            for (size_t g = 0; g < gpus; ++g)
                devices[g].powerState = step.states[g];
            const int shutdownsBefore = s == 0 ? 0 : script.steps[s - 1].shutdowns;
            for (int pass = 0; pass < 60; ++pass)
                for (Sensor &sensor : sensors)
                    sensor.prepare();
            const size_t calls = nvmlCalls().size();
            WCHECK(nvmlOpens == step.opens);
            WCHECK(callsOf("nvmlInit_v2") == (script.installed ? step.opens : 0));
            WCHECK(callsOf("nvmlShutdown") == step.shutdowns);
            WCHECK(nvmlLoaded() == (script.installed && step.opens > step.shutdowns));
            if (std::count(step.states.begin(), step.states.end(), kD0) == 0)
                WCHECK(calls - callsBefore == size_t(step.shutdowns - shutdownsBefore));
            callsBefore = calls;
            WCHECK(sensors.size() >= step.watts.size());
            for (size_t i = 0; i < step.watts.size() && i < sensors.size(); ++i) {
                WCHECK(findReading(sensors[i], Usage, "GPU Cooler Duty") != nullptr);
                WCHECK(valueOf(sensors[i], Power, "GPU Power (Total)") == step.watts[i]);
            }
            if (wintest::failures != failuresBefore) {
                std::printf("  in \"%s\", step %zu\n", script.name, s);
                break;
            }
        }
    }
    WCHECK(callsOf("nvmlInit_v2") == callsOf("nvmlShutdown")); // shut with the sensors
    WCHECK(!nvmlLoaded());
    fake = nullptr;
}

void nvmlFollowsTheAdapters()
{
    const PowerScript scripts[] = {
        {"awake, asleep, awake",
         true,
         true,
         {{{kD0}, 1, 0, {123.456}}, {{kD3}, 1, 1, {0}}, {{kD0}, 2, 1, {123.456}}}},
        {"asleep at the start: names without NVML",
         true,
         true,
         {{{kD3}, 0, 0, {0}}, {{kD0}, 1, 0, {123.456}}, {{kD3}, 1, 1, {0}}}},
        {"shut down after the last NVIDIA adapter sleeps",
         true,
         true,
         {{{kD0, kD0}, 1, 0, {123.456, 124.456}},
          {{kD3, kD0}, 1, 0, {0, 124.456}},
          {{kD3, kD3}, 1, 1, {0, 0}},
          {{kD0, kD3}, 2, 1, {123.456, 0}}}},
        {"without an NVIDIA adapter, NVML's own GPUs",
         false,
         true,
         {{{kD0, kD0}, 1, 0, {123.456, 124.456}},
          {{kD3, kD3}, 1, 1, {0, 0}},
          {{kD3, kD0}, 2, 1, {0, 124.456}}}},
        {"not installed: looked for once per wake, not every pass",
         true,
         false,
         {{{kD3}, 0, 0, {0}}, {{kD0}, 1, 0, {0}}, {{kD3}, 1, 0, {0}}, {{kD0}, 2, 0, {0}}}},
    };
    for (const PowerScript &script : scripts)
        runPowerScript(script);
}

// ---- a fake file system for the NVML search ----

std::set<std::wstring> files;
std::vector<std::wstring> tried;
const wchar_t *const programW6432 = L"C:\\Program Files";

// As kernel32 answers: the length written, or the size needed when the buffer is too small.
DWORD copyOut(const std::wstring &value, LPWSTR buffer, DWORD size)
{
    if (size <= value.size())
        return DWORD(value.size() + 1);
    std::copy(value.begin(), value.end(), buffer);
    buffer[value.size()] = L'\0';
    return DWORD(value.size());
}

UINT WINAPI fakeSystemDirectory(LPWSTR buffer, UINT size)
{
    return UINT(copyOut(L"C:\\Windows\\system32", buffer, size));
}

DWORD WINAPI fakeEnvironment(LPCWSTR name, LPWSTR buffer, DWORD size)
{
    return std::wstring(name) == L"ProgramW6432" ? copyOut(programW6432, buffer, size) : 0;
}

HMODULE WINAPI fakeLoad(LPCWSTR path, HANDLE, DWORD flags)
{
    tried.push_back(path);
    if (!files.count(path) || !(flags & LOAD_WITH_ALTERED_SEARCH_PATH))
        return nullptr;
    return reinterpret_cast<HMODULE>(size_t(0x1000) * tried.size());
}

void nvmlLookedForByFullPath()
{
    NvmlLoaderFunctions f;
    f.getSystemDirectory = fakeSystemDirectory;
    f.getEnvironmentVariable = fakeEnvironment;
    f.loadLibraryEx = fakeLoad;
    const std::wstring system32 = L"C:\\Windows\\system32\\nvml.dll";
    const std::wstring nvsmi = L"C:\\Program Files\\NVIDIA Corporation\\NVSMI\\nvml.dll";
    // A DCH driver: System32.
    files = {system32, nvsmi};
    tried.clear();
    WCHECK(loadNvml(f) != nullptr && tried == std::vector<std::wstring>{system32});
    // A Standard driver: only in NVSMI.
    files = {nvsmi};
    tried.clear();
    WCHECK(loadNvml(f) != nullptr && tried.size() == 2 && tried[1] == nvsmi);
    // None: both full paths tried, never a bare name.
    files = {L"nvml.dll"};
    tried.clear();
    WCHECK(loadNvml(f) == nullptr && tried.size() == 2);
    for (const std::wstring &path : tried)
        WCHECK(path.find(L'\\') != std::wstring::npos);
    // A 32-bit process has no NVML at all.
    WCHECK(nvmlPaths(L"C:\\Windows\\SysWOW64", L"C:\\Program Files", false).empty());
}

} // namespace

int main()
{
    realThunksUnderWine();
    fakeThunks();
    sleepingAdapterIsSkipped();
    nvmlFollowsTheAdapters();
    nvmlLookedForByFullPath();
    return wintestSummary("tst_gpuSensorsWindows");
}
