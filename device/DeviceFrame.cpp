#include "device/DeviceFrame.h"

#include "model/Units.h"

#include <limits>

namespace {

constexpr quint8 FrameMarker = 0x40;
constexpr quint8 FahrenheitBit = 0x80;
constexpr int ChecksumOffset = 30;

// Truncation toward zero. NaN and values below the 32-bit range give the x86 conversion's
// "indefinite" value, whose low 16 bits are zero; values above it give the largest integer,
// which every field saturates at.
qint32 truncated(double value)
{
    if (value >= 2147483648.0)
        return std::numeric_limits<qint32>::max();
    if (!(value > -2147483649.0))
        return std::numeric_limits<qint32>::min();
    return static_cast<qint32>(value);
}

// A value above a field's range is sent as the field's largest value: a wrapped 70000 MHz
// would reach the display as 4464. Negative values keep their low bits, which the display
// may read as a signed number.
void put8(DeviceFrame &frame, int offset, qint64 value)
{
    frame[offset] = static_cast<quint8>(qMin<qint64>(value, 0xFF) & 0xFF);
}

void put16(DeviceFrame &frame, int offset, qint64 value)
{
    value = qMin<qint64>(value, 0xFFFF);
    frame[offset] = static_cast<quint8>((value >> 8) & 0xFF);
    frame[offset + 1] = static_cast<quint8>(value & 0xFF);
}

qint32 temperatureByte(float celsiusReading, bool celsius)
{
    const qint32 value = qMin<qint32>(truncated(celsiusReading), 0xFF);
    return celsius ? value : (value | FahrenheitBit);
}

void putDateTime(DeviceFrame &frame, const QDateTime &localTime)
{
    // An unknown time leaves the fields zero rather than sending QTime's -1 as 0xFF.
    if (!localTime.isValid())
        return;
    const QDate date = localTime.date();
    const QTime time = localTime.time();
    put16(frame, 24, date.year());
    put8(frame, 26, date.month());
    put8(frame, 27, date.day());
    put8(frame, 28, time.hour());
    put8(frame, 29, time.minute());
}

quint8 checksum(const DeviceFrame &frame)
{
    quint8 sum = 0;
    for (int i = 1; i < ChecksumOffset; ++i)
        sum = static_cast<quint8>(sum + frame[i]);
    return sum;
}

} // namespace

DeviceFrame buildDeviceFrame(const DeviceFrameInput &input)
{
    const SensorReadings &r = input.readings;
    DeviceFrame frame{};
    frame[1] = FrameMarker;

    put8(frame, 2, temperatureByte(r.cpuTemperature, input.celsius));
    put8(frame, 3, truncated(r.cpuUsage));
    put16(frame, 4, truncated(r.cpuClock));
    put16(frame, 6, truncated(r.cpuFan));
    put16(frame, 8, truncated(r.cpuPower));

    put8(frame, 10, temperatureByte(r.gpuTemperature, input.celsius));
    put8(frame, 11, truncated(r.gpuUsage));
    put16(frame, 12, truncated(r.gpuClock));
    put16(frame, 14, truncated(r.gpuFan));
    put16(frame, 16, truncated(r.gpuPower));

    put8(frame, 18, input.memoryLoad);
    put16(frame, 19, truncated(static_cast<double>(input.memoryTotalBytes) / 1048576.0));
    put8(frame, 21, input.driveUsage);
    put16(frame, 22, static_cast<qint64>(input.driveTotalBytes / kBytesPerGiB));

    putDateTime(frame, input.localTime);
    frame[ChecksumOffset] = checksum(frame);
    return frame;
}

int driveUsagePercent(quint64 totalBytes, quint64 freeBytes)
{
    if (totalBytes == 0)
        return 0;
    const double freePercent =
        static_cast<double>(freeBytes) / static_cast<double>(totalBytes) * 100.0;
    return truncated(100.0 - freePercent);
}
