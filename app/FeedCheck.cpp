#include "app/FeedCheck.h"

#include "core/UserStore.h"
#include "device/DisplayIds.h"
#include "sensors/getPcInfoThread.h"
#include "logCollect/log_out.h"
#include "platform/FeederLock.h"

#include <QObject>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

// The sensor thread prints its start-up to standard output; here that is noise among the
// findings, so it goes to standard error while the library starts.
class StdoutToStderr
{
public:
    StdoutToStderr()
    {
        std::fflush(stdout);
        saved = ::dup(1);
        ::dup2(2, 1);
    }
    ~StdoutToStderr()
    {
        std::fflush(stdout);
        if (saved >= 0) {
            ::dup2(saved, 1);
            ::close(saved);
        }
    }

private:
    int saved = -1;
};

void gatherSensors(FeedCheck::Findings &findings)
{
    StdoutToStderr quiet;
    getPcInfoThread poller;
    int status = 0;
    QObject::connect(&poller, &getPcInfoThread::sigTheSdkInitStatus,
                     [&status](bool, int code) { status = code; });
    int readings = 0;
    poller.setReadingObserver(
        [&readings](const char *, ReadingKind, const char *, double) { ++readings; });
    poller.initSdk();
    findings.sensorStatus = status;
    if (status == 0) {
        poller.pollOnce();
        poller.stopPolling();
    }
    findings.readings = readings;
}

} // namespace

namespace FeedCheck {

Findings gather()
{
    Findings findings;
    findings.displays = DisplayAccess::probe();
    FeederLock lock(QStringLiteral("tarnix-display"));
    findings.otherFeeder = !lock.tryAcquire();
    if (findings.otherFeeder)
        findings.otherFeederPid = lock.holderPid();
    lock.release();
    gatherSensors(findings);
    findings.settingsFile = openUserStore()->fileName();
    findings.logFolder = LogFormat::folderPath();
    return findings;
}

int report(const Findings &findings, QTextStream &out)
{
    bool opens = false;
    bool denied = false;
    out << "Displays: " << findings.displays.size() << " found\n";
    for (const DisplayAccess::Node &node : findings.displays) {
        out << "  " << node.path << ": " << DeviceNodeAccess::describe(node.result, node.detail)
            << '\n';
        opens = opens || node.result == DeviceNodeAccess::Result::Opens;
        denied = denied || node.result == DeviceNodeAccess::Result::PermissionDenied;
    }
    if (findings.otherFeeder) {
        out << "Feeder: another program feeds the display";
        if (findings.otherFeederPid > 0)
            out << " (process " << findings.otherFeederPid << ')';
        out << "; this one would leave it alone\n";
    }
    if (findings.sensorStatus == 0)
        out << "Sensor library: started, " << findings.readings << " readings\n";
    else
        out << "Sensor library: not started (status " << findings.sensorStatus << ")\n";
    out << "Settings: " << findings.settingsFile << '\n';
    out << "Log folder: " << findings.logFolder << '\n';

    int code = 0;
    if (findings.displays.isEmpty()) {
        out << "Fix: plug in the display (USB " << QString::number(DisplayIds::kVendorId, 16) << ':'
            << QString::number(DisplayIds::kProductId, 16)
            << "); it is fed as soon as it appears\n";
        code = 1;
    } else if (!opens) {
        out << "Fix: "
            << (denied ? DisplayAccess::permissionMend()
                       : QStringLiteral("unplug the display and plug it in again"))
            << '\n';
        code = 1;
    }
    if (findings.sensorStatus != 0) {
        out << "Fix: put " << SensorLibrary::fileName()
            << " beside the executable (the package installs it)\n";
        code = 1;
    }
    out << (code == 0 ? "The display can be fed.\n" : "The display cannot be fed.\n");
    out.flush();
    return code;
}

} // namespace FeedCheck
