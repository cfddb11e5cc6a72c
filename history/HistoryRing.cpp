#include "history/HistoryRing.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr float kMissing = std::numeric_limits<float>::quiet_NaN();
}

SpanStats spanStats(const QVector<float> &values)
{
    SpanStats stats;
    double sum = 0;
    for (float v : values) {
        if (std::isnan(v))
            continue;
        if (stats.count == 0 || v < stats.minimum)
            stats.minimum = v;
        if (stats.count == 0 || v > stats.maximum)
            stats.maximum = v;
        sum += v;
        ++stats.count;
    }
    if (stats.count > 0)
        stats.average = sum / stats.count;
    return stats;
}

HistoryRing::HistoryRing(int seconds)
    : m_capacity(std::max(1, seconds)),
      m_values(size_t(m_capacity) * HistoryChannels::kCount, kMissing)
{
}

float *HistoryRing::row(qint64 second)
{
    return m_values.data() + size_t(second % m_capacity) * HistoryChannels::kCount;
}

const float *HistoryRing::row(qint64 second) const
{
    return m_values.data() + size_t(second % m_capacity) * HistoryChannels::kCount;
}

bool HistoryRing::holds(qint64 second) const
{
    return m_newest >= 0 && second >= 0 && second <= m_newest && second > m_newest - m_capacity;
}

void HistoryRing::clearRow(qint64 second)
{
    std::fill_n(row(second), int(HistoryChannels::kCount), kMissing);
}

void HistoryRing::append(qint64 second, const HistoryChannels::Sample &sample)
{
    if (second < 0)
        return;
    if (m_newest >= 0 && second < m_newest) {
        if (second > m_newest - kClockSetBackSeconds)
            return;
        // The clock was set back: what is kept would lie in the "future" and hold the ring.
        std::fill(m_values.begin(), m_values.end(), kMissing);
        m_newest = -1;
    }
    if (m_newest >= 0) {
        // Only the rows still in the ring need clearing; a gap of an hour or more clears all.
        const qint64 from = std::max(m_newest + 1, second - m_capacity + 1);
        for (qint64 s = from; s < second; ++s)
            clearRow(s);
    }
    std::copy(sample.begin(), sample.end(), row(second));
    m_newest = second;
}

float HistoryRing::value(qint64 second, int channel) const
{
    if (!holds(second) || channel < 0 || channel >= HistoryChannels::kCount)
        return kMissing;
    return row(second)[channel];
}

QVector<float> HistoryRing::series(int channel, qint64 endSecond, int seconds) const
{
    QVector<float> values(std::max(0, seconds), kMissing);
    for (int i = 0; i < values.size(); ++i)
        values[i] = value(endSecond - (values.size() - 1 - i), channel);
    return values;
}
