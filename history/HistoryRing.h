#pragma once
#include "history/HistoryChannels.h"

#include <QVector>
#include <QtGlobal>

#include <vector>

// Minimum, average and maximum of the values measured in a span; count 0 when none was.
struct SpanStats
{
    int count = 0;
    double minimum = 0;
    double average = 0;
    double maximum = 0;
};

// Statistics of a series, skipping missing (NaN) values.
SpanStats spanStats(const QVector<float> &values);

// The last hour of samples, one per second, in a block allocated once. Samples are placed by
// their second, so a second without a pass (sleep, a stalled library) reads as missing.
// Not locked: the owner serialises access.
class HistoryRing
{
public:
    static constexpr int kDefaultSeconds = 3600;
    /// A sample this much older than the newest means the clock was set back.
    static constexpr int kClockSetBackSeconds = 10;

    explicit HistoryRing(int seconds = kDefaultSeconds);

    int capacity() const { return m_capacity; }
    bool isEmpty() const { return m_newest < 0; }
    // The second of the newest sample (seconds since the epoch), -1 while empty.
    qint64 newestSecond() const { return m_newest; }

    // Stores the sample of a second; a second a little older than the newest is dropped, the
    // same second again replaces it, and skipped seconds become missing. A clock set back by
    // kClockSetBackSeconds or more starts the ring afresh.
    void append(qint64 second, const HistoryChannels::Sample &sample);

    // One channel's value at a second; NaN when missing or out of the ring.
    float value(qint64 second, int channel) const;
    // The channel's values for the `seconds` seconds that end with `endSecond`, oldest first.
    QVector<float> series(int channel, qint64 endSecond, int seconds) const;

private:
    float *row(qint64 second);
    const float *row(qint64 second) const;
    bool holds(qint64 second) const;
    void clearRow(qint64 second);

    int m_capacity;
    qint64 m_newest = -1;
    std::vector<float> m_values; // m_capacity rows of HistoryChannels::kCount values
};
