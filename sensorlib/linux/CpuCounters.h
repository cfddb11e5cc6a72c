#pragma once
// Pure arithmetic behind the CPU usage and package power readings.
#include <cstddef>
#include <cstdint>
#include <string>

namespace hwsensors {

struct CpuTimes
{
    uint64_t total = 0;
    uint64_t idle = 0; // idle + iowait
    bool valid = false;
};

enum class CpuinfoScan
{
    Found,    ///< the first record's processor number and "cpu MHz"
    NoClock,  ///< the first record ended, or the text did, without a clock
    NeedMore, ///< the text stops inside the first record before its clock
};

/// Scans only the first record (up to the first blank line after "processor") of the start
/// of /proc/cpuinfo. Only whole lines count unless \a atEnd says the text is the whole file.
CpuinfoScan firstCpuinfoClock(const char *text, size_t length, bool atEnd, int &processor,
                              double &mhz);

/// Parses the first ("cpu ") line of /proc/stat.
CpuTimes parseCpuTimes(const std::string &procStat);

/// Busy share in percent between two samples. Counter steps backwards count as 0; with no
/// time between the samples \a previous is kept.
double cpuUsagePercent(const CpuTimes &before, const CpuTimes &after, double previous);

/// Energy used between two readings of a counter that wraps at \a maxRange (0: unknown).
/// Negative when the step cannot be known.
double energyDelta(double before, double after, double maxRange);

} // namespace hwsensors
