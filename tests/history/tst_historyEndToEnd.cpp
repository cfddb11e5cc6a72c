// The real Tarnix with alerts and the record on: a CPU temperature that rises past a rule's
// threshold reaches a stand-in notification service on a private session bus exactly once,
// and the day's record, read back, holds the values the display was sent.
#include "../endtoend/StagedTarnix.h"
#include "history/HistorySettings.h"
#include "history/ReadingsCsv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <memory>

namespace {

QString script(double cpuTemperature)
{
    return QStringLiteral("sensor CPU [#0]: Test CPU\n"
                          "temperature 0 %1 CPU Package\n"
                          "usage 0 37.6 Total CPU Usage\n"
                          "fan 0 1234 CPU Fan\n"
                          "sensor GPU [#0]: Test GPU\n"
                          "temperature 0 61.2 GPU Temperature\n")
        .arg(cpuTemperature);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QStringList lines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int byteAt(const QByteArray &b, int i)
{
    return static_cast<unsigned char>(b.at(i));
}

} // namespace

class TestHistoryEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void oneNotificationAndTheRecord();

private:
    QProcess bus;
    QProcess standIn;
    QString busAddress;
    QTemporaryDir folder;
};

void TestHistoryEndToEnd::initTestCase()
{
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--nofork"),
               QStringLiteral("--print-address=1")});
    if (!bus.waitForStarted(5000))
        QSKIP("dbus-daemon is not installed");
    QVERIFY(bus.waitForReadyRead(5000));
    busAddress = QString::fromUtf8(bus.readLine()).trimmed();
    QVERIFY(!busAddress.isEmpty());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    standIn.setProcessEnvironment(env);
    standIn.start(QStringLiteral(TARNIX_BINARY_DIR "/tests/notifyStandIn"),
                  {folder.filePath(QStringLiteral("calls"))});
    QVERIFY(standIn.waitForReadyRead(5000));
    QCOMPARE(standIn.readLine().trimmed(), QByteArray("ready"));
}

void TestHistoryEndToEnd::cleanupTestCase()
{
    standIn.kill();
    standIn.waitForFinished(3000);
    bus.kill();
    bus.waitForFinished(3000);
}

void TestHistoryEndToEnd::oneNotificationAndTheRecord()
{
    StagedTarnix::Options options;
    options.sensorScript = script(50.5);
    options.environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    StagedTarnix app(options);
    QVERIFY(app.isValid());
    {
        QSettings store(app.path(QStringLiteral("config/MyCompanyKelmar/Tarnix.conf")),
                        QSettings::IniFormat);
        AlertRule rule;
        rule.channel = HistoryChannels::CpuTemperature;
        rule.threshold = 60;
        rule.holdSeconds = 2;
        rule.margin = 3;
        HistorySettings::saveAlerts(store, {{rule}, QString()});
        HistorySettings::saveRecord(store, {true, app.path(QStringLiteral("records")), 7});
    }
    QVERIFY(app.start());
    QVERIFY2(app.waitForFrames(3, 15000), qPrintable(app.events()));

    // Hot for long enough, with one dip that must neither fire nor re-arm the rule.
    const QString calls = folder.filePath(QStringLiteral("calls"));
    QVERIFY(writeFile(app.path(QStringLiteral("sensors.script")), script(70.25).toUtf8()));
    QTRY_COMPARE_WITH_TIMEOUT(lines(calls).size(), 1, 15000);
    QVERIFY(writeFile(app.path(QStringLiteral("sensors.script")), script(58.5).toUtf8()));
    QTest::qWait(2500);
    QVERIFY(writeFile(app.path(QStringLiteral("sensors.script")), script(71).toUtf8()));
    QTest::qWait(4000);
    QCOMPARE(lines(calls).size(), 1);
    QVERIFY2(lines(calls).first().endsWith(
                 QString::fromUtf8("CPU Temperature 70.3 \u2103 above 60 \u2103 for 2 s")),
             qPrintable(lines(calls).first()));
    QCOMPARE(app.log().count(QStringLiteral("Alert: CPU Temperature")), 1);

    int exitCode = -1;
    QVERIFY(app.endWith(SIGTERM, 10000, exitCode));
    const QList<SentFrame> frames = app.frames();

    // Every pass sent a report and wrote a row; an orderly exit loses no row.
    QStringList rows;
    const QDir records(app.path(QStringLiteral("records")));
    for (const QString &name :
         records.entryList({QStringLiteral("readings-*.csv")}, QDir::Files, QDir::Name))
        rows << lines(records.filePath(name)).mid(1);
    QVERIFY2(rows.size() >= frames.size() && rows.size() <= frames.size() + 1,
             qPrintable(QStringLiteral("%1 rows, %2 reports").arg(rows.size()).arg(frames.size())));
    for (int i = 0; i < frames.size(); ++i) {
        QDateTime time;
        HistoryChannels::Sample sample;
        QVERIFY2(ReadingsCsv::parseRow(rows[i].toUtf8(), &time, &sample), qPrintable(rows[i]));
        const QByteArray &b = frames[i].bytes;
        QCOMPARE(byteAt(b, 2), int(sample[HistoryChannels::CpuTemperature]));
        QCOMPARE(byteAt(b, 3), int(sample[HistoryChannels::CpuUsage]));
        QCOMPARE(byteAt(b, 10), int(sample[HistoryChannels::GpuTemperature]));
        QCOMPARE(byteAt(b, 18), int(sample[HistoryChannels::MemoryLoad]));
        QCOMPARE(byteAt(b, 21), int(sample[HistoryChannels::DriveUsage]));
        QVERIFY(std::abs(time.toMSecsSinceEpoch() - frames[i].atMs) < 3000);
    }
}

QTEST_GUILESS_MAIN(TestHistoryEndToEnd)
#include "tst_historyEndToEnd.moc"
