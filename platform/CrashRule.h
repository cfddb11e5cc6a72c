#pragma once
#include <cstdint>

// When a crash restarts the program. Plain C++ without Qt: the Linux signal handler and the
// Windows exception filter both call it, and neither may touch Qt at that point.
namespace CrashRule {

// Uptime from which a crash starts a new copy; earlier crashes end the program for good, so
// a copy that crashes during start-up cannot restart itself in a loop.
constexpr int32_t restartAfterMSecs = 60000;

// The last 8 decimal digits of the milliseconds since the epoch, read as a signed number:
// the stamp wraps every 100 000 000 ms (about 27.8 hours). Before 1970 the decimal text
// carries a minus sign, which stays among the last 8 characters only while the number is
// shorter than 8 digits.
constexpr int32_t stampFromMSecs(int64_t msecsSinceEpoch)
{
    constexpr int64_t wrap = 100000000;
    if (msecsSinceEpoch >= 0)
        return static_cast<int32_t>(msecsSinceEpoch % wrap);
    if (msecsSinceEpoch > -10000000)
        return static_cast<int32_t>(msecsSinceEpoch);
    return static_cast<int32_t>(-(msecsSinceEpoch % wrap));
}

// Signed 32-bit difference without any correction for the wrap: across it the uptime comes
// out negative.
constexpr int32_t uptime(int32_t startStamp, int32_t nowStamp)
{
    return static_cast<int32_t>(static_cast<uint32_t>(nowStamp) -
                                static_cast<uint32_t>(startStamp));
}

// A stamp of 0 means the start was never recorded.
constexpr bool shouldRestart(int32_t startStamp, int32_t nowStamp)
{
    return startStamp != 0 && uptime(startStamp, nowStamp) >= restartAfterMSecs;
}

} // namespace CrashRule
