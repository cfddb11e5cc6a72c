// Linked into the TSan build only. Qt is not built with TSan, so the locking inside QMutex
// and QWaitCondition is invisible to it, and every value our code guards with them would
// be reported as a race. These definitions take the place of Qt's exported ones for calls
// from our code, call Qt's own, and tell TSan about the ordering each one establishes.
// QThread::wait() is invisible too (Qt's threads are detached): a thread's unlocks also
// release its QThread object, which wait() acquires, so what a thread did up to its last
// unlock is ordered before the return of wait().
#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <dlfcn.h>
#include <sanitizer/tsan_interface.h>

namespace {

template <typename Function> Function qtCore(const char *symbol)
{
    // The next definition after this one: Qt's own.
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, symbol));
}

} // namespace

void QMutex::lock()
{
    static const auto real = qtCore<void (*)(QMutex *)>("_ZN6QMutex4lockEv");
    real(this);
    __tsan_acquire(this);
}

bool QMutex::tryLock(int timeout)
{
    static const auto real = qtCore<bool (*)(QMutex *, int)>("_ZN6QMutex7tryLockEi");
    const bool locked = real(this, timeout);
    if (locked)
        __tsan_acquire(this);
    return locked;
}

void QMutex::unlock()
{
    static const auto real = qtCore<void (*)(QMutex *)>("_ZN6QMutex6unlockEv");
    __tsan_release(this);
    __tsan_release(QThread::currentThread());
    real(this);
}

bool QThread::wait(unsigned long time)
{
    static const auto real = qtCore<bool (*)(QThread *, unsigned long)>("_ZN7QThread4waitEm");
    const bool ended = real(this, time);
    if (ended)
        __tsan_acquire(this);
    return ended;
}

bool QThread::wait(QDeadlineTimer deadline)
{
    static const auto real =
        qtCore<bool (*)(QThread *, QDeadlineTimer)>("_ZN7QThread4waitE14QDeadlineTimer");
    const bool ended = real(this, deadline);
    if (ended)
        __tsan_acquire(this);
    return ended;
}

bool QWaitCondition::wait(QMutex *mutex, unsigned long time)
{
    static const auto real = qtCore<bool (*)(QWaitCondition *, QMutex *, unsigned long)>(
        "_ZN14QWaitCondition4waitEP6QMutexm");
    __tsan_release(mutex);
    __tsan_release(QThread::currentThread());
    const bool woken = real(this, mutex, time);
    __tsan_acquire(this);
    __tsan_acquire(mutex);
    return woken;
}

bool QWaitCondition::wait(QMutex *mutex, QDeadlineTimer deadline)
{
    static const auto real = qtCore<bool (*)(QWaitCondition *, QMutex *, QDeadlineTimer)>(
        "_ZN14QWaitCondition4waitEP6QMutex14QDeadlineTimer");
    __tsan_release(mutex);
    __tsan_release(QThread::currentThread());
    const bool woken = real(this, mutex, deadline);
    __tsan_acquire(this);
    __tsan_acquire(mutex);
    return woken;
}

void QWaitCondition::wakeOne()
{
    static const auto real = qtCore<void (*)(QWaitCondition *)>("_ZN14QWaitCondition7wakeOneEv");
    __tsan_release(this);
    real(this);
}

void QWaitCondition::wakeAll()
{
    static const auto real = qtCore<void (*)(QWaitCondition *)>("_ZN14QWaitCondition7wakeAllEv");
    __tsan_release(this);
    real(this);
}
