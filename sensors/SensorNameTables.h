#pragma once
#include "model/SensorReadings.h"

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
