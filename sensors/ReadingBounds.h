#pragma once
#include "sensors/SensorNameTables.h"

#include <set>
#include <string>

// Physical bounds of each kind of reading. A library that misreads a register (ours or a
// third party's) can report a temperature of millions of degrees or a negative fan speed;
// such a value never reaches the window or the display as if it were true.

namespace ReadingBounds {

struct Range
{
    double low;
    double high;
};

/// The values a real sensor of \a kind can give, both ends included.
Range range(ReadingKind kind);

} // namespace ReadingBounds

/// False for a value outside its kind's physical bounds, and for NaN.
bool plausible(ReadingKind kind, double value);

/// Keeps implausible readings out of a pass: each one is absent for that pass and written to
/// the log the first time it is seen (per sensor, kind and name), not every second.
class ImplausibleReadings
{
public:
    /// True when the reading may be used.
    bool admit(const char *sensor, ReadingKind kind, const char *name, double value);

private:
    std::set<std::string> logged;
};
