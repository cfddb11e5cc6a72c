#include "platform/CrashRestart.h"
#include "platform/CrashRule.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <ctime>
#include <unistd.h>

// Everything the handler touches is prepared by install(): the handler itself runs in a
// process whose heap, locks and Qt state may be broken, so it calls only async-signal-safe
// functions (clock_gettime, getpid, getppid, _Fork, nanosleep, sigprocmask, execv, write,
// signal, raise, _exit) and reads only static data.

namespace {

const int crashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

std::atomic<int32_t> startStamp{0};
static_assert(std::atomic<int32_t>::is_always_lock_free, "read from a signal handler");

char exePath[PATH_MAX];
char *restartArgv[] = {exePath, nullptr};

// The alternate stack lets the handler run after a stack overflow; 64 KiB is far above
// MINSIGSTKSZ on every current CPU, including AVX-512 signal frames.
alignas(16) char handlerStack[64 * 1024];

// The replacement waits this long at most for the crashed process to end.
constexpr long parentWaitSteps = 6000;
constexpr long parentWaitStepNs = 20 * 1000 * 1000;

int32_t currentStamp()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return CrashRule::stampFromMSecs(int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
}

void writeText(const char *text)
{
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    ssize_t ignored = write(STDOUT_FILENO, text, length);
    (void)ignored;
}

pid_t forkSafely()
{
#if defined(__GLIBC__) && !__GLIBC_PREREQ(2, 34)
    return fork();
#else
    // Unlike fork(), _Fork runs no atfork handlers and takes no malloc locks, which a crash
    // inside malloc would leave held.
    return _Fork();
#endif
}

// In the child of the crashed process: start the replacement once the parent has gone, so
// its shared-memory attachment is released and the new copy's single-instance check passes.
[[noreturn]] void becomeReplacement(pid_t crashedPid)
{
    for (long i = 0; getppid() == crashedPid; ++i) {
        if (i == parentWaitSteps)
            _exit(1);
        const timespec step{0, parentWaitStepNs};
        nanosleep(&step, nullptr);
    }
    // execv keeps the signal mask, and the crash signal is blocked inside the handler.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    execv(exePath, restartArgv);
    writeText("Restart failed: the executable could not be started.\n");
    _exit(127);
}

void onCrashSignal(int signalNumber, siginfo_t *, void *)
{
    if (exePath[0] != '\0' && CrashRule::shouldRestart(startStamp.load(), currentStamp())) {
        const pid_t crashedPid = getpid();
        const pid_t child = forkSafely();
        if (child == 0)
            becomeReplacement(crashedPid);
        if (child < 0)
            writeText("Restart failed: no process could be created.\n");
    }
    // End as the crash it is: the default action runs once the handler returns, or, for a
    // fault, when the faulting instruction runs again.
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

void resolveExecutablePath()
{
    const ssize_t length = readlink("/proc/self/exe", exePath, sizeof(exePath) - 1);
    exePath[length > 0 ? length : 0] = '\0';
}

} // namespace

void CrashRestart::recordStartStamp()
{
    startStamp.store(currentStamp());
}

void CrashRestart::install()
{
    resolveExecutablePath();

    stack_t stack{};
    stack.ss_sp = handlerStack;
    stack.ss_size = sizeof(handlerStack);
    sigaltstack(&stack, nullptr);

    struct sigaction action
    {
    };
    action.sa_sigaction = onCrashSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : crashSignals)
        sigaction(signalNumber, &action, nullptr);
}
