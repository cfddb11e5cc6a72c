// The Windows sensor sources on fake pdh.dll, kernel32 and powrprof tables: what each source
// publishes, rate counters empty until their second sample, and the PDH array call never made
// where wine's would abort the process.
#include "Pdh.h"
#include "WindowsBuilders.h"
#include "winTestMain.h"

#include <pdhmsg.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace hwsensors;

namespace {

// ---- a scripted pdh.dll ----

struct Series
{
    std::wstring path;
    bool rate = false; // no value before the second collection
    double value = 0;
    std::vector<std::pair<std::wstring, double>> instances;
};

struct FakePdhState
{
    std::vector<Series> series;
    bool collectFails = false;
    bool lastCollectFailed = true;
    int collects = 0;
    int arrayCalls = 0;
    int unsafeArrayCalls = 0; // made after a failed collection: wine would abort here
    int openQueries = 0;
    int growBy = 0;      // instances that appear between the size query and the read
    int sizeQueries = 0; // calls with size 0 and no buffer
    void (*onCollect)(FakePdhState &) = nullptr;
};
FakePdhState fake;

Series *seriesOf(PDH_HCOUNTER counter)
{
    const size_t index = reinterpret_cast<size_t>(counter);
    return index >= 1 && index <= fake.series.size() ? &fake.series[index - 1] : nullptr;
}

PDH_STATUS WINAPI fakeOpen(LPCWSTR, DWORD_PTR, PDH_HQUERY *query)
{
    ++fake.openQueries;
    *query = reinterpret_cast<PDH_HQUERY>(size_t(0x100));
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI fakeAdd(PDH_HQUERY, LPCWSTR path, DWORD_PTR, PDH_HCOUNTER *counter)
{
    for (size_t i = 0; i < fake.series.size(); ++i) {
        if (fake.series[i].path == path) {
            *counter = reinterpret_cast<PDH_HCOUNTER>(i + 1);
            return ERROR_SUCCESS;
        }
    }
    return PDH_STATUS(PDH_CSTATUS_NO_COUNTER);
}

PDH_STATUS WINAPI fakeCollect(PDH_HQUERY)
{
    fake.lastCollectFailed = fake.collectFails;
    if (fake.collectFails)
        return PDH_STATUS(PDH_NO_DATA);
    ++fake.collects;
    if (fake.onCollect)
        fake.onCollect(fake);
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI fakeValue(PDH_HCOUNTER counter, DWORD, LPDWORD, PPDH_FMT_COUNTERVALUE value)
{
    const Series *series = seriesOf(counter);
    if (!series || (series->rate && fake.collects < 2)) {
        value->CStatus = PDH_CSTATUS_INVALID_DATA;
        return PDH_STATUS(PDH_INVALID_DATA);
    }
    value->CStatus = PDH_CSTATUS_VALID_DATA;
    value->doubleValue = series->value;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI fakeArray(PDH_HCOUNTER counter, DWORD, LPDWORD bytes, LPDWORD count,
                            PPDH_FMT_COUNTERVALUE_ITEM_W items)
{
    ++fake.arrayCalls;
    if (fake.lastCollectFailed)
        ++fake.unsafeArrayCalls;
    Series *series = seriesOf(counter);
    if (!series)
        return PDH_STATUS(PDH_INVALID_HANDLE);
    size_t need = series->instances.size() * sizeof(PDH_FMT_COUNTERVALUE_ITEM_W);
    for (const auto &instance : series->instances)
        need += (instance.first.size() + 1) * sizeof(wchar_t);
    if (!items && *bytes == 0) {
        *bytes = DWORD(need);
        ++fake.sizeQueries;
        // The set grows before the caller asks again, as GPU engines come and go.
        for (int i = 0; i < fake.growBy; ++i)
            series->instances.push_back({L"late" + std::to_wstring(i), 1});
        fake.growBy = 0;
        return PDH_STATUS(PDH_MORE_DATA);
    }
    // As Microsoft documents it may: a too-small non-zero size is an invalid argument, with
    // no size given back.
    if (!items || *bytes < need)
        return PDH_STATUS(PDH_INVALID_ARGUMENT);
    auto *names = reinterpret_cast<wchar_t *>(items + series->instances.size());
    for (size_t i = 0; i < series->instances.size(); ++i) {
        const std::wstring &name = series->instances[i].first;
        std::memcpy(names, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
        items[i].szName = names;
        items[i].FmtValue.CStatus = PDH_CSTATUS_VALID_DATA;
        items[i].FmtValue.doubleValue = series->instances[i].second;
        names += name.size() + 1;
    }
    *count = DWORD(series->instances.size());
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI fakeClose(PDH_HQUERY)
{
    return ERROR_SUCCESS;
}

const PdhFunctions kFakePdh = {fakeOpen, fakeAdd, fakeCollect, fakeValue, fakeArray, fakeClose};

void resetPdh()
{
    fake = FakePdhState{};
}

// ---- scripted kernel32 and powrprof ----

uint64_t timesIdle = 0, timesKernel = 0, timesUser = 0;
std::vector<unsigned char> firmwareTable;

void fill(FILETIME *time, uint64_t ticks)
{
    time->dwLowDateTime = DWORD(ticks);
    time->dwHighDateTime = DWORD(ticks >> 32);
}

// Every call: 1000 ticks of kernel and user time, of which 250 idle.
BOOL WINAPI fakeSystemTimes(FILETIME *idle, FILETIME *kernel, FILETIME *user)
{
    timesIdle += 250;
    timesKernel += 600;
    timesUser += 400;
    fill(idle, timesIdle);
    fill(kernel, timesKernel);
    fill(user, timesUser);
    return TRUE;
}

LONG WINAPI fakePowerInformation(POWER_INFORMATION_LEVEL level, void *, ULONG, void *output,
                                 ULONG bytes)
{
    if (level != ProcessorInformation || bytes < 2 * sizeof(ProcessorPowerInformation))
        return LONG(0xC0000023); // STATUS_BUFFER_TOO_SMALL
    auto *records = static_cast<ProcessorPowerInformation *>(output);
    records[0] = ProcessorPowerInformation{0, 2900, 2900, 2900, 1, 0};
    return 0;
}

DWORD WINAPI fakeProcessorCount(WORD)
{
    return 2;
}

UINT WINAPI fakeFirmwareTable(DWORD provider, DWORD, void *buffer, DWORD bytes)
{
    if (provider != 0x52534D42)
        return 0;
    if (buffer && bytes >= firmwareTable.size())
        std::memcpy(buffer, firmwareTable.data(), firmwareTable.size());
    return UINT(firmwareTable.size());
}

SystemFunctions fakeSystem()
{
    SystemFunctions f;
    f.getSystemTimes = fakeSystemTimes;
    f.callNtPowerInformation = fakePowerInformation;
    f.activeProcessorCount = fakeProcessorCount;
    f.getSystemFirmwareTable = fakeFirmwareTable;
    return f;
}

// ---- helpers ----

const Reading *find(const Sensor &sensor, Kind kind, const char *name)
{
    for (const Reading &reading : sensor.readings[kind])
        if (reading.name == name)
            return &reading;
    return nullptr;
}

bool sampled(const Reading *reading, double &value)
{
    return reading && reading->sample(value);
}

bool closeTo(double a, double b)
{
    return std::fabs(a - b) < 1e-6;
}

const wchar_t *const kPerformance = L"\\Processor Information(_Total)\\% Processor Performance";
const wchar_t *const kFrequency = L"\\Processor Information(_Total)\\Processor Frequency";
const wchar_t *const kEnergy = L"\\Energy Meter(*)\\Energy";
const wchar_t *const kZones = L"\\Thermal Zone Information(*)\\High Precision Temperature";

// 1 J per collection on the package, far more on the core channel it already contains.
constexpr double kPackageStepPwh = 1e12 / 3600;
void advanceEnergy(FakePdhState &state)
{
    for (Series &series : state.series) {
        for (auto &instance : series.instances)
            instance.second +=
                instance.first == L"rapl_package0_pkg" ? kPackageStepPwh : 1000 * kPackageStepPwh;
    }
}

// ---- the cases ----

void pdhQueryRules()
{
    resetPdh();
    fake.series = {{kPerformance, true, 150, {}}, {kEnergy, false, 0, {{L"a", 1}, {L"b", 2}}}};
    Pdh pdh(kFakePdh);
    PdhQuery query(pdh);
    WCHECK(query.isOpen());
    WCHECK(query.addCounter(L"\\No Such(*)\\Counter") == -1);
    const int performance = query.addCounter(kPerformance);
    const int energy = query.addCounter(kEnergy);
    WCHECK(performance == 0 && energy == 1);
    double value = -1;
    std::vector<PdhInstance> instances;
    // Nothing is read before a collection succeeded.
    WCHECK(!query.value(performance, value));
    WCHECK(!query.instances(energy, instances) && instances.empty());
    WCHECK(fake.arrayCalls == 0);
    WCHECK(query.collect());
    WCHECK(!query.value(performance, value)); // the first sample of a rate counter
    WCHECK(query.collect());
    WCHECK(query.value(performance, value) && value == 150);
    WCHECK(query.instances(energy, instances) && instances.size() == 2);
    WCHECK(!query.value(-1, value) && !query.value(2, value));
    WCHECK(!query.instances(-1, instances) && !query.instances(7, instances));
    // Instances appearing between the size query and the read.
    fake.growBy = 3;
    PdhQuery grown(pdh);
    const int grownEnergy = grown.addCounter(kEnergy);
    WCHECK(grown.collect());
    WCHECK(grown.instances(grownEnergy, instances) && instances.size() == 5);
    WCHECK(instances.size() == 5 && std::wcscmp(instances[4].name, L"late2") == 0);
    // More instances by the next pass (a program started using the GPU): the buffer of the
    // last read is too small now, and the values must not vanish for good.
    fake.series[1].instances.push_back({L"c", 3});
    fake.series[1].instances.push_back({L"d", 4});
    WCHECK(query.collect());
    const int sizeQueriesBefore = fake.sizeQueries;
    WCHECK(query.instances(energy, instances) && instances.size() == 7);
    WCHECK(query.collect());
    WCHECK(query.instances(energy, instances) && instances.size() == 7);
    WCHECK(fake.sizeQueries == sizeQueriesBefore + 2); // every read asks the size first
    // A failed collection: no value, and no array call.
    fake.collectFails = true;
    const int before = fake.arrayCalls;
    WCHECK(!query.collect());
    WCHECK(!query.value(performance, value));
    WCHECK(!query.instances(energy, instances));
    WCHECK(fake.arrayCalls == before);
}

void cpuOnWineLikePdh()
{
    resetPdh(); // no counters at all, as under wine
    Pdh pdh(kFakePdh);
    const Sensor cpu = buildCpuSensor(fakeSystem(), &pdh);
    WCHECK(cpu.name == "CPU");
    double value = -1;
    // The first sample was taken at build time: the first read already has a value.
    Sensor copy = cpu;
    copy.prepare();
    WCHECK(sampled(find(copy, Usage, "Total CPU Usage"), value) && closeTo(value, 75));
    WCHECK(sampled(find(copy, Clock, "Core 0 Clock"), value) && value == 2900);
    WCHECK(copy.readings[Power].empty());
    WCHECK(fake.arrayCalls == 0);
    WCHECK(buildThermalZoneSensor(&pdh).empty());
    // No pdh.dll at all.
    const Sensor noPdh = buildCpuSensor(fakeSystem(), nullptr);
    WCHECK(find(noPdh, Usage, "Total CPU Usage") && find(noPdh, Clock, "Core 0 Clock"));
    WCHECK(buildThermalZoneSensor(nullptr).empty());
    // Nothing to read at all.
    WCHECK(buildCpuSensor(SystemFunctions{}, nullptr).empty());
}

void cpuOnFullPdh()
{
    resetPdh();
    fake.series = {
        {kPerformance, true, 150, {}},
        {kFrequency, false, 2000, {}},
        {kEnergy, false, 0, {{L"rapl_package0_core0_core", 5e12}, {L"rapl_package0_pkg", 9e12}}}};
    fake.onCollect = advanceEnergy;
    Pdh pdh(kFakePdh);
    Sensor cpu = buildCpuSensor(fakeSystem(), &pdh);
    WCHECK(fake.collects == 1); // the first sample, at build time
    const Reading *clock = find(cpu, Clock, "Core 0 Clock");
    const Reading *power = find(cpu, Power, "CPU Package Power");
    double value = -1;
    WCHECK(clock && power);
    Sleep(200);
    cpu.prepare();
    WCHECK(sampled(clock, value) && closeTo(value, 3000));
    // 1 J over the 0.2 s or so since the first sample; the core channel left out.
    WCHECK(sampled(power, value) && value > 0.05 && value < 6);
    std::printf("  package power from 1 J: %.2f W\n", value);
    // The machine stops answering: the rates are empty, not stale, and no array call.
    fake.collectFails = true;
    cpu.prepare();
    WCHECK(!sampled(clock, value) && !sampled(power, value));
    WCHECK(fake.unsafeArrayCalls == 0);
    fake.collectFails = false;
    cpu.prepare();
    WCHECK(sampled(clock, value));
}

void energyWithoutPackageChannel()
{
    resetPdh();
    fake.series = {{kEnergy, false, 0, {{L"rapl_package0_pp0", 1e12}, {L"", 0}}}};
    Pdh pdh(kFakePdh);
    const Sensor cpu = buildCpuSensor(fakeSystem(), &pdh);
    WCHECK(cpu.readings[Power].empty());
}

void thermalZones()
{
    resetPdh();
    fake.series = {{kZones, false, 0, {{L"\\_TZ.TZ00", 3010}, {L"CPU", 3131.5}}}};
    Pdh pdh(kFakePdh);
    Sensor zones = buildThermalZoneSensor(&pdh);
    WCHECK(zones.name == "ACPI Thermal Zones");
    WCHECK(zones.readings[Temperature].size() == 2);
    const Reading *first = find(zones, Temperature, "\\_TZ.TZ00");
    const Reading *second = find(zones, Temperature, "Thermal Zone CPU");
    double value = -1;
    zones.prepare();
    WCHECK(sampled(first, value) && closeTo(value, 27.85));
    WCHECK(sampled(second, value) && closeTo(value, 40));
    // A zone that stops reporting reads empty; the other keeps its value.
    fake.series[0].instances.pop_back();
    zones.prepare();
    WCHECK(!sampled(second, value));
    WCHECK(sampled(first, value) && closeTo(value, 27.85));
    WCHECK(fake.unsafeArrayCalls == 0);
}

void memoryClock()
{
    // RawSMBIOSData header, one DDR4-3200 module running at 3200 MT/s, end of table.
    std::vector<unsigned char> table(0x28, 0);
    table[0] = 17;
    table[1] = 0x28;
    table[0x0D] = 0x20; // 8 GiB
    table[0x15] = 0x80;
    table[0x16] = 0x0C; // 3200
    table[0x20] = 0x80;
    table[0x21] = 0x0C;
    const unsigned char tail[] = {0, 0, 127, 4, 0, 0, 0, 0};
    table.insert(table.end(), tail, tail + sizeof tail);
    const uint32_t length = uint32_t(table.size());
    firmwareTable = {0, 3, 3, 0, (unsigned char)length, (unsigned char)(length >> 8), 0, 0};
    firmwareTable.insert(firmwareTable.end(), table.begin(), table.end());
    Sensor memory = buildMemorySensor(fakeSystem());
    double value = -1;
    memory.prepare();
    WCHECK(sampled(find(memory, Clock, "Memory Clock"), value) && value == 1600);
    firmwareTable.clear();
    WCHECK(buildMemorySensor(fakeSystem()).empty());
    WCHECK(buildMemorySensor(SystemFunctions{}).empty());
}

} // namespace

int main()
{
    pdhQueryRules();
    cpuOnWineLikePdh();
    cpuOnFullPdh();
    energyWithoutPackageChannel();
    thermalZones();
    memoryClock();
    return wintestSummary("tst_hwsensorsSources");
}
