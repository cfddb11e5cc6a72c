#include "history/ReadingsRecorder.h"

#include "history/HistoryRing.h"
#include "history/ReadingsCsv.h"

#include <QDebug>
#include <QDir>
#include <QFile>

namespace {
// Longer than any row, so that the tail read holds a full hour.
constexpr qint64 kMaxRowBytes = 400;
} // namespace

ReadingsRecorder::ReadingsRecorder(const QString &folder, int retentionDays)
    : m_folder(folder), m_retentionDays(retentionDays)
{
}

QString ReadingsRecorder::filePath(const QDate &day) const
{
    return QDir(m_folder).filePath(ReadingsCsv::fileName(day));
}

void ReadingsRecorder::add(const QDateTime &local, const HistoryChannels::Sample &sample)
{
    const QDate day = local.date();
    if (m_day.isValid() && day != m_day) {
        flush();
        removeExpired(day);
    }
    if (!m_day.isValid())
        m_lastFlush = local.toSecsSinceEpoch();
    m_day = day;
    m_pending += ReadingsCsv::row(local, sample);
    if (local.toSecsSinceEpoch() - m_lastFlush >= kFlushSeconds) {
        m_lastFlush = local.toSecsSinceEpoch();
        flush();
    }
}

bool ReadingsRecorder::flush()
{
    if (m_pending.isEmpty())
        return true;
    const bool written = writeOut();
    if (written && m_paused) {
        m_paused = false;
        qDebug() << "Record resumed:" << filePath(m_day);
    } else if (!written && !m_paused) {
        m_paused = true;
        qDebug() << "Record paused, cannot write" << filePath(m_day);
    }
    // While paused the rows are dropped: memory stays bounded and the feed goes on.
    m_pending.clear();
    return written;
}

bool ReadingsRecorder::writeOut()
{
    QDir().mkpath(m_folder);
    QFile file(filePath(m_day));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const qint64 before = file.size();
    QByteArray bytes = before == 0 ? ReadingsCsv::header() + m_pending : m_pending;
    const bool ok = file.write(bytes) == bytes.size() && file.flush();
    if (!ok)
        file.resize(before); // no torn row in front of the next one
    return ok;
}

void ReadingsRecorder::removeExpired(const QDate &today)
{
    QDir dir(m_folder);
    const QStringList names = dir.entryList({QStringLiteral("readings-*.csv")}, QDir::Files);
    for (const QString &name : ReadingsCsv::expired(names, today, m_retentionDays))
        if (dir.remove(name))
            qDebug() << "Record removed:" << name;
}

namespace RecordReader {

int fillRing(const QString &path, qint64 nowSecond, HistoryRing &ring)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const qint64 tail = qint64(ring.capacity()) * kMaxRowBytes;
    if (file.size() > tail) {
        file.seek(file.size() - tail);
        file.readLine(); // the rest of a row cut by the seek
    }
    const qint64 oldest = nowSecond - ring.capacity() + 1;
    int taken = 0;
    QDateTime time;
    HistoryChannels::Sample sample;
    while (!file.atEnd()) {
        if (!ReadingsCsv::parseRow(file.readLine(kMaxRowBytes), &time, &sample))
            continue;
        const qint64 second = time.toSecsSinceEpoch();
        if (second < oldest || second > nowSecond)
            continue;
        ring.append(second, sample);
        ++taken;
    }
    return taken;
}

} // namespace RecordReader
