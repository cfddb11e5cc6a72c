#pragma once
// The arithmetic behind the Windows readings: pure functions without Win32 types, so they
// build and are tested on every platform.
#include <cstddef>
#include <cstdint>
#include <string>

namespace hwsensors {

/// GetSystemTimes in 100 ns units; idle time is counted inside kernel time.
struct SystemTimes
{
    uint64_t idle = 0;
    uint64_t kernel = 0;
    uint64_t user = 0;
};

/// Busy share in percent between two samples: (kernel + user - idle) / (kernel + user).
/// False when no time passed or a counter stepped backwards.
bool cpuUsagePercent(const SystemTimes &before, const SystemTimes &after, double &percent);

/// What the CPU clock is read from on this machine.
struct ClockInputs
{
    bool countersPresent = false; ///< both performance counters could be added
    bool performanceValid = false;
    double performancePercent = 0; ///< above 100 while boosting
    bool frequencyValid = false;
    double frequencyMhz = 0; ///< the nominal clock
    double maxMhz = 0;       ///< the power information's MaxMhz; 0: unknown
};

/// The clock in MHz: % performance × nominal frequency / 100 where the counters exist (no
/// value until they have one), else the power information's maximum clock.
bool cpuClockMhz(const ClockInputs &in, double &mhz);

/// Average power in watts between two readings of an energy counter in picowatt-hours taken
/// \a seconds apart. A counter that wrapped at 2^64 still gives the right step; one that
/// was reset (driver restart, resume) gives an implausible one: false then.
bool energyWatts(uint64_t beforePwh, uint64_t afterPwh, double seconds, double &watts);

/// True for the channel that measures the whole processor package ("RAPL_Package0_PKG",
/// "rapl_package0_pkg"): the cores and uncore channels are parts of it.
bool isPackageChannel(const wchar_t *name);

/// °C from an ACPI thermal zone's tenths of a kelvin; false for no reading (0 or less).
bool thermalZoneCelsius(double tenthsOfKelvin, double &celsius);

/// The reading name of a thermal zone instance ("\_TZ.TZ00"): its ASCII text, never one of
/// the names that mean the CPU's own temperature, which a zone is not.
std::string thermalZoneReadingName(const wchar_t *instance, int index);

/// The memory clock in MHz from GetSystemFirmwareTable('RSMB') data (its 8-byte header, then
/// the SMBIOS table): the first module's running speed, else its rated one, at two
/// transfers per clock. False without a module of known speed.
bool memoryClockFromRawSmbios(const unsigned char *raw, size_t size, double &mhz);

} // namespace hwsensors
