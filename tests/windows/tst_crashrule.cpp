// The restart rule and the filter's clock as the Windows build sees them.
#include "platform/CrashRule.h"
#include "platform/windows/CrashRestartWindows.h"
#include "winTestMain.h"

#include <ctime>

int main()
{
    using CrashRule::shouldRestart;
    WCHECK(!shouldRestart(1000, 60999));
    WCHECK(shouldRestart(1000, 61000));
    WCHECK(!shouldRestart(99990000, 70000));
    WCHECK(!shouldRestart(0, 90000000));
    WCHECK(CrashRule::stampFromMSecs(1733699999999LL) == 99999999);
    WCHECK(CrashRule::stampFromMSecs(1733700000000LL) == 0);

    // The FILETIME conversion agrees with the C clock, to the second, modulo the wrap.
    const int32_t expected = CrashRule::stampFromMSecs(int64_t(std::time(nullptr)) * 1000);
    const int32_t actual = CrashRestart::currentStamp();
    const int32_t apart = (actual - expected + 100000000) % 100000000;
    WCHECK(apart < 2000 || apart > 100000000 - 2000);

    return wintestSummary("tst_crashrule");
}
