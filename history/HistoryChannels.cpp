#include "history/HistoryChannels.h"

#include "model/Units.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace HistoryChannels {

namespace {

struct ChannelInfo
{
    const char *key;
    const char *caption;
    Kind kind;
};

const ChannelInfo infos[kCount] = {
    {"cpuTemperature", "CPU Temperature", Kind::Temperature},
    {"cpuUsage", "CPU Utilization", Kind::Percent},
    {"cpuClock", "CPU Frequency", Kind::Megahertz},
    {"cpuPower", "CPU Power", Kind::Watts},
    {"cpuFan", "CPU Fan", Kind::Rpm},
    {"gpuTemperature", "GPU Temperature", Kind::Temperature},
    {"gpuUsage", "GPU Utilization", Kind::Percent},
    {"gpuClock", "GPU Frequency", Kind::Megahertz},
    {"gpuPower", "GPU Power", Kind::Watts},
    {"gpuFan", "GPU Fan", Kind::Rpm},
    {"boardTemperature", "Board Temperature", Kind::Temperature},
    {"memoryClock", "Memory Clock", Kind::Megahertz},
    {"memoryLoad", "Memory Usage", Kind::Percent},
    {"memoryUsed", "Memory Used", Kind::Gibibytes},
    {"driveUsage", "Disk Usage", Kind::Percent},
};

constexpr float kMissing = std::numeric_limits<float>::quiet_NaN();

bool valid(int channel)
{
    return channel >= 0 && channel < kCount;
}

} // namespace

Kind kind(int channel)
{
    return valid(channel) ? infos[channel].kind : Kind::Percent;
}

QString key(int channel)
{
    return valid(channel) ? QString::fromLatin1(infos[channel].key) : QString();
}

QString caption(int channel)
{
    return valid(channel) ? QString::fromLatin1(infos[channel].caption) : QString();
}

QString unitSign(int channel, bool celsius)
{
    switch (kind(channel)) {
    case Kind::Temperature:
        return QString::fromUtf8(celsius ? kCelsiusSign : kFahrenheitSign);
    case Kind::Percent:
        return QStringLiteral("%");
    case Kind::Megahertz:
        return QStringLiteral("MHz");
    case Kind::Watts:
        return QStringLiteral("W");
    case Kind::Rpm:
        return QStringLiteral("RPM");
    case Kind::Gibibytes:
        return QStringLiteral("G");
    }
    return QString();
}

bool alertsBelow(int channel)
{
    return kind(channel) == Kind::Rpm;
}

int channelOfKey(const QString &name)
{
    for (int c = 0; c < kCount; ++c)
        if (name == QLatin1String(infos[c].key))
            return c;
    return -1;
}

double shown(int channel, double value, bool celsius)
{
    if (celsius || kind(channel) != Kind::Temperature)
        return value;
    return value * 1.8 + 32.0;
}

double stored(int channel, double shownValue, bool celsius)
{
    if (celsius || kind(channel) != Kind::Temperature)
        return shownValue;
    return (shownValue - 32.0) / 1.8;
}

Sample missingSample()
{
    Sample sample;
    sample.fill(kMissing);
    return sample;
}

Sample sampleOf(const RefreshSnapshot &pass)
{
    Sample sample = missingSample();
    const auto fields = readingFields(pass.readings);
    for (int c = 0; c < int(fields.size()); ++c)
        sample[c] = fields[c].value;
    if (pass.memory.valid && pass.memory.totalBytes > 0) {
        sample[MemoryLoad] = float(pass.memory.loadPercent);
        const uint64_t used =
            pass.memory.totalBytes - std::min(pass.memory.availableBytes, pass.memory.totalBytes);
        sample[MemoryUsed] = float(double(used) / double(kBytesPerGiB));
    }
    if (pass.drive.found && pass.drive.totalBytes > 0)
        sample[DriveUsage] = float(std::trunc(100.0 - double(pass.drive.freeBytes) /
                                                          double(pass.drive.totalBytes) * 100.0));
    return sample;
}

} // namespace HistoryChannels
