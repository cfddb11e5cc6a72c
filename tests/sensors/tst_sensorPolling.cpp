#include "sensors/PassSchedule.h"
#include "sensors/getPcInfoThread.h"

#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace {

const QString scriptedDir = QStringLiteral(TARNIX_BINARY_DIR "/tests/scripted-sensors");

QString scriptPath()
{
    return qEnvironmentVariable("TARNIX_TEST_SCRATCH", QDir::tempPath()) +
           QStringLiteral("/sensors.script");
}

void writeScript(const QString &text)
{
    QFile file(scriptPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// Reads the scripted library's own counters.
int scriptedCounter(const char *name)
{
    const QByteArray path = QFile::encodeName(scriptedDir + "/libhwsensors.so");
    void *handle = dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return -1;
    auto counter = reinterpret_cast<int (*)()>(dlsym(handle, name));
    const int value = counter ? counter() : -1;
    dlclose(handle);
    return value;
}

// Collects what is written to standard output between construction and text().
class StdoutCapture
{
public:
    StdoutCapture()
    {
        std::fflush(stdout);
        file.open();
        saved = dup(STDOUT_FILENO);
        dup2(file.handle(), STDOUT_FILENO);
    }
    ~StdoutCapture() { restore(); }
    // What the program itself printed, without the lines QtTest writes for log messages.
    QString text()
    {
        QStringList lines = rawText().split(QLatin1Char('\n'));
        lines.erase(std::remove_if(lines.begin(), lines.end(),
                                   [](const QString &line) {
                                       return line.startsWith(QLatin1String("QDEBUG ")) ||
                                              line.startsWith(QLatin1String("QWARN "));
                                   }),
                    lines.end());
        return lines.join(QLatin1Char('\n'));
    }
    QString rawText()
    {
        restore();
        file.seek(0);
        return QString::fromUtf8(file.readAll());
    }

private:
    void restore()
    {
        if (saved < 0)
            return;
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
        saved = -1;
    }
    QTemporaryFile file;
    int saved = -1;
};

QStringList debugLines;
void collectDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        debugLines << message;
}

struct Poller
{
    getPcInfoThread thread;
    QSignalSpy status{&thread, &getPcInfoThread::sigTheSdkInitStatus};
    explicit Poller(const QString &dir = scriptedDir) { thread.setLibraryDirectory(dir); }
};

const char *const kStart = "---------------------------- *** Hardware info get [Start] *** "
                           "----------------------------";
const char *const kOver = "---------------------------- *** Hardware info get [Over] *** "
                          "----------------------------";

} // namespace

Q_DECLARE_METATYPE(SensorReadings)

class tst_sensorPolling : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void initStatus_data();
    void initStatus();
    void onePass_data();
    void onePass();
    void unterminatedNamesStayInTheBuffer();
    void passStartsFromZeros();
    void readingsDuringAPassAreThePreviousPass();
    void firstPassIsDetailed();
    void stopBetweenPassesReturnsAtOnce();
    void stopBeforeAnyPassWaitsTheSecond();
    void stopWithoutLibraryReportsNotStarted();
    void stopNeverClosesUnderARunningPass();
    void sourcesFollowTheChoices();
    void restartBeforeTheNextPass_data();
    void restartBeforeTheNextPass();
    void handlerTakesThePassWithTheLibraryFree();
    void passesKeepTheirGrid_data();
    void passesKeepTheirGrid();
};

void tst_sensorPolling::initTestCase()
{
    qputenv("TARNIX_SCRIPTED_SENSORS", QFile::encodeName(scriptPath()));
}

void tst_sensorPolling::init()
{
    writeScript("sensor CPU\ntemperature 0 40 CPU Package\n");
}

void tst_sensorPolling::initStatus_data()
{
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("output");

    const QString sensor = "sensor CPU\ntemperature 0 40 CPU Package\n";
    QTest::newRow("ready") << scriptedDir << sensor << true << 0 << "SDK HWiNFO -> INIT OK\n";
    QTest::newRow("library code") << scriptedDir << "init -7\n" + sensor << false << -7
                                  << "SDK HWiNFO -> INIT FAILED -7\n";
    QTest::newRow("positive code")
        << scriptedDir << "init 3\n" + sensor << false << 3 << "SDK HWiNFO -> INIT FAILED 3\n";
    QTest::newRow("no library") << QString(TARNIX_BINARY_DIR "/tests/no-such-folder") << sensor
                                << false << -111 << "CANNOT LOAD DLL\n";
    QTest::newRow("entry point missing")
        << QString(TARNIX_BINARY_DIR "/tests/scripted-sensors-incomplete") << sensor << false
        << -111 << "CANNOT LOAD DLL\n";
}

