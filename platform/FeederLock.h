#pragma once
#include <QString>

// The claim to feed the display, shared by every program on the machine whoever runs it: the
// first process to take it feeds the display, any other leaves the display alone. It is held
// by the process, not by a file on disk, so a crashed or killed holder never leaves it taken.
//
// Linux: flock() on a lock file in /run/lock (else /tmp), world-writable so that any user can
// open it; TARNIX_LOCK_DIR names another folder (tests, containers). Windows: a named mutex in
// the Global namespace, open to every user.
class FeederLock
{
public:
    /// name: the lock's name, a plain file name without folder ("tarnix-display").
    explicit FeederLock(const QString &name);
    ~FeederLock();
    FeederLock(const FeederLock &) = delete;
    FeederLock &operator=(const FeederLock &) = delete;

    /// Takes the lock without waiting; true when this process holds it (also when it held it
    /// already).
    bool tryAcquire();
    void release();
    bool held() const { return m_held; }
    /// The process that holds the lock as far as it said so (Linux), 0 when unknown.
    qint64 holderPid() const;
    /// Where the lock lives, for messages.
    QString location() const { return m_location; }

private:
    QString m_location;
    bool m_held = false;
    qintptr m_handle = -1; // file descriptor or mutex handle; -1 when none
};
