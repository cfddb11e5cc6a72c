#include "HistoryTests.h"

#include "history/HistoryRing.h"
#include "model/Units.h"

#include <QtTest>

#include <cmath>

namespace {

using HistoryChannels::Sample;

Sample sampleWith(float cpuTemperature)
{
    Sample sample = HistoryChannels::missingSample();
    sample[HistoryChannels::CpuTemperature] = cpuTemperature;
    return sample;
}

// "40 41 _ 43": the series as text, "_" for missing.
QString text(const QVector<float> &values)
{
    QStringList words;
    for (float v : values)
        words << (std::isnan(v) ? QStringLiteral("_") : QString::number(double(v)));
    return words.join(QLatin1Char(' '));
}

} // namespace

void HistoryRingTest::series_data()
{
    QTest::addColumn<QString>("appends"); // "second:value" pairs, in order
    QTest::addColumn<int>("endSecond");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("expected");

    // A ring of 4 seconds.
    QTest::newRow("empty ring reads missing") << "" << 10 << 3 << "_ _ _";
    QTest::newRow("consecutive seconds") << "10:1 11:2 12:3" << 12 << 3 << "1 2 3";
    QTest::newRow("span longer than what was kept") << "10:1 11:2" << 11 << 4 << "_ _ 1 2";
    QTest::newRow("a skipped second is missing") << "10:1 12:3" << 12 << 3 << "1 _ 3";
    QTest::newRow("wraps, keeping the newest four")
        << "10:1 11:2 12:3 13:4 14:5 15:6" << 15 << 6 << "_ _ 3 4 5 6";
    QTest::newRow("a gap longer than the ring clears it")
        << "10:1 11:2 30:9" << 30 << 4 << "_ _ _ 9";
    QTest::newRow("an older second is dropped") << "10:1 12:3 11:7" << 12 << 3 << "1 _ 3";
    QTest::newRow("the same second again replaces it") << "10:1 10:5" << 10 << 1 << "5";
    QTest::newRow("a clock set back starts afresh")
        << "100:1 101:2 102:3 50:7 51:8" << 51 << 4 << "_ _ 7 8";
    QTest::newRow("a clock a little back is a late sample")
        << "100:1 101:2 95:7" << 101 << 2 << "1 2";
    QTest::newRow("gap of exactly the ring after wrap")
        << "10:1 11:2 12:3 13:4 17:8" << 17 << 4 << "_ _ _ 8";
}

void HistoryRingTest::series()
{
    QFETCH(QString, appends);
    QFETCH(int, endSecond);
    QFETCH(int, seconds);
    QFETCH(QString, expected);
    HistoryRing ring(4);
    for (const QString &pair : appends.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = pair.split(QLatin1Char(':'));
        ring.append(parts[0].toLongLong(), sampleWith(parts[1].toFloat()));
    }
    QCOMPARE(text(ring.series(HistoryChannels::CpuTemperature, endSecond, seconds)), expected);
}

void HistoryRingTest::stats_data()
{
    QTest::addColumn<QVector<float>>("values");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("average");
    QTest::addColumn<double>("maximum");
    const float nan = std::nanf("");
    QTest::newRow("all missing") << QVector<float>{nan, nan} << 0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("missing values skipped")
        << QVector<float>{nan, 40, nan, 60, 50} << 3 << 40.0 << 50.0 << 60.0;
    QTest::newRow("negative values") << QVector<float>{-5, -1} << 2 << -5.0 << -3.0 << -1.0;
}

void HistoryRingTest::stats()
{
    QFETCH(QVector<float>, values);
    QFETCH(int, count);
    QFETCH(double, minimum);
    QFETCH(double, average);
    QFETCH(double, maximum);
    const SpanStats stats = spanStats(values);
    QCOMPARE(stats.count, count);
    QCOMPARE(stats.minimum, minimum);
    QCOMPARE(stats.average, average);
    QCOMPARE(stats.maximum, maximum);
}

void HistoryRingTest::sampleOfMissingFigures()
{
    RefreshSnapshot pass;
    pass.readings.cpuTemperature = 51.5f;
    pass.readings.gpuFan = 0; // a stopped fan is a value, not a gap
    Sample sample = HistoryChannels::sampleOf(pass);
    QCOMPARE(sample[HistoryChannels::CpuTemperature], 51.5f);
    QCOMPARE(sample[HistoryChannels::GpuFan], 0.0f);
    QVERIFY(std::isnan(sample[HistoryChannels::MemoryLoad]));
    QVERIFY(std::isnan(sample[HistoryChannels::DriveUsage]));

    pass.memory = {true, 37, 16 * kBytesPerGiB, 8 * kBytesPerGiB};
    pass.drive = {true, 100, 39};
    sample = HistoryChannels::sampleOf(pass);
    QCOMPARE(sample[HistoryChannels::MemoryLoad], 37.0f);
    QCOMPARE(sample[HistoryChannels::MemoryUsed], 8.0f);
    QCOMPARE(sample[HistoryChannels::DriveUsage], 61.0f);
}