void tst_sensorPolling::initStatus()
{
    QFETCH(QString, dir);
    QFETCH(QString, script);
    QFETCH(bool, ok);
    QFETCH(int, code);
    QFETCH(QString, output);

    writeScript(script);
    Poller poller(dir);
    StdoutCapture capture;
    poller.thread.initSdk();
    const QString raw = capture.rawText();
    QCOMPARE(capture.text(), output);
    // The log names the file that feeds the values whenever one was loaded.
    QCOMPARE(raw.contains(QStringLiteral("Sensor library: %1/libhwsensors.so").arg(dir)),
             code != SensorLibrary::kMissing);
    QCOMPARE(poller.status.count(), 1);
    QCOMPARE(poller.status.at(0).at(0).toBool(), ok);
    QCOMPARE(poller.status.at(0).at(1).toInt(), code);
    // Only a started library is ever polled.
    QCOMPARE(poller.thread.pollOnce(), ok);
    QCOMPARE(poller.thread.getSensorReadings().cpuTemperature, ok ? 40.0f : 0.0f);
    poller.thread.stopPolling();
}

void tst_sensorPolling::onePass_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("field");
    QTest::addColumn<float>("value");

    QTest::newRow("first sensor wins") << "sensor A\ntemperature 0 45 CPU Package\n"
                                          "sensor B\ntemperature 0 50 CPU (Tctl/Tdie)\n"
                                       << "cpuTemperature" << 45.0f;
    QTest::newRow("lower reading index wins") << "sensor A\ntemperature 3 70 CPU\n"
                                                 "temperature 1 60 CPU Package\n"
                                              << "cpuTemperature" << 60.0f;
    QTest::newRow("kind order within an index") << "sensor A\nusage 2 9 GPU Core Load\n"
                                                   "usage 1 8 GPU D3D Usage\n"
                                                << "gpuUsage" << 8.0f;
    QTest::newRow("below one refused") << "sensor A\nusage 0 0.5 Total CPU Usage\n"
                                       << "cpuUsage" << 0.0f;
    QTest::newRow("below one, later one taken") << "sensor A\nusage 0 0.5 Total CPU Usage\n"
                                                   "usage 4 7 Total CPU Usage\n"
                                                << "cpuUsage" << 7.0f;
    QTest::newRow("exactly one taken") << "sensor A\nusage 0 1 Total CPU Usage\n"
                                       << "cpuUsage" << 1.0f;
    QTest::newRow("negative refused") << "sensor A\npower 0 -5 CPU Package Power\n"
                                         "power 1 12.5 CPU Package Power\n"
                                      << "cpuPower" << 12.5f;
    QTest::newRow("nan refused") << "sensor A\ntemperature 0 nan CPU\n"
                                    "temperature 1 44 CPU Package\n"
                                 << "cpuTemperature" << 44.0f;
    QTest::newRow("empty name ignored") << "sensor A\ntemperature 0 50\n"
                                        << "cpuTemperature" << 0.0f;
    QTest::newRow("second GPU never overwrites")
        << "sensor GPU [#0]: A\ntemperature 0 55 GPU Temperature\n"
           "sensor GPU [#1]: B\ntemperature 0 70 GPU Temperature\n"
        << "gpuTemperature" << 55.0f;
    QTest::newRow("second GPU fills what the first lacks")
        << "sensor GPU [#0]: A\ntemperature 0 55 GPU Temperature\n"
           "sensor GPU [#1]: B\nclock 0 1800 GPU Clock\n"
        << "gpuClock" << 1800.0f;
    QTest::newRow("prefix before core 0") << "sensor A\nclock 0 3900 P-core 0 Clock\n"
                                          << "cpuClock" << 3900.0f;
    QTest::newRow("core 10 is not core 0") << "sensor A\nclock 0 3900 Core 10 Clock\n"
                                           << "cpuClock" << 0.0f;
    QTest::newRow("gpu fan digit") << "sensor A\nfan 0 1500 GPU Fan3\n"
                                   << "gpuFan" << 1500.0f;
    QTest::newRow("gpu fan lower case") << "sensor A\nfan 0 1500 gpu fan3\n"
                                        << "gpuFan" << 0.0f;
    QTest::newRow("temperature named CPU Fan") << "sensor A\ntemperature 0 50 CPU Fan\n"
                                               << "cpuTemperature" << 0.0f;
    QTest::newRow("fan named CPU") << "sensor A\nfan 0 980 CPU\n"
                                   << "cpuFan" << 980.0f;
    QTest::newRow("fan speed is whole RPM") << "sensor A\nfan 0 980.7 CPU Fan\n"
                                            << "cpuFan" << 980.0f;
    QTest::newRow("memory clock") << "sensor A\nclock 0 3200 Memory Clock\n"
                                  << "memoryClock" << 3200.0f;
    // Absurd values from the library are absent, and the next matching reading is taken.
    QTest::newRow("million degrees left out") << "sensor A\ntemperature 0 1000000 CPU Package\n"
                                                 "temperature 1 45 CPU\n"
                                              << "cpuTemperature" << 45.0f;
    QTest::newRow("absurd fan left out") << "sensor A\nfan 0 250000 CPU Fan\n"
                                         << "cpuFan" << 0.0f;
    QTest::newRow("usage above 100 left out") << "sensor A\nusage 0 400 GPU Core Load\n"
                                                 "usage 1 30 GPU D3D Usage\n"
                                              << "gpuUsage" << 30.0f;
}

