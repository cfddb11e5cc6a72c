#include "CpuCounters.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace hwsensors {

CpuTimes parseCpuTimes(const std::string &procStat)
{
    // Parsed by hand: a string stream per pass would set up a locale every second.
    CpuTimes times;
    const std::string line = procStat.substr(0, procStat.find('\n'));
    const char *at = line.c_str();
    while (std::isspace(static_cast<unsigned char>(*at)))
        ++at;
    if (std::strncmp(at, "cpu", 3) != 0 ||
        (at[3] && !std::isspace(static_cast<unsigned char>(at[3]))))
        return times;
    at += 3;
    // user nice system idle iowait irq softirq steal; guest time is already inside user.
    uint64_t field[8] = {};
    int count = 0;
    while (count < 8) {
        char *end = nullptr;
        errno = 0;
        const unsigned long long value = std::strtoull(at, &end, 10);
        if (end == at || errno == ERANGE)
            break;
        field[count++] = value;
        at = end;
    }
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
