#pragma once
// Pure arithmetic behind the CPU usage and package power readings.
#include <cstdint>
#include <map>
#include <string>

namespace hwsensors {

struct CpuTimes
{
    uint64_t total = 0;
    uint64_t idle = 0; // idle + iowait
    bool valid = false;
};

/// Processor number -> "cpu MHz" of the text of /proc/cpuinfo.
std::map<int, double> parseCpuinfoClocks(const std::string &cpuinfo);

/// Parses the first ("cpu ") line of /proc/stat.
CpuTimes parseCpuTimes(const std::string &procStat);

/// Busy share in percent between two samples. Counter steps backwards count as 0; with no
/// time between the samples \a previous is kept.
double cpuUsagePercent(const CpuTimes &before, const CpuTimes &after, double previous);

/// Energy used between two readings of a counter that wraps at \a maxRange (0: unknown).
/// Negative when the step cannot be known.
double energyDelta(double before, double after, double maxRange);

} // namespace hwsensors
