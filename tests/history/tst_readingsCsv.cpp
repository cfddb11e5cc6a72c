#include "HistoryTests.h"

#include "history/HistoryRing.h"
#include "history/HistorySettings.h"
#include "history/ReadingsCsv.h"
#include "history/ReadingsRecorder.h"
#include "tests/support/CapturedMessages.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

#include <cmath>

namespace {

using HistoryChannels::Sample;

Sample filled(float base)
{
    Sample sample;
    for (int c = 0; c < HistoryChannels::kCount; ++c)
        sample[c] = base + c;
    return sample;
}

int logged(const QString &start)
{
    int n = 0;
    std::lock_guard<std::mutex> guard(CapturedMessages::lock());
    for (const QString &message : CapturedMessages::messages())
        n += message.startsWith(start) ? 1 : 0;
    return n;
}

QDateTime at(const QString &iso)
{
    return QDateTime::fromString(iso, Qt::ISODate);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

void ReadingsCsvTest::roundTrip_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("timeText");
    QTest::addColumn<QString>("valueText");

    const QDateTime plusOne(QDate(2026, 12, 9), QTime(8, 15, 2), Qt::OffsetFromUTC, 3600);
    const QDateTime minusThreeHalf(QDate(2026, 1, 2), QTime(23, 59, 59), Qt::OffsetFromUTC,
                                   -(3 * 3600 + 1800));
    const QDateTime utc(QDate(2026, 6, 30), QTime(0, 0, 0), Qt::UTC);
    QTest::newRow("whole value, offset east") << plusOne << 45.0f << "2026-12-09T08:15:02+01:00"
                                              << "45";
    QTest::newRow("one decimal reads back exactly")
        << minusThreeHalf << 45.2f << "2026-01-02T23:59:59-03:30"
        << "45.2";
    QTest::newRow("fraction a float cannot hold") << utc << 0.1f << "2026-06-30T00:00:00+00:00"
                                                  << "0.1";
    QTest::newRow("large clock") << utc << 4999.75f << "2026-06-30T00:00:00+00:00"
                                 << "4999.75";
    QTest::newRow("negative") << utc << -12.5f << "2026-06-30T00:00:00+00:00"
                              << "-12.5";
    QTest::newRow("missing is empty") << utc << std::nanf("") << "2026-06-30T00:00:00+00:00"
                                      << "";
}

void ReadingsCsvTest::roundTrip()
{
    QFETCH(QDateTime, time);
    QFETCH(float, value);
    QFETCH(QString, timeText);
    QFETCH(QString, valueText);
    // A locale with a decimal comma must not reach the file.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Sample sample = filled(1.5f);
    sample[HistoryChannels::CpuTemperature] = value;
    const QByteArray row = ReadingsCsv::row(time, sample);
    QLocale::setDefault(before);

    QVERIFY(row.startsWith((timeText + QLatin1Char(',') + valueText + QLatin1Char(',')).toUtf8()));
    QVERIFY(row.endsWith('\n'));
    QCOMPARE(row.count(','), int(HistoryChannels::kCount));
    QDateTime parsedTime;
    Sample parsed;
    QVERIFY(ReadingsCsv::parseRow(row, &parsedTime, &parsed));
    QCOMPARE(parsedTime.toSecsSinceEpoch(), time.toSecsSinceEpoch());
    for (int c = 0; c < HistoryChannels::kCount; ++c) {
        if (std::isnan(sample[c]))
            QVERIFY(std::isnan(parsed[c]));
        else
            QCOMPARE(parsed[c], sample[c]);
    }
}

void ReadingsCsvTest::rejects_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("header") << ReadingsCsv::header();
    QTest::newRow("torn row") << QByteArray("2026-12-09T08:15:02+01:00,45,1");
    QTest::newRow("bad number")
        << ReadingsCsv::row(at("2026-12-09T08:15:02+01:00"), filled(1)).replace(",1,", ",1x,");
    QTest::newRow("decimal comma shifts the fields")
        << ReadingsCsv::row(at("2026-12-09T08:15:02+01:00"), filled(1)).replace(",1,", ",1,5,");
    QTest::newRow("empty") << QByteArray("\n");
}

void ReadingsCsvTest::rejects()
{
    QFETCH(QByteArray, line);
    QDateTime time;
    Sample sample;
    QVERIFY(!ReadingsCsv::parseRow(line, &time, &sample));
}

void ReadingsCsvTest::expired_data()
{
    QTest::addColumn<int>("retention");
    QTest::addColumn<QStringList>("removed");
    const QStringList none;
    QTest::newRow("keep everything") << 0 << none;
    QTest::newRow("a week") << 7
                            << QStringList{"readings-2026-12-01.csv", "readings-2026-11-30.csv",
                                           "readings-2025-12-09.csv"};
    QTest::newRow("one day keeps yesterday")
        << 1
        << QStringList{"readings-2026-12-01.csv", "readings-2026-11-30.csv",
                       "readings-2025-12-09.csv"};
    QTest::newRow("a year keeps last December's ninth") << 365 << QStringList{};
}

void ReadingsCsvTest::expired()
{
    QFETCH(int, retention);
    QFETCH(QStringList, removed);
    const QStringList names{"readings-2026-12-09.csv", "readings-2026-12-08.csv",
                            "readings-2026-12-01.csv", "readings-2026-11-30.csv",
                            "readings-2025-12-09.csv", "readings-2026-11-01.csv.bak",
                            "notes-2020-01-01.csv",    "readings-2026-13-01.csv"};
    QCOMPARE(ReadingsCsv::expired(names, QDate(2026, 12, 9), retention), removed);
}

