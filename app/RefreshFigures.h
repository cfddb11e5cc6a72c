#pragma once
#include "platform/SystemFigures.h"

#include <QString>

// The texts and numbers the refresh derives from the system figures and the readings.
namespace RefreshFigures {

// "used G/total G" with one decimal, from single-precision GiB: 16 GiB with 8.04 GiB
// available reads "8.0G/16.0G".
QString memoryText(const SystemFigures::Memory &memory);

struct DriveFigures
{
    int usagePercent = 0; // share in use, truncated
    QString text;         // "usedG/totalG", rounded to whole GiB, e.g. "120G/237G"
};

// Figures of a drive that was found; a drive of total 0 gives zeros and "0G/0G".
DriveFigures driveFigures(const SystemFigures::Drive &drive);

// A reading as a whole number, truncated toward zero; NaN is 0 and huge values saturate.
int truncatedReading(float value);

// The running maximum of an auto-ranged bar after a new value: at least 1, and above every
// value seen (value + 1 once the value passes it); a value equal to it leaves it unchanged.
int autoRangeMaximum(int maximum, int value);

} // namespace RefreshFigures
