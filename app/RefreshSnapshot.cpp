#include "app/RefreshSnapshot.h"

#include "app/RefreshFigures.h"
#include "device/DeviceFrame.h"

namespace RefreshPass {

AutoRangeMaxima advanceMaxima(const AutoRangeMaxima &maxima, const SensorReadings &readings)
{
    using RefreshFigures::autoRangeMaximum;
    using RefreshFigures::truncatedReading;
    AutoRangeMaxima next;
    next.cpuClock = autoRangeMaximum(maxima.cpuClock, truncatedReading(readings.cpuClock));
    next.gpuClock = autoRangeMaximum(maxima.gpuClock, truncatedReading(readings.gpuClock));
    next.cpuFan = autoRangeMaximum(maxima.cpuFan, truncatedReading(readings.cpuFan));
    next.gpuFan = autoRangeMaximum(maxima.gpuFan, truncatedReading(readings.gpuFan));
    next.cpuPower = autoRangeMaximum(maxima.cpuPower, truncatedReading(readings.cpuPower));
    next.gpuPower = autoRangeMaximum(maxima.gpuPower, truncatedReading(readings.gpuPower));
    return next;
}

DeviceFrameInput frameInput(const RefreshSnapshot &snapshot, bool celsius,
                            const QDateTime &localTime)
{
    DeviceFrameInput input;
    input.readings = snapshot.readings;
    input.celsius = celsius;
    input.memoryLoad = snapshot.memory.loadPercent;
    input.memoryTotalBytes = snapshot.memory.totalBytes;
    if (snapshot.drive.found) {
        // Only the percentage: the drive's text is the window's, and costs a pass its time.
        input.driveUsage = driveUsagePercent(snapshot.drive.totalBytes, snapshot.drive.freeBytes);
        input.driveTotalBytes = snapshot.drive.totalBytes;
    }
    input.localTime = localTime;
    return input;
}

} // namespace RefreshPass
