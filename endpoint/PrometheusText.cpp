#include "endpoint/PrometheusText.h"

#include <QSet>

#include <charconv>
#include <cmath>

namespace {

struct KindMetric
{
    const char *name;
    const char *help;
    double scale; // library unit to base unit
};

KindMetric kindMetric(ReadingKind kind)
{
    switch (kind) {
    case ReadingKind::Temperature:
        return {"tarnix_temperature_celsius", "Temperature reading of a sensor.", 1};
    case ReadingKind::Fan:
        return {"tarnix_fan_speed_rpm", "Fan speed reading of a sensor, revolutions per minute.",
                1};
    case ReadingKind::Power:
        return {"tarnix_power_watts", "Power reading of a sensor.", 1};
    case ReadingKind::Clock:
        return {"tarnix_clock_hertz", "Clock reading of a sensor.", 1e6};
    case ReadingKind::Usage:
        return {"tarnix_usage_ratio", "Usage reading of a sensor, 0 to 1.", 0.01};
    }
    return {"", "", 1};
}

// The name and scale of each of the twelve values on the display, in the record's order.
struct ValueMetric
{
    const char *name;
    double scale;
};
constexpr ValueMetric kValueMetrics[SensorSources::kValueCount] = {
    {"tarnix_display_cpu_temperature_celsius", 1},   {"tarnix_display_cpu_usage_ratio", 0.01},
    {"tarnix_display_cpu_clock_hertz", 1e6},         {"tarnix_display_cpu_power_watts", 1},
    {"tarnix_display_cpu_fan_speed_rpm", 1},         {"tarnix_display_gpu_temperature_celsius", 1},
    {"tarnix_display_gpu_usage_ratio", 0.01},        {"tarnix_display_gpu_clock_hertz", 1e6},
    {"tarnix_display_gpu_power_watts", 1},           {"tarnix_display_gpu_fan_speed_rpm", 1},
    {"tarnix_display_board_temperature_celsius", 1}, {"tarnix_display_memory_clock_hertz", 1e6},
};

void header(QByteArray &out, const char *name, const char *help, const char *type)
{
    out += "# HELP ";
    out += name;
    out += ' ';
    out += help;
    out += "\n# TYPE ";
    out += name;
    out += ' ';
    out += type;
    out += '\n';
}

void sample(QByteArray &out, const char *name, double value)
{
    out += name;
    out += ' ';
    out += Endpoint::sampleValue(value);
    out += '\n';
}

void gauge(QByteArray &out, const char *name, const char *help, double value)
{
    header(out, name, help, "gauge");
    sample(out, name, value);
}

// Two readings of one kind with the same sensor and reading names would be one series
// twice, which a scrape refuses: the first is kept.
void sensorReadings(QByteArray &out, const EndpointPass &pass, ReadingKind kind)
{
    const KindMetric metric = kindMetric(kind);
    bool headed = false;
    QSet<QString> seen;
    for (const EndpointReading &reading : pass.readings) {
        if (reading.kind != kind)
            continue;
        const QString key = reading.sensor + QChar(0) + reading.name;
        if (seen.contains(key))
            continue;
        seen.insert(key);
        if (!headed)
            header(out, metric.name, metric.help, "gauge");
        headed = true;
        out += metric.name;
        out += "{sensor=\"";
        out += Endpoint::escapeLabelValue(reading.sensor);
        out += "\",reading=\"";
        out += Endpoint::escapeLabelValue(reading.name);
        out += "\"} ";
        out += Endpoint::sampleValue(reading.value * metric.scale);
        out += '\n';
    }
}

void displayValues(QByteArray &out, const EndpointPass &pass)
{
    for (int v = 0; v < SensorSources::kValueCount; ++v) {
        const QByteArray help = QByteArrayLiteral("The display's ") + SensorSources::valueKey(v) +
                                " value in the latest report.";
        gauge(out, kValueMetrics[v].name, help.constData(),
              pass.values[v] * kValueMetrics[v].scale);
    }
    if (pass.memoryValid) {
        gauge(out, "tarnix_display_memory_usage_ratio", "Share of physical memory in use.",
              pass.memoryLoadPercent / 100.0);
        gauge(out, "tarnix_display_memory_size_bytes", "Physical memory.",
              double(pass.memoryTotalBytes));
    }
    if (pass.driveFound) {
        gauge(out, "tarnix_display_drive_usage_ratio", "Share of the system drive in use.",
              pass.driveUsagePercent / 100.0);
        gauge(out, "tarnix_display_drive_size_bytes", "Size of the system drive.",
              double(pass.driveTotalBytes));
    }
}

void programFacts(QByteArray &out, const EndpointPass &pass)
{
    gauge(out, "tarnix_display_connected", "1 while the display is open, else 0.",
          pass.connected ? 1 : 0);
    header(out, "tarnix_reports_sent_total", "Reports the display took since start.", "counter");
    sample(out, "tarnix_reports_sent_total", double(pass.reportsSent));
    gauge(out, "tarnix_pass_duration_seconds", "How long the latest sensor pass took.",
          pass.passSeconds);
    header(out, "tarnix_build_info", "The running version; always 1.", "gauge");
    out += "tarnix_build_info{version=\"";
    out += Endpoint::escapeLabelValue(pass.version);
    out += "\"} 1\n";
}

} // namespace

namespace Endpoint {

QByteArray sampleValue(double value)
{
    if (std::isnan(value))
        return QByteArrayLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QByteArrayLiteral("+Inf") : QByteArrayLiteral("-Inf");
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    return QByteArray(text, int(written.ptr - text));
}

QByteArray escapeLabelValue(const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    QByteArray escaped;
    escaped.reserve(utf8.size());
    for (const char c : utf8) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '"')
            escaped += "\\\"";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return escaped;
}

QByteArray prometheusText(const EndpointPass &pass)
{
    QByteArray out;
    out.reserve(4096 + int(pass.readings.size()) * 96);
    for (const ReadingKind kind : {ReadingKind::Temperature, ReadingKind::Fan, ReadingKind::Power,
                                   ReadingKind::Clock, ReadingKind::Usage})
        sensorReadings(out, pass, kind);
    displayValues(out, pass);
    programFacts(out, pass);
    return out;
}

} // namespace Endpoint
