#include "sensors/ReadingBounds.h"

#include <QDebug>

#include <cmath>

namespace ReadingBounds {

Range range(ReadingKind kind)
{
    switch (kind) {
    case ReadingKind::Temperature:
        return {-60.0, 150.0}; // degrees Celsius: silicon shuts down long before 150
    case ReadingKind::Fan:
        return {0.0, 30000.0}; // RPM: the fastest server fans stay below
    case ReadingKind::Power:
        return {0.0, 2000.0}; // watts of one component
    case ReadingKind::Clock:
        return {0.0, 50000.0}; // MHz, memory's effective data rate included
    case ReadingKind::Usage:
        return {0.0, 100.5}; // percent, with room for a sum's rounding
    }
    return {0.0, 0.0};
}

} // namespace ReadingBounds

bool plausible(ReadingKind kind, double value)
{
    const ReadingBounds::Range bounds = ReadingBounds::range(kind);
    // Written as a positive test so that NaN fails it.
    return value >= bounds.low && value <= bounds.high;
}

bool ImplausibleReadings::admit(const char *sensor, ReadingKind kind, const char *name,
                                double value)
{
    if (plausible(kind, value))
        return true;
    std::string key = std::string(sensor) + '\n' + SensorNameTables::kindName(kind) + '\n' + name;
    if (logged.insert(std::move(key)).second)
        qDebug().noquote() << QStringLiteral("Reading out of bounds, left out -> %1 / %2 %3 = %4")
                                  .arg(QString::fromLocal8Bit(sensor),
                                       QLatin1String(SensorNameTables::kindName(kind)),
                                       QString::fromLocal8Bit(name), QString::number(value));
    return false;
}
