#pragma once
#include "model/SensorReadings.h"
#include "platform/SystemFigures.h"
#include "sensors/SensorSources.h"

#include <QDateTime>
#include <QMetaType>

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

// Everything one pass measured: built once on the sensor thread, then only read. The display's
// report, the window and every other reader take their values from the one object, so nothing
// shows values and sources of different passes, and a reader may keep it while the next pass
// is being built.
struct RefreshSnapshot
{
    SensorReadings readings;
    SourceReport sources; // which reading fed each value (every reading while collecting)
    SystemFigures::Memory memory;
    SystemFigures::Drive drive;
    AutoRangeMaxima maxima;
    QDateTime localTime; // when the pass ended; the report carries it
};

using RefreshSnapshotPtr = std::shared_ptr<const RefreshSnapshot>;
Q_DECLARE_METATYPE(RefreshSnapshotPtr)

namespace RefreshPass {

// The maxima after a pass with these readings.
AutoRangeMaxima advanceMaxima(const AutoRangeMaxima &maxima, const SensorReadings &readings);

// The display's report of a pass: its readings and figures, the unit and the time.
DeviceFrameInput frameInput(const RefreshSnapshot &snapshot, bool celsius,
                            const QDateTime &localTime);

} // namespace RefreshPass
