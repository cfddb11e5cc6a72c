// Crashes with the restart filter installed, its start stamp set back by the number of
// milliseconds given as the only argument. Started without arguments, as the filter starts
// a new copy, it leaves a marker file in the current folder instead and exits 0.
#include "platform/CrashRestart.h"
#include "platform/CrashRule.h"
#include "platform/windows/CrashRestartWindows.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

int writeMarker(int argc)
{
    std::FILE *marker = std::fopen("crash_restarted.txt", "wb");
    if (!marker)
        return 2;
    std::fprintf(marker, "argc=%d\n", argc);
    std::fclose(marker);
    return 0;
}

// Setting the stamp back across the 8-digit wrap would make the uptime negative; wait
// until the counter is far enough past it (at most once a day, for about a minute).
void waitUntilPastWrap(int32_t backMs)
{
    while (CrashRestart::currentStamp() < backMs + 5000)
        Sleep(100);
}

[[noreturn]] void crash()
{
    volatile uintptr_t nowhere = 0;
    *reinterpret_cast<volatile int *>(nowhere) = 1;
    std::abort();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 1)
        return writeMarker(argc);

    // No crash dialog and no debugger when the default handling runs.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const int32_t backMs = std::atoi(argv[1]);
    waitUntilPastWrap(backMs);
    CrashRestart::recordStartStamp();
    CrashRestart::setStartStampForTesting(CrashRestart::currentStamp() - backMs);
    CrashRestart::install();
    crash();
}