void tst_sensorPolling::onePass()
{
    QFETCH(QString, script);
    QFETCH(QString, field);
    QFETCH(float, value);

    writeScript(script);
    Poller poller;
    poller.thread.initSdk();
    QVERIFY(poller.thread.pollOnce());
    const SensorReadings readings = poller.thread.getSensorReadings();
    QHash<QString, float> fields;
    for (const SensorReadingField &entry : readingFields(readings))
        fields.insert(QLatin1String(entry.name), entry.value);
    QVERIFY(fields.contains(field));
    QCOMPARE(fields.value(field), value);
    poller.thread.stopPolling();
}

void tst_sensorPolling::unterminatedNamesStayInTheBuffer()
{
    writeScript("sensor @unterminated\nusage 0 50 @unterminated\nusage 1 9 Total CPU Usage\n");
    Poller poller;
    QList<int> lengths;
    poller.thread.setReadingObserver(
        [&lengths](const char *sensor, ReadingKind, const char *name, double) {
            lengths << int(std::strlen(sensor)) << int(std::strlen(name));
        });
    poller.thread.initSdk();
    QVERIFY(poller.thread.pollOnce());
    QCOMPARE(lengths, (QList<int>{255, 255, 255, 15}));
    QCOMPARE(poller.thread.getSensorReadings().cpuUsage, 9.0f);
    poller.thread.stopPolling();
}

void tst_sensorPolling::passStartsFromZeros()
{
    writeScript("sensor A\ntemperature 0 45 CPU\ntemperature 1 60 GPU Temperature\n");
    Poller poller;
    poller.thread.initSdk();
    QVERIFY(poller.thread.pollOnce());
    QCOMPARE(poller.thread.getSensorReadings().gpuTemperature, 60.0f);
    writeScript("sensor A\ntemperature 0 47 CPU\n");
    QVERIFY(poller.thread.pollOnce());
    const SensorReadings second = poller.thread.getSensorReadings();
    QCOMPARE(second.cpuTemperature, 47.0f);
    QCOMPARE(second.gpuTemperature, 0.0f);
    poller.thread.stopPolling();
}

