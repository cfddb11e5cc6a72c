#include "platform/CrashRestart.h"

// Placeholder until the crash handler lands.
void CrashRestart::recordStartStamp() {}
void CrashRestart::install() {}
