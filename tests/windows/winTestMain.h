#pragma once
// A minimal check harness for the Qt-free Windows layer tests that run under wine.
#include <cstdio>

namespace wintest {
inline int checks = 0;
inline int failures = 0;
} // namespace wintest

#define WCHECK(cond)                                                                           \
    do {                                                                                       \
        ++wintest::checks;                                                                     \
        if (!(cond)) {                                                                         \
            ++wintest::failures;                                                               \
            std::printf("FAIL %s:%d: %s\n", __FILE__, __LINE__, #cond);                        \
        }                                                                                      \
    } while (0)

inline int wintestSummary(const char *name)
{
    std::printf("%s: %d passed, %d failed\n", name, wintest::checks - wintest::failures,
                wintest::failures);
    std::fflush(stdout);
    return wintest::failures == 0 ? 0 : 1;
}
