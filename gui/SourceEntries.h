#pragma once
#include "sensors/SensorSources.h"

#include <QString>
#include <QVector>

// What the sources dialog offers in one drop-down: "Automatic" first, then the readings of
// the value's kind with their live values, and a chosen reading that is missing right now.
struct SourceEntry
{
    QString label;
    QString choice; // the text stored for the value; empty for "Automatic"

    bool operator==(const SourceEntry &other) const
    {
        return label == other.label && choice == other.choice;
    }
};

namespace SourceEntries {

/// A reading's value with its unit: "45.9 °C", "37 %", "4700 MHz", "65.4 W", "1234 RPM".
QString valueText(ReadingKind kind, double value);

/// The entries for value \a value; \a current is the stored choice (empty: automatic, and
/// then the "Automatic" entry names the reading the tables took).
QVector<SourceEntry> forValue(const SourceReport &report, int value, const QString &current);

/// The entries for the GPU card: "Automatic", then every sensor with a reading that the name
/// tables would take for a GPU value, then \a current when it is missing.
QVector<SourceEntry> forCard(const SourceReport &report, const QString &current);

} // namespace SourceEntries
