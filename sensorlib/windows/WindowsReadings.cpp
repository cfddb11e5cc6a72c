#include "WindowsReadings.h"
#include "sysio/SmbiosMemory.h"

#include <cmath>
#include <cstring>

namespace hwsensors {

namespace {

// Above any processor package: a larger step is a counter that started again.
constexpr double kMaxPlausibleWatts = 5000;
constexpr double kJoulesPerPicowattHour = 3600e-12;

// The temperature names that stand for the CPU's own temperature.
const char *const kCpuTemperatureNames[] = {"CPU", "CPU Temperature", "CPU Package",
                                            "CPU (Tctl/Tdie)"};

} // namespace

bool cpuUsagePercent(const SystemTimes &before, const SystemTimes &after, double &percent)
{
    if (after.idle < before.idle || after.kernel < before.kernel || after.user < before.user)
        return false;
    const uint64_t total = (after.kernel - before.kernel) + (after.user - before.user);
    const uint64_t idle = after.idle - before.idle;
    if (total == 0)
        return false;
    const uint64_t busy = idle < total ? total - idle : 0;
    percent = std::fmin(100.0, 100.0 * double(busy) / double(total));
    return true;
}

bool cpuClockMhz(const ClockInputs &in, double &mhz)
{
    if (in.countersPresent) {
        if (!in.performanceValid || !in.frequencyValid || in.frequencyMhz <= 0 ||
            in.performancePercent <= 0)
            return false;
        mhz = in.performancePercent * in.frequencyMhz / 100;
        return true;
    }
    if (in.maxMhz <= 0)
        return false;
    mhz = in.maxMhz;
    return true;
}

bool energyWatts(uint64_t beforePwh, uint64_t afterPwh, double seconds, double &watts)
{
    if (!(seconds > 0))
        return false;
    const uint64_t step = afterPwh - beforePwh; // modulo 2^64: a wrap steps forward
    const double value = double(step) * kJoulesPerPicowattHour / seconds;
    if (value > kMaxPlausibleWatts)
        return false;
    watts = value;
    return true;
}

bool isPackageChannel(const wchar_t *name)
{
    if (!name)
        return false;
    const size_t length = std::wcslen(name);
    const wchar_t *suffix = L"_pkg";
    if (length < 4)
        return false;
    for (size_t i = 0; i < 4; ++i) {
        wchar_t c = name[length - 4 + i];
        if (c >= L'A' && c <= L'Z')
            c = c - L'A' + L'a';
        if (c != suffix[i])
            return false;
    }
    return true;
}

bool thermalZoneCelsius(double tenthsOfKelvin, double &celsius)
{
    if (!(tenthsOfKelvin > 0))
        return false;
    celsius = tenthsOfKelvin / 10 - 273.15;
    return true;
}

std::string thermalZoneReadingName(const wchar_t *instance, int index)
{
    std::string name;
    for (const wchar_t *c = instance; c && *c; ++c)
        name += (*c >= 0x20 && *c < 0x7F) ? char(*c) : '?';
    if (name.empty())
        return "Thermal Zone " + std::to_string(index);
    for (const char *cpuName : kCpuTemperatureNames) {
        if (name == cpuName)
            return "Thermal Zone " + name;
    }
    return name;
}

bool memoryClockFromRawSmbios(const unsigned char *raw, size_t size, double &mhz)
{
    // RawSMBIOSData: calling method, major, minor, DMI revision, then the table's length.
    constexpr size_t kHeader = 8;
    if (!raw || size < kHeader)
        return false;
    const uint32_t length =
        raw[4] | uint32_t(raw[5]) << 8 | uint32_t(raw[6]) << 16 | uint32_t(raw[7]) << 24;
    if (length > size - kHeader)
        return false;
    for (const SmbiosMemory::Module &module : SmbiosMemory::modules(raw + kHeader, length)) {
        const unsigned speed =
            module.configuredSpeedMts ? module.configuredSpeedMts : module.speedMts;
        if (speed > 0) {
            mhz = speed / 2.0;
            return true;
        }
    }
    return false;
}

} // namespace hwsensors
