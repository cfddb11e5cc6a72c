#include "CpuCounters.h"

#include <algorithm>
#include <sstream>

namespace hwsensors {

CpuTimes parseCpuTimes(const std::string &procStat)
{
    CpuTimes times;
    std::istringstream stream(procStat.substr(0, procStat.find('\n')));
    std::string label;
    stream >> label;
    if (label != "cpu")
        return times;
    // user nice system idle iowait irq softirq steal; guest time is already inside user.
    uint64_t field[8] = {};
    int count = 0;
    while (count < 8 && stream >> field[count])
        ++count;
    if (count < 4)
        return times;
    for (int i = 0; i < count; ++i)
        times.total += field[i];
    times.idle = field[3] + (count > 4 ? field[4] : 0);
    times.valid = true;
    return times;
}

double cpuUsagePercent(const CpuTimes &before, const CpuTimes &after, double previous)
{
    if (!before.valid || !after.valid)
        return previous;
    const uint64_t total = after.total > before.total ? after.total - before.total : 0;
    const uint64_t idle = after.idle > before.idle ? after.idle - before.idle : 0;
    if (total == 0)
        return previous;
    if (idle >= total)
        return 0;
    // (100 · busy) / total can round a hair above 100 when nearly all time was busy.
    return std::min(100.0, 100.0 * static_cast<double>(total - idle) / static_cast<double>(total));
}

double energyDelta(double before, double after, double maxRange)
{
    if (after >= before)
        return after - before;
    if (maxRange <= 0 || before > maxRange)
        return -1;
    return maxRange - before + after;
}

} // namespace hwsensors
