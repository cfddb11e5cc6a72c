#pragma once
#include "model/SensorReadings.h"
#include "platform/SystemFigures.h"

#include <QDateTime>

#include <memory>

struct DeviceFrameInput;

// The highest values seen since start, one per auto-ranged bar; 0 until the first pass.
struct AutoRangeMaxima
{
    int cpuClock = 0;
    int gpuClock = 0;
    int cpuFan = 0;
    int gpuFan = 0;
    int cpuPower = 0;
    int gpuPower = 0;
};

// What one pass measured: built once on the sensor thread, then only read, so the window may
// keep it while the next pass is being built.
struct RefreshSnapshot
{
    SensorReadings readings;
    SystemFigures::Memory memory;
    SystemFigures::Drive drive;
    AutoRangeMaxima maxima;
};

using RefreshSnapshotPtr = std::shared_ptr<const RefreshSnapshot>;

namespace RefreshPass {

// The maxima after a pass with these readings.
AutoRangeMaxima advanceMaxima(const AutoRangeMaxima &maxima, const SensorReadings &readings);

// The display's report of a pass: its readings and figures, the unit and the time.
DeviceFrameInput frameInput(const RefreshSnapshot &snapshot, bool celsius,
                            const QDateTime &localTime);

} // namespace RefreshPass
