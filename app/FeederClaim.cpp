#include "app/FeederClaim.h"

#include <QDebug>

FeederClaim::FeederClaim(const QString &lockName) : lock(lockName) {}

bool FeederClaim::claim()
{
    if (lock.held())
        return true;
    if (lock.tryAcquire()) {
        if (refusedLogged)
            qDebug() << "The other program no longer feeds the display: feeding it from now on";
        refusedLogged = false;
        return true;
    }
    if (!refusedLogged)
        qDebug().noquote() << refusedLine(lock.holderPid(), lock.location());
    refusedLogged = true;
    return false;
}

QString FeederClaim::refusedLine(qint64 holderPid, const QString &location)
{
    const QString who = holderPid > 0 ? QStringLiteral("process %1").arg(holderPid)
                                      : QStringLiteral("another process");
    return QStringLiteral("Display left alone: %1 already feeds it (Tarnix or tarnixd, lock %2)")
        .arg(who, location);
}
