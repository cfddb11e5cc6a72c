#pragma once
#include "app/RefreshSnapshot.h"

#include <QDateTime>
#include <QString>

#include <array>

// The values the history keeps: the twelve readings in the record's order, then the memory
// and system-drive figures the pass measures itself.
namespace HistoryChannels {

enum Channel
{
    CpuTemperature,
    CpuUsage,
    CpuClock,
    CpuPower,
    CpuFan,
    GpuTemperature,
    GpuUsage,
    GpuClock,
    GpuPower,
    GpuFan,
    BoardTemperature,
    MemoryClock,
    MemoryLoad,
    MemoryUsed,
    DriveUsage,
    kCount
};

enum class Kind
{
    Temperature,
    Percent,
    Megahertz,
    Watts,
    Rpm,
    Gibibytes
};

// One value of every channel at one second; NaN where it was not measured.
using Sample = std::array<float, kCount>;

Kind kind(int channel);
// The field name used in the record's header and in settings ("cpuTemperature").
QString key(int channel);
// The caption for people ("CPU Temperature").
QString caption(int channel);
// The unit sign; temperatures follow the chosen unit.
QString unitSign(int channel, bool celsius);
// Fans warn when they run too slowly, everything else when too high.
bool alertsBelow(int channel);
// The channel with this key, or -1.
int channelOfKey(const QString &key);

// A temperature as shown in the chosen unit, and back; other values pass unchanged.
double shown(int channel, double value, bool celsius);
double stored(int channel, double shownValue, bool celsius);

// The values of one pass; memory and drive figures that were not measured are NaN.
Sample sampleOf(const RefreshSnapshot &pass);
// A sample with every value missing.
Sample missingSample();

} // namespace HistoryChannels