void tst_sensorPolling::readingsDuringAPassAreThePreviousPass()
{
    writeScript("sensor A\ntemperature 0 45 CPU\nclock 0 4000 Core 0 Clock\n");
    Poller poller;
    poller.thread.initSdk();
    QVERIFY(poller.thread.pollOnce());
    writeScript("delay 300\nsensor A\ntemperature 0 47 CPU\nsensor B\nclock 0 4100 Core 0 Clock\n");
    std::atomic<bool> inPass{false};
    poller.thread.setReadingObserver(
        [&inPass](const char *, ReadingKind, const char *, double) { inPass = true; });
    std::unique_ptr<QThread> pass(QThread::create([&poller] { poller.thread.pollOnce(); }));
    pass->start();
    QTRY_VERIFY_WITH_TIMEOUT(inPass, 5000);
    // Mid-pass: the whole previous pass, not a half-cleared record.
    const SensorReadings during = poller.thread.getSensorReadings();
    QVERIFY(pass->wait(5000));
    QCOMPARE(during.cpuTemperature, 45.0f);
    QCOMPARE(during.cpuClock, 4000.0f);
    const SensorReadings after = poller.thread.getSensorReadings();
    QCOMPARE(after.cpuTemperature, 47.0f);
    QCOMPARE(after.cpuClock, 4100.0f);
    poller.thread.stopPolling();
}

void tst_sensorPolling::firstPassIsDetailed()
{
    writeScript("sensor CPU [#0]: Test\n"
                "temperature 0 45.25 CPU Package\nfan 0 1200 CPU Fan\n"
                "power 0 65.4321 CPU Package Power\nclock 0 4700.06 Core 0 Clock\n"
                "usage 0 12.34 Total CPU Usage\nusage 1 0.2 Ignored Usage\n"
                "sensor Board\n");
    Poller poller;
    poller.thread.initSdk();
    debugLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectDebug);
    QString first;
    QString second;
    {
        StdoutCapture capture;
        poller.thread.pollOnce();
        first = capture.text();
    }
    const QStringList firstDebug = debugLines;
    debugLines.clear();
    {
        StdoutCapture capture;
        poller.thread.pollOnce();
        second = capture.text();
    }
    qInstallMessageHandler(previous);

    QCOMPARE(first, QString("======== CPU [#0]: Test ========\n"
                            "Temperature ===> CPU Package = 45.2 C\n"
                            "Fan ===> CPU Fan = 1200 RPM\n"
                            "Power ===> CPU Package Power = 65.432 W\n"
                            "Clock ===> Core 0 Clock = 4700.1 MHz\n"
                            "Usage ===> Total CPU Usage = 12.3%\n"
                            "\n"
                            "======== Board ========\n"
                            "\n"));
    QCOMPARE(
        firstDebug,
        (QStringList{kStart, "======== CPU [#0]: Test ========",
                     QString::fromUtf8("Temperature ===> CPU Package = 45.25 ℃"),
                     "Fan ===> CPU Fan = 1200 RPM", "Power ===> CPU Package Power = 65.4321 W",
                     "Clock ===> Core 0 Clock = 4700.06 MHz",
                     "Usage ===> Total CPU Usage = 12.34 %", "======== Board ========", kOver}));
    // Later passes are quiet but still end each sensor with a newline.
    QCOMPARE(second, QString("\n\n"));
    QVERIFY(debugLines.isEmpty());
    poller.thread.stopPolling();
}

void tst_sensorPolling::stopBetweenPassesReturnsAtOnce()
{
    Poller poller;
    // Counted on the polling thread: a QSignalSpy there would race with this one.
    std::atomic<int> passes{0};
    QObject::connect(&poller.thread, &getPcInfoThread::sigGetPcInfoOk, [&passes] { ++passes; });
    poller.thread.start();
    poller.thread.initSdk();
    QTRY_VERIFY_WITH_TIMEOUT(passes > 0, 5000);
    const int uninits = scriptedCounter("scriptedSensorsUninitCount");
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(poller.thread.stopPolling(), 0);
    QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(scriptedCounter("scriptedSensorsUninitCount"), uninits + 1);
    QVERIFY(poller.thread.wait(3000));
    QCOMPARE(poller.thread.getSensorReadings().cpuTemperature, 40.0f);
}

void tst_sensorPolling::stopBeforeAnyPassWaitsTheSecond()
{
    Poller poller;
    poller.thread.initSdk();
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(poller.thread.stopPolling(), 0);
    QVERIFY(timer.elapsed() >= 990);
    // Stopped: no pass runs any more.
    QVERIFY(!poller.thread.pollOnce());
}

void tst_sensorPolling::stopWithoutLibraryReportsNotStarted()
{
    writeScript("init -7\n");
    Poller poller;
    poller.thread.initSdk();
    const int uninits = scriptedCounter("scriptedSensorsUninitCount");
    QCOMPARE(poller.thread.stopPolling(), -88);
    QCOMPARE(scriptedCounter("scriptedSensorsUninitCount"), uninits);
}