void ReadingsCsvTest::recorderFlushesAndPauses()
{
    CapturedMessages::install();
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("records"));
    ReadingsRecorder recorder(folder, 0);
    const QDateTime start = at("2026-12-09T10:00:00+01:00");
    const QString path = recorder.filePath(start.date());
    for (int s = 0; s < 10; ++s)
        recorder.add(start.addSecs(s), filled(s));
    QVERIFY2(!QFile::exists(path), "rows wait in memory for up to 10 s");
    recorder.add(start.addSecs(10), filled(10));
    QByteArray text = readAll(path);
    QVERIFY(text.startsWith(ReadingsCsv::header()));
    QCOMPARE(text.count('\n'), 12);

    // The folder turns into a file: the record pauses with one log line, then resumes.
    QVERIFY(QDir(folder).removeRecursively());
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CapturedMessages::clear();
    for (int s = 11; s < 40; ++s)
        recorder.add(start.addSecs(s), filled(s));
    QVERIFY(recorder.isPaused());
    QCOMPARE(logged(QStringLiteral("Record paused")), 1);
    QVERIFY(QFile::remove(folder));
    for (int s = 40; s < 52; ++s)
        recorder.add(start.addSecs(s), filled(s));
    QVERIFY(!recorder.isPaused());
    QCOMPARE(logged(QStringLiteral("Record resumed")), 1);
    recorder.add(start.addSecs(52), filled(52));
    QVERIFY(recorder.flush());
    text = readAll(path);
    QVERIFY(text.startsWith(ReadingsCsv::header()));
    QVERIFY(text.endsWith(ReadingsCsv::row(start.addSecs(52), filled(52))));
    qInstallMessageHandler(nullptr);
}

void ReadingsCsvTest::recorderRollsOverAndRemoves()
{
    QTemporaryDir dir;
    for (const char *old : {"readings-2026-12-01.csv", "readings-2026-12-08.csv", "keep.txt"}) {
        QFile file(dir.filePath(QLatin1String(old)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    ReadingsRecorder recorder(dir.path(), 2);
    recorder.add(at("2026-12-09T23:59:58+01:00"), filled(1));
    recorder.add(at("2026-12-10T00:00:01+01:00"), filled(2));
    recorder.flush();
    QStringList files = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(files, QStringList({"keep.txt", "readings-2026-12-08.csv", "readings-2026-12-09.csv",
                                 "readings-2026-12-10.csv"}));
    QCOMPARE(readAll(dir.filePath("readings-2026-12-10.csv")),
             ReadingsCsv::header() + ReadingsCsv::row(at("2026-12-10T00:00:01+01:00"), filled(2)));
}

void ReadingsCsvTest::fillRingFromTail()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("readings-2026-12-09.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ReadingsCsv::header());
    const QDateTime start = at("2026-12-09T08:00:00+01:00");
    // Five hours of rows, one torn line in the last hour: only the last hour comes back.
    for (int s = 0; s < 5 * 3600; s += 5)
        file.write(ReadingsCsv::row(start.addSecs(s), filled(s % 100)));
    file.write("2026-12-09T12:59:59+01:00,4");
    file.close();

    HistoryRing ring;
    const qint64 now = start.addSecs(5 * 3600).toSecsSinceEpoch();
    // Rows every 5 s from now - 3595 to now - 5.
    QCOMPARE(RecordReader::fillRing(path, now, ring), 719);
    QCOMPARE(ring.newestSecond(), now - 5);
    QCOMPARE(ring.value(now - 5, HistoryChannels::CpuTemperature), float((5 * 3600 - 5) % 100));
    QVERIFY(std::isnan(ring.value(now - 4, HistoryChannels::CpuTemperature)));
    QCOMPARE(RecordReader::fillRing(dir.filePath(QStringLiteral("absent.csv")), now, ring), 0);
}

void ReadingsCsvTest::settingsRoundTrip()
{
    QTemporaryDir dir;
    QSettings store(dir.filePath(QStringLiteral("user.ini")), QSettings::IniFormat);
    AlertSettings first = HistorySettings::loadAlerts(store);
    QCOMPARE(first.rules.size(), HistorySettings::defaultRules().size());
    QVERIFY(first.rules[2].below); // the CPU fan

    AlertSettings alerts;
    alerts.program = QStringLiteral("/usr/bin/notify me");
    AlertRule rule;
    rule.channel = HistoryChannels::GpuFan;
    rule.threshold = 250.5;
    rule.holdSeconds = 7;
    rule.margin = 50;
    alerts.rules << rule;
    HistorySettings::saveAlerts(store, alerts);
    const AlertSettings back = HistorySettings::loadAlerts(store);
    QCOMPARE(back.program, alerts.program);
    QCOMPARE(back.rules.size(), 1);
    QCOMPARE(back.rules[0].channel, int(HistoryChannels::GpuFan));
    QVERIFY(back.rules[0].below);
    QCOMPARE(back.rules[0].threshold, 250.5);
    QCOMPARE(back.rules[0].holdSeconds, 7);
    QCOMPARE(back.rules[0].margin, 50.0);

    // No rules at all is a choice too, not a first run.
    HistorySettings::saveAlerts(store, AlertSettings());
    QVERIFY(HistorySettings::loadAlerts(store).rules.isEmpty());

    RecordSettings record{true, QStringLiteral("/tmp/r"), 14};
    HistorySettings::saveRecord(store, record);
    const RecordSettings recordBack = HistorySettings::loadRecord(store);
    QVERIFY(recordBack.enabled);
    QCOMPARE(recordBack.folder, record.folder);
    QCOMPARE(recordBack.retentionDays, 14);
}
