#include "Builders.h"
#include "CpuCounters.h"
#include "ValueFile.h"
#include "sysio/BoundedRead.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

namespace hwsensors {

namespace {

using SteadyClock = std::chrono::steady_clock;

bool addCoretemp(Sensor &cpu, const std::vector<HwmonChip> &chips)
{
    bool found = false;
    for (const HwmonChip &chip : chips) {
        if (chip.name != "coretemp")
            continue;
        for (const HwmonInput &input : chip.inputs) {
            if (input.kind != Temperature)
                continue;
            const bool package = !found && input.label == "Package id 0";
            cpu.add(Temperature, package ? "CPU Package" : input.label,
                    fileSample(input.fullPath, input.scale));
        }
        found = true;
    }
    return found;
}

bool addK10temp(Sensor &cpu, const std::vector<HwmonChip> &chips)
{
    for (const HwmonChip &chip : chips) {
        if (chip.name != "k10temp" && chip.name != "zenpower")
            continue;
        // Tctl where the chip has it, else Tdie, is the one control temperature.
        const HwmonInput *control = findLabel(chip, Temperature, "Tctl");
        if (!control)
            control = findLabel(chip, Temperature, "Tdie");
        if (!control && !chip.inputs.empty() && chip.inputs.front().kind == Temperature)
            control = &chip.inputs.front();
        for (const HwmonInput &input : chip.inputs) {
            if (input.kind != Temperature)
                continue;
            cpu.add(Temperature, &input == control ? "CPU (Tctl/Tdie)" : input.label,
                    fileSample(input.fullPath, input.scale));
        }
        return true;
    }
    return false;
}

void addThermalZone(Sensor &cpu, const SysRoot &root)
{
    std::string fallback;
    for (const std::string &zone : root.list("/sys/class/thermal")) {
        if (!startsWith(zone, "thermal_zone"))
            continue;
        const std::string dir = "/sys/class/thermal/" + zone;
        const std::string type = root.readLine(dir + "/type");
        if (type == "x86_pkg_temp") {
            cpu.add(Temperature, "CPU", fileSample(root.path(dir + "/temp"), 1e-3));
            return;
        }
        if (type == "acpitz" && fallback.empty())
            fallback = dir;
    }
    if (!fallback.empty())
        cpu.add(Temperature, "CPU", fileSample(root.path(fallback + "/temp"), 1e-3));
}

struct UsageState
{
    explicit UsageState(std::string path) : stat(std::move(path)) {}
    ValueFile stat;
    std::string text; // reused by every pass
    CpuTimes last;
    double value = 0;
};

void addUsage(Sensor &cpu, const SysRoot &root, std::vector<std::function<void()>> &refreshers)
{
    auto state = std::make_shared<UsageState>(root.path("/proc/stat"));
    if (!state->stat.readUpTo(kProcStatLimit, state->text))
        return;
    state->last = parseCpuTimes(state->text);
    if (!state->last.valid)
        return;
    refreshers.push_back([state] {
        if (!state->stat.readUpTo(kProcStatLimit, state->text))
            return;
        const CpuTimes now = parseCpuTimes(state->text);
        state->value = cpuUsagePercent(state->last, now, state->value);
        if (now.valid)
            state->last = now;
    });
    cpu.add(Usage, "Total CPU Usage", [state](double &value) {
        value = state->value;
        return true;
    });
}

} // namespace

CpuinfoScan firstCpuinfoClock(const char *text, size_t length, bool atEnd, int &processor,
                              double &mhz)
{
    processor = -1;
    size_t pos = 0;
    while (pos < length) {
        const char *newline =
            static_cast<const char *>(std::memchr(text + pos, '\n', length - pos));
        if (!newline && !atEnd)
            return CpuinfoScan::NeedMore; // a line cut off by the read
        const size_t end = newline ? size_t(newline - text) : length;
        const std::string line(text + pos, end - pos);
        pos = end + 1;
        const size_t colon = line.find(':');
        if (colon == std::string::npos) {
            // A blank line closes the record once it has begun.
            if (processor >= 0 && trimmed(line).empty())
                return CpuinfoScan::NoClock;
            continue;
        }
        const std::string key = trimmed(line.substr(0, colon));
        if (key == "processor") {
            if (processor >= 0)
                return CpuinfoScan::NoClock; // a second record without the blank line
            const std::string value = trimmed(line.substr(colon + 1));
            double number = 0;
            if (!parseSysfsValue(value.data(), value.size(), number) || number < 0 || number > 1e6)
                return CpuinfoScan::NoClock;
            processor = int(number);
        } else if (key == "cpu MHz" && processor >= 0) {
            const std::string value = trimmed(line.substr(colon + 1));
            if (!parseSysfsValue(value.data(), value.size(), mhz))
                return CpuinfoScan::NoClock;
            return CpuinfoScan::Found;
        }
    }
    return atEnd ? CpuinfoScan::NoClock : CpuinfoScan::NeedMore;
}

namespace {

// The kernel produces /proc/cpuinfo one record per processor, each costly (on some machines
// it asks every processor for its clock). A short read from the start makes it produce only
// the first record, so only that processor's clock is read each pass.
constexpr size_t kCpuinfoStep = 512;
constexpr size_t kCpuinfoLimit = 8192;

struct CpuinfoState
{
    explicit CpuinfoState(std::string path) : file(std::move(path)) {}
    ValueFile file;
    char text[kCpuinfoLimit];
    int processor = -1;
    double mhz = 0;
    bool valid = false;

