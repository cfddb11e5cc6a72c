#include "endpoint/EndpointPass.h"

#include "app/RefreshSnapshot.h"
#include "device/DeviceFrame.h"

#include <charconv>

namespace Endpoint {

double decimalValue(float value)
{
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    double exact = double(value);
    if (written.ec == std::errc())
        std::from_chars(text, written.ptr, exact);
    return exact;
}

QString decodeName(const QByteArray &name)
{
#if defined(Q_OS_WIN)
    return QString::fromLocal8Bit(name);
#else
    return QString::fromUtf8(name);
#endif
}

const char *kindUnit(ReadingKind kind)
{
    switch (kind) {
    case ReadingKind::Temperature:
        return "\u00b0C";
    case ReadingKind::Fan:
        return "RPM";
    case ReadingKind::Power:
        return "W";
    case ReadingKind::Clock:
        return "MHz";
    case ReadingKind::Usage:
        return "%";
    }
    return "";
}

EndpointPass makePass(const RefreshSnapshot &snapshot, const SourceReport &sources,
                      const PassFacts &facts)
{
    EndpointPass pass;
    pass.readings.reserve(sources.candidates.size());
    for (const SourceCandidate &candidate : sources.candidates)
        pass.readings.push_back(EndpointReading{decodeName(candidate.sensor), candidate.kind,
                                                decodeName(candidate.name), candidate.value});
    const auto fields = readingFields(snapshot.readings);
    const int readingCount = int(pass.readings.size());
    for (int v = 0; v < SensorSources::kValueCount; ++v) {
        pass.values[v] = decimalValue(fields[v].value);
        const int chosen = sources.chosen[v];
        pass.sources[v] = chosen >= 0 && chosen < readingCount ? chosen : -1;
        pass.reasons[v] = sources.reasons[v];
    }
    pass.memoryValid = snapshot.memory.valid;
    pass.memoryLoadPercent = int(snapshot.memory.loadPercent);
    pass.memoryTotalBytes = snapshot.memory.totalBytes;
    pass.driveFound = snapshot.drive.found;
    if (pass.driveFound) {
        pass.driveUsagePercent =
            driveUsagePercent(snapshot.drive.totalBytes, snapshot.drive.freeBytes);
        pass.driveTotalBytes = snapshot.drive.totalBytes;
    }
    pass.connected = facts.connected;
    pass.reportsSent = facts.reportsSent;
    pass.passSeconds = facts.passSeconds;
    pass.time = facts.time.toUTC();
    pass.version = QStringLiteral(TARNIX_VERSION);
    return pass;
}

} // namespace Endpoint