void tst_sensorPolling::stopNeverClosesUnderARunningPass()
{
    // Four sensors of 400 ms each: the pass outlasts the one-second wait of stopPolling().
    writeScript("delay 400\nsensor A\ntemperature 0 41 CPU\nsensor B\nsensor C\nsensor D\n"
                "fan 0 700 CPU Fan\n");
    Poller poller;
    std::atomic<bool> inPass{false};
    poller.thread.setReadingObserver(
        [&inPass](const char *, ReadingKind, const char *, double) { inPass = true; });
    poller.thread.start();
    poller.thread.initSdk();
    QTRY_VERIFY_WITH_TIMEOUT(inPass, 5000);
    const int strayCalls = scriptedCounter("scriptedSensorsCallsAfterUninit");
    QCOMPARE(poller.thread.stopPolling(), 0);
    QCOMPARE(scriptedCounter("scriptedSensorsCallsAfterUninit"), strayCalls);
    // The pass that was running finished and was published whole.
    QCOMPARE(poller.thread.getSensorReadings().cpuFan, 700.0f);
    QVERIFY(poller.thread.wait(3000));
    QCOMPARE(scriptedCounter("scriptedSensorsCallsAfterUninit"), strayCalls);
}

void tst_sensorPolling::sourcesFollowTheChoices()
{
    writeScript("sensor CPU\ntemperature 0 71 CPU (Tctl/Tdie)\ntemperature 1 64 CPU (Tccd1)\n"
                "usage 0 0.4 Core 3 Usage\n");
    Poller poller;
    SourceChoices choices;
    choices.overrides[0] = "CPU/temperature/CPU (Tccd1)";
    choices.overrides[1] = "CPU/usage/Core 3 Usage";
    choices.overrides[11] = "DIMM/clock/Memory Clock";
    poller.thread.setSourceChoices(choices);
    poller.thread.setCollectSources(true);
    poller.thread.initSdk();
    debugLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectDebug);
    QVERIFY(poller.thread.pollOnce());
    QVERIFY(poller.thread.pollOnce());
    qInstallMessageHandler(previous);

    const SensorReadings readings = poller.thread.getSensorReadings();
    QCOMPARE(readings.cpuTemperature, 64.0f);
    QCOMPARE(readings.cpuUsage, 0.4f);
    // The missing memory clock is said once, not every second.
    QCOMPARE(debugLines.filter("Sources").join('|'),
             QString("Sources -> memoryClock 'DIMM/clock/Memory Clock' not found, name tables "
                     "decide"));
    // Readings below the walk's threshold are listed but never logged as readings.
    QVERIFY(debugLines.filter("Core 3 Usage").isEmpty());

    const SourceReport report = poller.thread.getSourceReport();
    QCOMPARE(int(report.candidates.size()), 3);
    QCOMPARE(report.chosen[0], 2); // walk order: index 0 of every kind, then index 1
    QCOMPARE(report.reasons[0], SensorSources::Reason::Override);
    QCOMPARE(report.chosen[11], -1);
    QCOMPARE(report.reasons[11], SensorSources::Reason::None);

    // Back to automatic, and no longer collecting.
    poller.thread.setSourceChoices(SourceChoices());
    poller.thread.setCollectSources(false);
    QVERIFY(poller.thread.pollOnce());
    QCOMPARE(poller.thread.getSensorReadings().cpuTemperature, 71.0f);
    QVERIFY(poller.thread.getSourceReport().candidates.empty());
    QCOMPARE(poller.thread.getSourceReport().reasons[0], SensorSources::Reason::Table);
    poller.thread.stopPolling();
}

void tst_sensorPolling::restartBeforeTheNextPass_data()
{
    QTest::addColumn<QString>("initLine"); // sdkInit's answer at the restart
    QTest::addColumn<bool>("polls");

    QTest::newRow("library starts again") << "init 0" << true;
    QTest::newRow("library fails to start again") << "init -5" << false;
}