    void read()
    {
        valid = false;
        size_t used = 0;
        for (;;) {
            size_t got = 0;
            const size_t want = std::min(kCpuinfoStep, sizeof text - used);
            if (!file.readAt(text + used, want, used, got))
                return;
            used += got;
            const CpuinfoScan scan = firstCpuinfoClock(text, used, got == 0, processor, mhz);
            if (scan != CpuinfoScan::NeedMore) {
                valid = scan == CpuinfoScan::Found;
                return;
            }
            if (used == sizeof text)
                return;
        }
    }
};

void addClocks(Sensor &cpu, const SysRoot &root, std::vector<std::function<void()>> &refreshers)
{
    auto cpuinfo = std::make_shared<CpuinfoState>(root.path("/proc/cpuinfo"));
    cpuinfo->read();

    std::map<int, std::string> cpufreq; // cpu number -> scaling_cur_freq path
    for (const std::string &entry : root.list("/sys/devices/system/cpu")) {
        if (!startsWith(entry, "cpu") || entry.size() < 4 ||
            entry.find_first_not_of("0123456789", 3) != std::string::npos)
            continue;
        const std::string file = "/sys/devices/system/cpu/" + entry + "/cpufreq/scaling_cur_freq";
        if (root.exists(file))
            cpufreq[std::atoi(entry.c_str() + 3)] = root.path(file);
    }
    std::map<int, bool> cpus; // true: cpufreq
    // Without cpufreq only the first processor's clock is known: the others' would cost the
    // whole of /proc/cpuinfo every pass.
    if (cpuinfo->valid)
        cpus[cpuinfo->processor] = false;
    for (const auto &entry : cpufreq)
        cpus[entry.first] = true;

    bool usesCpuinfo = false;
    for (const auto &entry : cpus) {
        const std::string name = "Core " + std::to_string(entry.first) + " Clock";
        if (entry.second) {
            cpu.add(Clock, name, fileSample(cpufreq[entry.first], 1e-3));
            continue;
        }
        usesCpuinfo = true;
        const int number = entry.first;
        cpu.add(Clock, name, [cpuinfo, number](double &value) {
            // A different first processor (the first one taken offline) is not this reading.
            if (!cpuinfo->valid || cpuinfo->processor != number)
                return false;
            value = cpuinfo->mhz;
            return true;
        });
    }
    if (usesCpuinfo)
        refreshers.push_back([cpuinfo] { cpuinfo->read(); });
}

struct EnergyState
{
    explicit EnergyState(std::string path) : energy(std::move(path)) {}
    ValueFile energy;
    double maxRange = 0;
    double lastEnergy = 0;
    SteadyClock::time_point lastTime;
    double value = 0;
};

void addPackagePower(Sensor &cpu, const SysRoot &root,
                     std::vector<std::function<void()>> &refreshers)
{
    // AMD processors report their package counter under the same powercap zone name.
    const std::string zone = "/sys/class/powercap/intel-rapl:0";
    auto state = std::make_shared<EnergyState>(root.path(zone + "/energy_uj"));
    // Unreadable without privileges on many kernels: then there is no such reading.
    if (!state->energy.readNumber(state->lastEnergy))
        return;
    readNumber(root.path(zone + "/max_energy_range_uj"), state->maxRange);
    state->lastTime = SteadyClock::now();
    refreshers.push_back([state] {
        double energy = 0;
        if (!state->energy.readNumber(energy))
            return;
        const SteadyClock::time_point now = SteadyClock::now();
        const double seconds = std::chrono::duration<double>(now - state->lastTime).count();
        // Too short a window gives a noisy figure; keep collecting.
        if (seconds < 0.05)
            return;
        const double microjoules = energyDelta(state->lastEnergy, energy, state->maxRange);
        if (microjoules >= 0)
            state->value = microjoules * 1e-6 / seconds;
        state->lastEnergy = energy;
        state->lastTime = now;
    });
    cpu.add(Power, "CPU Package Power", [state](double &value) {
        value = state->value;
        return true;
    });
}

} // namespace

bool isCpuChip(const std::string &name)
{
    return name == "coretemp" || name == "k10temp" || name == "zenpower";
}

Sensor buildCpuSensor(const SysRoot &root, const std::vector<HwmonChip> &chips)
{
    Sensor cpu;
    cpu.name = "CPU";
    const bool haveChip = addCoretemp(cpu, chips) || addK10temp(cpu, chips);
    if (!haveChip)
        addThermalZone(cpu, root);
    std::vector<std::function<void()>> refreshers;
    addUsage(cpu, root, refreshers);
    addClocks(cpu, root, refreshers);
    addPackagePower(cpu, root, refreshers);
    if (!refreshers.empty()) {
        cpu.refresh = [refreshers] {
            for (const auto &refresh : refreshers)
                refresh();
        };
    }
    return cpu;
}

} // namespace hwsensors
