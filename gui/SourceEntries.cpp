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

QString label(const SourceCandidate &c)
{
    // Reading and value first: a long sensor name is what the drop-down cuts.
    return QString::fromLocal8Bit(c.name) + QStringLiteral("   ") +
           SourceEntries::valueText(c.kind, c.value) + QStringLiteral("   \u00b7   ") +
           QString::fromLocal8Bit(c.sensor);
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
    // While automatic, the entry says what the name tables took.
    QString automaticLabel = automatic;
    const int picked = report.chosen[size_t(value)];
    if (current.isEmpty() && picked >= 0 && size_t(picked) < report.candidates.size())
        automaticLabel += QStringLiteral(":  ") + label(report.candidates[size_t(picked)]);
    QVector<SourceEntry> entries{{automaticLabel, QString()}};
    QSet<QString> seen;
    for (const int i : SensorSources::candidatesFor(report, value)) {
        const SourceCandidate &c = report.candidates[size_t(i)];
        const QString choice = SensorSources::refText(c);
        // The first of two same-named readings is the one a choice takes.
        if (seen.contains(choice))
            continue;
        seen.insert(choice);
        entries.append({label(c), choice});
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
