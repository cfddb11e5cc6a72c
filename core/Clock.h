#pragma once
#include <QDateTime>
#include <functional>

// The one place the program reads the wall clock, so tests can set the time instead of
// sleeping until a date arrives (log file names and retention, the frame's date and time).
namespace Clock {

QDateTime now();
qint64 currentMSecsSinceEpoch();

// Tests install a source of "now"; an empty function restores the real clock.
void setNowSourceForTesting(std::function<QDateTime()> source);

} // namespace Clock
