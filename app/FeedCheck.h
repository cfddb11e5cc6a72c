#pragma once
#include "device/DisplayAccess.h"

#include <QList>
#include <QString>
#include <QTextStream>

// `--check`: what stands between the program and a fed display, in words, and the fix.
namespace FeedCheck {

struct Findings
{
    QList<DisplayAccess::Node> displays;
    bool otherFeeder = false; // another process holds the feeder lock
    qint64 otherFeederPid = 0;
    int sensorStatus = 0; // 0 when the library started
    int readings = 0;     // readings one pass gave
    QString settingsFile;
    QString logFolder;
};

/// Looks at the display, the feeder lock, the sensor library beside the executable and the
/// folders. Needs a QCoreApplication.
Findings gather();
/// Writes the findings and returns the exit code: 0 when the display can be fed (also when
/// another program feeds it), 1 when it cannot, with the fix.
int report(const Findings &findings, QTextStream &out);

} // namespace FeedCheck
