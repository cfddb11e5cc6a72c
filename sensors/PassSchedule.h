#pragma once
#include <cstdint>

// When the sensor thread's passes begin: on a fixed grid of one period, so the time a pass
// takes does not stretch the period.
namespace PassSchedule {

/// The deadline after \a previous, all in milliseconds of a monotonic clock: one period later,
/// or, when \a now is already past that, the first point of the grid after \a now. A pass late
/// by more than a period (a stall, a slow library) skips the points it missed instead of
/// running them back to back.
int64_t nextDeadline(int64_t previous, int64_t now, int64_t period);

} // namespace PassSchedule
