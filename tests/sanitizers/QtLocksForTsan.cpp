// Linked into the TSan build only. Qt is not built with TSan, so the locking inside QMutex
// and QWaitCondition is invisible to it, and every value our code guards with them would
// be reported as a race. These definitions take the place of Qt's exported ones for calls
// from our code, call Qt's own, and tell TSan about the ordering each one establishes.
// QThread::wait() is invisible too (Qt's threads are detached and end under Qt's own lock):
// start() hooks the thread's finished() signal, which Qt emits on that thread once run()
// has returned, to release the QThread object, and wait() acquires it, so all that run()
// did is ordered before the return of wait().
#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <dlfcn.h>
#include <sanitizer/tsan_interface.h>

extern "C" void __tsan_ignore_thread_begin();
extern "C" void __tsan_ignore_thread_end();

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
    real(this);
}

void QThread::start(Priority priority)
{
    static const auto real =
        qtCore<void (*)(QThread *, Priority)>("_ZN7QThread5startENS_8PriorityE");
    // Without a context object the slot runs on the ending thread itself. A second start()
    // of a running thread adds a second release: harmless. The slot captures nothing: a
    // thread deleted with deleteLater() frees the slot on another thread, and reading a
    // capture here would look like a race with that.
    QObject::connect(this, &QThread::finished, [] { __tsan_release(QThread::currentThread()); });
    real(this, priority);
}

// The base destructor that our QThread subclasses' destructors end in. After run(), Qt's
// thread still wakes the QThread's own wait condition, ordered before wait() returns only by
// Qt's internal lock, so freeing that wait condition here would be reported. Nothing of ours
// runs in this part (our threads have no children), so it goes unchecked; freeing the object
// itself comes after it and is still checked.
extern "C" void tarnixQThreadBaseDestructor(QThread *thread) __asm__("_ZN7QThreadD2Ev");
extern "C" void tarnixQThreadBaseDestructor(QThread *thread)
{
    static const auto real = qtCore<void (*)(QThread *)>("_ZN7QThreadD2Ev");
    __tsan_ignore_thread_begin();
    real(thread);
    __tsan_ignore_thread_end();
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
