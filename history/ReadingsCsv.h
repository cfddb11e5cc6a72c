#pragma once
#include "history/HistoryChannels.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QStringList>

// The record's file format: one file a day, a header row, then one row per second with the
// local time and its offset, and every value in its unit (temperatures in °C) with a dot as
// decimal point; an empty field is a value that was not measured.
namespace ReadingsCsv {

QString fileName(const QDate &day);
// The day a record file holds, or an invalid date for any other name.
QDate dayOfFile(const QString &fileName);
// The names among `fileNames` whose day lies more than `retentionDays` before `today`;
// a retention of 0 or less keeps everything.
QStringList expired(const QStringList &fileNames, const QDate &today, int retentionDays);

QByteArray header();
// "2026-12-09T08:15:02+01:00": local time with the offset it had.
QString timeText(const QDateTime &local);
// The shortest text that reads back as the same float.
QString valueText(float value);
QByteArray row(const QDateTime &local, const HistoryChannels::Sample &sample);

// A row read back; false for the header, a torn or foreign line.
bool parseRow(const QByteArray &line, QDateTime *time, HistoryChannels::Sample *sample);

} // namespace ReadingsCsv
