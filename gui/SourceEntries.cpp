#include "gui/SourceEntries.h"

#include <QSet>

namespace {

const QString automatic = QStringLiteral("Automatic");

QString missing(const QString &text)
{
    return text + QStringLiteral("  (not found)");
}

bool feedsGpuValue(const SourceCandidate &candidate)
{
    const int target = SensorNameTables::findTarget(candidate.kind, candidate.name.constData(), 0);
    if (target < 0)
        return false;
    for (int v = 0; v < SensorSources::kValueCount; ++v) {
        if (SensorSources::valueField(v) == SensorNameTables::targetField(target))
            return SensorSources::isGpuValue(v);
    }
    return false;
}

} // namespace

namespace SourceEntries {

QString valueText(ReadingKind kind, double value)
{
    switch (kind) {
    case ReadingKind::Temperature:
        return QString::number(value, 'f', 1) + QStringLiteral(" \u2103");
    case ReadingKind::Fan:
        return QString::number(value, 'f', 0) + QStringLiteral(" RPM");
    case ReadingKind::Power:
        return QString::number(value, 'f', 1) + QStringLiteral(" W");
    case ReadingKind::Clock:
        return QString::number(value, 'f', 0) + QStringLiteral(" MHz");
    case ReadingKind::Usage:
        return QString::number(value, 'f', 0) + QStringLiteral(" %");
    }
    return QString();
}

QVector<SourceEntry> forValue(const SourceReport &report, int value, const QString &current)
{
    QVector<SourceEntry> entries{{automatic, QString()}};
    QSet<QString> seen;
    for (const int i : SensorSources::candidatesFor(report, value)) {
        const SourceCandidate &c = report.candidates[size_t(i)];
        const QString choice = SensorSources::refText(c);
        // The first of two same-named readings is the one a choice takes.
        if (seen.contains(choice))
            continue;
        seen.insert(choice);
        entries.append({QString::fromLocal8Bit(c.sensor) + QStringLiteral(" \u203a ") +
                            QString::fromLocal8Bit(c.name) + QStringLiteral("   ") +
                            valueText(c.kind, c.value),
                        choice});
    }
    if (!current.isEmpty() && !seen.contains(current))
        entries.append({missing(current), current});
    return entries;
}

QVector<SourceEntry> forCard(const SourceReport &report, const QString &current)
{
    QVector<SourceEntry> entries{{automatic, QString()}};
    QSet<QString> seen;
    for (const SourceCandidate &c : report.candidates) {
        const QString sensor = QString::fromLocal8Bit(c.sensor);
        if (seen.contains(sensor) || !feedsGpuValue(c))
            continue;
        seen.insert(sensor);
        entries.append({sensor, sensor});
    }
    if (!current.isEmpty() && !seen.contains(current))
        entries.append({missing(current), current});
    return entries;
}

} // namespace SourceEntries
