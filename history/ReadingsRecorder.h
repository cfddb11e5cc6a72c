#pragma once
#include "history/HistoryChannels.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

class HistoryRing;

// Writes the daily record files. Rows gather in memory and reach the file at least every
// kFlushSeconds and on flush(), so a crash loses at most that much. A write that fails (full
// or read-only disk, folder gone) logs one line, drops what was waiting and pauses the record;
// every later flush tries again and the first that succeeds logs that the record resumed.
class ReadingsRecorder
{
public:
    static constexpr int kFlushSeconds = 10;

    ReadingsRecorder(const QString &folder, int retentionDays);

    QString folder() const { return m_folder; }
    bool isPaused() const { return m_paused; }
    QString filePath(const QDate &day) const;

    void add(const QDateTime &local, const HistoryChannels::Sample &sample);
    // Writes what is waiting; false when the write failed.
    bool flush();
    // Removes the record files older than the retention, counted back from `today`.
    void removeExpired(const QDate &today);

private:
    bool writeOut();

    QString m_folder;
    int m_retentionDays;
    QDate m_day;
    QByteArray m_pending;
    qint64 m_lastFlush = 0; // seconds since the epoch
    bool m_paused = false;
};

namespace RecordReader {
// Puts the rows of a record file that fall within the ring's span before `nowSecond` into
// the ring. Reads only the file's tail, line by line. Answers the number of rows taken.
int fillRing(const QString &path, qint64 nowSecond, HistoryRing &ring);
} // namespace RecordReader
