#pragma once

// Restart after a crash: a copy is started (without arguments) when the crash comes more
// than a minute after the start.
namespace CrashRestart {
// Records the start stamp; called once, right after the single-instance check.
void recordStartStamp();
// Installs the process-wide crash handler.
void install();
} // namespace CrashRestart
