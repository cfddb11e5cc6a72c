#include "WindowsBuilders.h"
#include "WindowsReadings.h"

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace hwsensors {

namespace {

using SteadyClock = std::chrono::steady_clock;

uint64_t ticks(const FILETIME &time)
{
    return uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

bool sampleSystemTimes(const SystemFunctions &system, SystemTimes &out)
{
    FILETIME idle{}, kernel{}, user{};
    if (!system.getSystemTimes || !system.getSystemTimes(&idle, &kernel, &user))
        return false;
    out = SystemTimes{ticks(idle), ticks(kernel), ticks(user)};
    return true;
}

// The first processor's maximum clock; 0 when the power information is unavailable.
double maxProcessorMhz(const SystemFunctions &system)
{
    if (!system.callNtPowerInformation)
        return 0;
    // The call wants a record for every processor; ask with more room if it was too small.
    DWORD count =
        system.activeProcessorCount ? system.activeProcessorCount(ALL_PROCESSOR_GROUPS) : 0;
    if (count == 0)
        count = 64;
    for (int attempt = 0; attempt < 3; ++attempt, count *= 4) {
        std::vector<ProcessorPowerInformation> records(count);
        const ULONG bytes = ULONG(records.size() * sizeof(ProcessorPowerInformation));
        if (system.callNtPowerInformation(ProcessorInformation, nullptr, 0, records.data(),
                                          bytes) == 0)
            return records[0].maxMhz;
    }
    return 0;
}

struct CpuState
{
    SystemFunctions system;
    SystemTimes lastTimes;
    double usage = 0;
    bool usageValid = false;

    std::unique_ptr<PdhQuery> query; // clock and energy counters, collected together
    int performance = -1;
    int frequency = -1;
    int energy = -1;
    double maxMhz = 0;

    uint64_t lastEnergy = 0;
    SteadyClock::time_point lastEnergyTime;
    double power = 0;
    bool powerValid = false;
    std::vector<PdhInstance> channels; // reused by every pass

    void refresh();
    bool packageEnergy(uint64_t &picowattHours);
    bool clock(double &mhz) const;
};

void CpuState::refresh()
{
    SystemTimes now;
    if (sampleSystemTimes(system, now)) {
        double percent = 0;
        if (cpuUsagePercent(lastTimes, now, percent)) {
            usage = percent;
            usageValid = true;
        }
        lastTimes = now;
    }
    if (!query || !query->collect()) {
        powerValid = false;
        return;
    }
    uint64_t energyNow = 0;
    if (energy >= 0 && packageEnergy(energyNow)) {
        const SteadyClock::time_point time = SteadyClock::now();
        const double seconds = std::chrono::duration<double>(time - lastEnergyTime).count();
        powerValid = energyWatts(lastEnergy, energyNow, seconds, power);
        lastEnergy = energyNow;
        lastEnergyTime = time;
    } else {
        powerValid = false;
    }
}

// The package channels' energy; several on a machine with several processor packages.
bool CpuState::packageEnergy(uint64_t &picowattHours)
{
    if (!query->instances(energy, channels))
        return false;
    bool found = false;
    picowattHours = 0;
    for (const PdhInstance &channel : channels) {
        if (!isPackageChannel(channel.name) || !(channel.value >= 0))
            continue;
        picowattHours += uint64_t(std::llround(channel.value));
        found = true;
    }
    return found;
}

bool CpuState::clock(double &mhz) const
{
    ClockInputs in;
    in.countersPresent = performance >= 0 && frequency >= 0;
    in.maxMhz = maxMhz;
    if (in.countersPresent) {
        in.performanceValid = query->value(performance, in.performancePercent);
        in.frequencyValid = query->value(frequency, in.frequencyMhz);
    }
    return cpuClockMhz(in, mhz);
}

void openCounters(CpuState &state, const Pdh *pdh)
{
    if (!pdh)
        return;
    auto query = std::make_unique<PdhQuery>(*pdh);
    state.performance =
        query->addCounter(L"\\Processor Information(_Total)\\% Processor Performance");
    state.frequency = query->addCounter(L"\\Processor Information(_Total)\\Processor Frequency");
    if (state.performance < 0 || state.frequency < 0)
        state.performance = state.frequency = -1;
    // Energy meters exist from Windows 11 on, and only where the processor reports them.
    state.energy = query->addCounter(L"\\Energy Meter(*)\\Energy");
    if (query->counterCount() == 0)
        return;
    state.query = std::move(query);
    // The first sample of a rate counter has no value: take it now.
    if (state.query->collect() && state.energy >= 0 && state.packageEnergy(state.lastEnergy))
        state.lastEnergyTime = SteadyClock::now();
    else
        state.energy = -1;
}

} // namespace

Sensor buildCpuSensor(const SystemFunctions &system, const Pdh *pdh)
{
    Sensor cpu;
    cpu.name = "CPU";
    auto state = std::make_shared<CpuState>();
    state->system = system;
    const bool haveTimes = sampleSystemTimes(system, state->lastTimes);
    openCounters(*state, pdh);
    if (state->performance < 0)
        state->maxMhz = maxProcessorMhz(system);

    if (haveTimes) {
        cpu.add(Usage, "Total CPU Usage", [state](double &value) {
            value = state->usage;
            return state->usageValid;
        });
    }
    if (state->performance >= 0 || state->maxMhz > 0) {
        cpu.add(Clock, "Core 0 Clock", [state](double &value) { return state->clock(value); });
    }
    if (state->energy >= 0) {
        cpu.add(Power, "CPU Package Power", [state](double &value) {
            value = state->power;
            return state->powerValid;
        });
    }
    if (!cpu.empty())
        cpu.refresh = [state] { state->refresh(); };
    return cpu;
}

} // namespace hwsensors
