#pragma once
#include "model/SensorReadings.h"
#include "sensors/SensorNameTables.h"
#include "sensors/SensorSources.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <memory>
#include <vector>

struct RefreshSnapshot;

// One named reading of a pass, its names decoded, its value in the library's unit.
struct EndpointReading
{
    QString sensor;
    ReadingKind kind = ReadingKind::Temperature;
    QString name;
    double value = 0;
};

// What the endpoint serves of one pass: built once on the sensor thread, then only read by
// the server's threads, however long they take to send it.
struct EndpointPass
{
    std::vector<EndpointReading> readings; // every named reading, in walk order
    // The twelve values the report carries, in the record's order.
    std::array<double, SensorSources::kValueCount> values{};
    std::array<int, SensorSources::kValueCount> sources; // index into readings, -1: none
    std::array<SensorSources::Reason, SensorSources::kValueCount> reasons{};

    bool memoryValid = false;
    int memoryLoadPercent = 0;
    quint64 memoryTotalBytes = 0;
    bool driveFound = false;
    int driveUsagePercent = 0;
    quint64 driveTotalBytes = 0;

    bool connected = false;
    quint64 reportsSent = 0;
    double passSeconds = 0;
    QDateTime time; // UTC
    QString version;

    EndpointPass() { sources.fill(-1); }
};

using EndpointPassPtr = std::shared_ptr<const EndpointPass>;

// What the monitor knows of a pass besides its snapshot and sources.
struct PassFacts
{
    bool connected = false;
    quint64 reportsSent = 0;
    double passSeconds = 0;
    QDateTime time;
};

namespace Endpoint {

/// The pass as served. The sources' candidates become the readings; a float value keeps
/// its shortest decimal form (45.7, not 45.700000762939453).
EndpointPass makePass(const RefreshSnapshot &snapshot, const SourceReport &sources,
                      const PassFacts &facts);

/// The nearest double to the shortest decimal text of \a value.
double decimalValue(float value);

/// A sensor or reading name as the library gives it: UTF-8 on Linux (invalid bytes become
/// U+FFFD), the local code page on Windows.
QString decodeName(const QByteArray &name);

/// The library's unit of a kind: "°C", "RPM", "W", "MHz", "%".
const char *kindUnit(ReadingKind kind);

} // namespace Endpoint
