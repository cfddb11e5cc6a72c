#include "endpoint/ReadingsJson.h"

#include "sensors/SensorNameTables.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

QJsonValue number(double value)
{
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

QJsonObject readingObject(const EndpointReading &reading)
{
    return {{QStringLiteral("kind"), QLatin1String(SensorNameTables::kindName(reading.kind))},
            {QStringLiteral("name"), reading.name},
            {QStringLiteral("value"), number(reading.value)},
            {QStringLiteral("unit"), QString::fromUtf8(Endpoint::kindUnit(reading.kind))}};
}

// Readings come sensor by sensor; each run of one sensor's readings is one entry.
QJsonArray sensors(const EndpointPass &pass)
{
    QJsonArray list;
    QJsonArray readings;
    const QString *current = nullptr;
    auto close = [&] {
        if (current)
            list.append(QJsonObject{{QStringLiteral("name"), *current},
                                    {QStringLiteral("readings"), readings}});
        readings = QJsonArray();
    };
    for (const EndpointReading &reading : pass.readings) {
        if (!current || *current != reading.sensor) {
            close();
            current = &reading.sensor;
        }
        readings.append(readingObject(reading));
    }
    close();
    return list;
}

QJsonObject values(const EndpointPass &pass)
{
    QJsonObject all;
    for (int v = 0; v < SensorSources::kValueCount; ++v) {
        const ReadingKind kind = SensorSources::valueKind(v);
        QJsonObject value{
            {QStringLiteral("value"), number(pass.values[v])},
            {QStringLiteral("unit"), QString::fromUtf8(Endpoint::kindUnit(kind))},
            {QStringLiteral("reason"), QLatin1String(SensorSources::reasonName(pass.reasons[v]))}};
        const int source = pass.sources[v];
        if (source >= 0) {
            const EndpointReading &reading = pass.readings[size_t(source)];
            value.insert(QStringLiteral("source"),
                         QJsonObject{{QStringLiteral("sensor"), reading.sensor},
                                     {QStringLiteral("kind"),
                                      QLatin1String(SensorNameTables::kindName(reading.kind))},
                                     {QStringLiteral("reading"), reading.name}});
        } else {
            value.insert(QStringLiteral("source"), QJsonValue::Null);
        }
        all.insert(QLatin1String(SensorSources::valueKey(v)), value);
    }
    return all;
}

QJsonValue memory(const EndpointPass &pass)
{
    if (!pass.memoryValid)
        return QJsonValue::Null;
    return QJsonObject{{QStringLiteral("usagePercent"), pass.memoryLoadPercent},
                       {QStringLiteral("totalBytes"), double(pass.memoryTotalBytes)}};
}

QJsonValue drive(const EndpointPass &pass)
{
    if (!pass.driveFound)
        return QJsonValue::Null;
    return QJsonObject{{QStringLiteral("usagePercent"), pass.driveUsagePercent},
                       {QStringLiteral("totalBytes"), double(pass.driveTotalBytes)}};
}

} // namespace

namespace Endpoint {

QByteArray readingsJson(const EndpointPass &pass)
{
    const QJsonObject root{{QStringLiteral("version"), pass.version},
                           {QStringLiteral("time"), pass.time.toString(Qt::ISODateWithMs)},
                           {QStringLiteral("passSeconds"), number(pass.passSeconds)},
                           {QStringLiteral("display"),
                            QJsonObject{{QStringLiteral("connected"), pass.connected},
                                        {QStringLiteral("reportsSent"), double(pass.reportsSent)},
                                        {QStringLiteral("values"), values(pass)},
                                        {QStringLiteral("memory"), memory(pass)},
                                        {QStringLiteral("drive"), drive(pass)}}},
                           {QStringLiteral("sensors"), sensors(pass)}};
    QByteArray text = QJsonDocument(root).toJson(QJsonDocument::Compact);
    text += '\n';
    return text;
}

} // namespace Endpoint
