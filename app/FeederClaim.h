#pragma once
#include "platform/FeederLock.h"

#include <QString>

// Whether this process may feed the display: only the first of Tarnix and tarnixd on the
// machine does, whichever user runs each; the other leaves the display alone and tries the
// claim again later. Each change is logged once.
class FeederClaim
{
public:
    explicit FeederClaim(const QString &lockName = QStringLiteral("tarnix-display"));

    /// Tries the claim when not held yet; true while this process holds it.
    bool claim();
    bool held() const { return lock.held(); }
    /// Gives it up (before a quit), so another program can feed the display at once.
    void release() { lock.release(); }

    /// The log line for a refused claim.
    static QString refusedLine(qint64 holderPid, const QString &location);

private:
    FeederLock lock;
    bool refusedLogged = false;
};
