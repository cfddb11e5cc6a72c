#pragma once
#include <cstdint>

// What the crash filter's tests need beyond the CrashRestart interface.
namespace CrashRestart {
// The 8-digit stamp of this moment, as the filter computes it.
int32_t currentStamp();
// Replaces the recorded start stamp, so a test can pretend the program started long ago.
void setStartStampForTesting(int32_t stamp);
} // namespace CrashRestart
