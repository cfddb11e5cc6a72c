#pragma once
#include "sensors/SensorReadings.h"

// Which record field a reading feeds, decided by its name. Twelve targets, each with a
// table of names; a target takes only the first matching reading of a pass.

enum class ReadingKind
{
    Temperature,
    Fan,
    Power,
    Clock,
    Usage
};
constexpr int kReadingKindCount = 5;

namespace SensorNameTables {

constexpr int kTargetCount = 12;

/// Index of the first target of \a kind whose table matches \a name and whose bit in
/// \a marks is clear; -1 when none. Comparisons are case-sensitive.
int findTarget(ReadingKind kind, const char *name, unsigned marks);

/// The record field that target \a index fills.
float SensorReadings::*targetField(int index);

/// Short lower-case word for a kind ("temperature", "fan", ...).
const char *kindName(ReadingKind kind);

} // namespace SensorNameTables

// The marks of one pass: feeds accepted readings into a record.
class SensorNameMatcher
{
public:
    /// Starts a pass: clears the marks and every field of \a readings.
    void startPass(SensorReadings &readings);
    /// Stores \a value in the first free target that matches; returns whether one did.
    bool offer(ReadingKind kind, const char *name, double value, SensorReadings &readings);

private:
    unsigned marks = 0;
};