void tst_sensorPolling::restartBeforeTheNextPass()
{
    QFETCH(QString, initLine);
    QFETCH(bool, polls);

    Poller poller;
    poller.thread.initSdk();
    QVERIFY(poller.thread.pollOnce());
    const int uninits = scriptedCounter("scriptedSensorsUninitCount");
    const int misuses = scriptedCounter("scriptedSensorsCallsAfterUninit");

    writeScript(initLine + "\nsensor CPU\ntemperature 0 52 CPU Package\n");
    poller.thread.restartSensors();
    QCOMPARE(scriptedCounter("scriptedSensorsUninitCount"), uninits); // not before the pass
    QCOMPARE(poller.thread.pollOnce(), polls);
    QCOMPARE(scriptedCounter("scriptedSensorsUninitCount"), uninits + 1);
    QCOMPARE(scriptedCounter("scriptedSensorsCallsAfterUninit"), misuses);
    if (polls) {
        QCOMPARE(poller.thread.getSensorReadings().cpuTemperature, 52.0f);
        QCOMPARE(poller.status.count(), 1); // only the first start was announced
    } else {
        QCOMPARE(poller.status.count(), 2);
        QCOMPARE(poller.status.last().at(0).toBool(), false);
        QCOMPARE(poller.status.last().at(1).toInt(), -5);
        QVERIFY(!poller.thread.pollOnce());
        QCOMPARE(poller.thread.stopPolling(), -88);
    }
    // One restart per request.
    QCOMPARE(poller.thread.pollOnce(), polls);
    QCOMPARE(scriptedCounter("scriptedSensorsUninitCount"), uninits + 1);
    poller.thread.stopPolling();
}

// The handler gets the whole pass once the library is free: starting the library again from
// another thread does not wait for the handler.
void tst_sensorPolling::handlerTakesThePassWithTheLibraryFree()
{
    writeScript("sensor CPU\ntemperature 0 45 CPU Package\n");
    Poller poller;
    poller.thread.initSdk();
    std::atomic<bool> inHandler{false};
    std::atomic<bool> release{false};
    SourceReport taken;
    poller.thread.setPassHandler([&](SourceReport &&pass) {
        taken = std::move(pass);
        inHandler = true;
        while (!release)
            QThread::msleep(5);
        return true;
    });
    std::atomic<int> announced{0};
    QObject::connect(&poller.thread, &getPcInfoThread::sigGetPcInfoOk, [&] { ++announced; });
    std::unique_ptr<QThread> pass(QThread::create([&poller] { poller.thread.pollOnce(); }));
    pass->start();
    QTRY_VERIFY_WITH_TIMEOUT(inHandler, 5000);
    std::unique_ptr<QThread> starter(QThread::create([&poller] { poller.thread.initSdk(); }));
    starter->start();
    const bool startedMeanwhile = starter->wait(5000);
    release = true;
    QVERIFY(pass->wait(5000));
    QVERIFY(startedMeanwhile);
    QCOMPARE(taken.readings.cpuTemperature, 45.0f);
    QCOMPARE(taken.reasons[0], SensorSources::Reason::Table);
    QCOMPARE(announced.load(), 0);                                    // the handler dealt with it
    QCOMPARE(poller.thread.getSensorReadings().cpuTemperature, 0.0f); // nothing kept beside it
    poller.thread.setPassHandler({});
    poller.thread.stopPolling();
}

void tst_sensorPolling::passesKeepTheirGrid_data()
{
    QTest::addColumn<qint64>("previous");
    QTest::addColumn<qint64>("now"); // when the pass ended
    QTest::addColumn<qint64>("next");

    QTest::newRow("a 200 ms pass does not stretch the period") << 5000ll << 5200ll << 6000ll;
    QTest::newRow("ends right at the next deadline: runs at once") << 5000ll << 6000ll << 6000ll;
    QTest::newRow("late by a little: that point is skipped") << 5000ll << 6001ll << 7000ll;
    QTest::newRow("a long stall resyncs instead of a burst") << 5000ll << 9500ll << 10000ll;
    QTest::newRow("stalled onto a grid point: the one after") << 5000ll << 9000ll << 10000ll;
}

void tst_sensorPolling::passesKeepTheirGrid()
{
    QFETCH(qint64, previous);
    QFETCH(qint64, now);
    QFETCH(qint64, next);
    QCOMPARE(qint64(PassSchedule::nextDeadline(previous, now, 1000)), next);
}

QTEST_MAIN(tst_sensorPolling)
#include "tst_sensorPolling.moc"
