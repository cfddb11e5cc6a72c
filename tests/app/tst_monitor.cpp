#include "HidapiDouble.h"
#include "app/Monitor.h"
#include "app/OpenRetry.h"
#include "app/RefreshFigures.h"
#include "app/UserSettings.h"
#include "core/Clock.h"
#include "device/DeviceFrame.h"
#include "tests/support/CapturedMessages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

// The program without a window: the sensor library is the scripted one beside the test, the
// display the hidapi double.
namespace {

const char displayPath[] = "/dev/hidraw-tarnix";
const QString usbPath = QStringLiteral("/sys/devices/usb1/1-1/1-1:1.0/0003:5131:2007.0001");

QString scriptPath()
{
    return QString::fromLocal8Bit(qgetenv("TARNIX_TEST_SCRATCH")) + "/monitor.sensors";
}

void writeScript(int cpuClock, int initCode = 0)
{
    QFile file(scriptPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QStringLiteral("init %1\n"
                              "sensor CPU [#0]: Test CPU\n"
                              "temperature 0 45.9 CPU Package\n"
                              "usage 0 37 Total CPU Usage\n"
                              "clock 1 %2 Core 0 Clock\n"
                              "sensor GPU [#0]: Test GPU\n"
                              "temperature 0 61 GPU Temperature\n")
                   .arg(initCode)
                   .arg(cpuClock)
                   .toUtf8());
}

int loggedCount(const QString &message)
{
    return CapturedMessages::count(message);
}

size_t writeCount()
{
    return HidapiDouble::writes().size();
}

// Counts the monitor's signals; they come on this thread, but an atomic keeps TSan quiet
// about the sensor thread should one ever be emitted there.
struct Observer
{
    std::atomic<int> snapshots{0};
    std::atomic<int> connected{-1};
    void watch(Monitor &monitor)
    {
        QObject::connect(&monitor, &Monitor::snapshotReady, [this] { ++snapshots; });
        QObject::connect(&monitor, &Monitor::displayConnectionChanged,
                         [this](bool on) { connected = on ? 1 : 0; });
    }
};

} // namespace

class tst_monitor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void maximaOnlyGrow_data();
    void maximaOnlyGrow();
    void frameInputCarriesTheFigures_data();
    void frameInputCarriesTheFigures();

    void unitAtStart_data();
    void unitAtStart();
    void refusedWritesAreReported();
    void refusedUnitLeavesTheSavedOne();

    void startFindsTheDisplay_data();
    void startFindsTheDisplay();
    void failedLibrarySendsNothing();
    void unwatchedPassesStayOffThisThread();
    void passesReachWhileAnyoneWatches_data();
    void passesReachWhileAnyoneWatches();
    void reportsMatchTheSnapshotAndUnit();
    void hotPlugClosesAndReopens();
    void failingWritesCloseAndSearchEachPass();
    void resumeReopensTheDisplay();
    void retryWaitsGrowToTheCap_data();
    void retryWaitsGrowToTheCap();
    void refusedOpenIsRetried_data();
    void refusedOpenIsRetried();
    void stopClosesLibraryThenDisplay();
    void destroyedMonitorLeavesNoWorker();

private:
    std::unique_ptr<Monitor> startMonitor(bool withDevice, Observer *observer = nullptr);
};

void tst_monitor::initTestCase()
{
    qputenv("TARNIX_SCRIPTED_SENSORS", scriptPath().toLocal8Bit());
    CapturedMessages::install();
}

void tst_monitor::init()
{
    HidapiDouble::reset();
    CapturedMessages::clear();
    writeScript(4000);
}

void tst_monitor::cleanup()
{
    HidapiDouble::removeDevice(displayPath);
    Clock::setNowSourceForTesting({});
}

std::unique_ptr<Monitor> tst_monitor::startMonitor(bool withDevice, Observer *observer)
{
    if (withDevice)
        HidapiDouble::addDevice(0x5131, 0x2007, displayPath);
    auto monitor = std::make_unique<Monitor>();
    if (observer)
        observer->watch(*monitor);
    monitor->startUpdate();
    return monitor;
}

void tst_monitor::maximaOnlyGrow_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<float>("clock");
    QTest::addColumn<int>("after");
    QTest::newRow("first pass of 0 still gives a range") << 0 << 0.0f << 1;
    QTest::newRow("a new high goes one above") << 0 << 4000.0f << 4001;
    QTest::newRow("a lower value keeps the high") << 4001 << 3000.0f << 4001;
    QTest::newRow("equal to the maximum keeps it") << 4001 << 4001.0f << 4001;
    QTest::newRow("fractions truncate first") << 10 << 10.9f << 10;
    QTest::newRow("NaN counts as 0") << 0 << std::numeric_limits<float>::quiet_NaN() << 1;
}

void tst_monitor::maximaOnlyGrow()
{
    QFETCH(int, before);
    QFETCH(float, clock);
    QFETCH(int, after);
    AutoRangeMaxima maxima;
    maxima.cpuClock = before;
    maxima.gpuFan = 77;
    SensorReadings readings;
    readings.cpuClock = clock;
    readings.gpuFan = 20;
    const AutoRangeMaxima next = RefreshPass::advanceMaxima(maxima, readings);
    QCOMPARE(next.cpuClock, after);
    QCOMPARE(next.gpuFan, 77); // each bar keeps its own maximum
    QCOMPARE(next.cpuPower, 1);
}

void tst_monitor::frameInputCarriesTheFigures_data()
{
    QTest::addColumn<bool>("driveFound");
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<int>("driveUsage");
    QTest::addColumn<quint64>("driveTotal");
    const quint64 gib = 1073741824;
    QTest::newRow("drive found, Celsius") << true << true << 60 << 100 * gib;
    QTest::newRow("drive found, Fahrenheit") << true << false << 60 << 100 * gib;
    QTest::newRow("no system drive: zeros") << false << true << 0 << quint64(0);
}

void tst_monitor::frameInputCarriesTheFigures()
{
    QFETCH(bool, driveFound);
    QFETCH(bool, celsius);
    QFETCH(int, driveUsage);
    QFETCH(quint64, driveTotal);
    RefreshSnapshot snapshot;
    snapshot.readings.cpuTemperature = 45.5f;
    snapshot.memory.loadPercent = 42;
    snapshot.memory.totalBytes = 16ull << 30;
    snapshot.drive.found = driveFound;
    snapshot.drive.totalBytes = 100ull << 30;
    snapshot.drive.freeBytes = 40ull << 30;
    const QDateTime time(QDate(2024, 5, 6), QTime(7, 8, 9));
    const DeviceFrameInput input = RefreshPass::frameInput(snapshot, celsius, time);
    QCOMPARE(input.readings.cpuTemperature, 45.5f);
    QCOMPARE(input.celsius, celsius);
    QCOMPARE(input.memoryLoad, quint32(42));
    QCOMPARE(input.memoryTotalBytes, quint64(16ull << 30));
    QCOMPARE(input.driveUsage, driveUsage);
    QCOMPARE(input.driveTotalBytes, driveTotal);
    QCOMPARE(input.localTime, time);
}

void tst_monitor::unitAtStart_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("unitSwitch");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QVariant>("storedAfter");
    QTest::newRow("first run: Celsius, nothing written") << QVariant() << 1 << 1 << QVariant();
    QTest::newRow("stored Fahrenheit") << QVariant(2) << 1 << 2 << QVariant(2);
    QTest::newRow("no choice offered: Celsius stored") << QVariant(2) << 0 << 1 << QVariant(1);
    QTest::newRow("unknown value passed on as is") << QVariant(7) << 1 << 7 << QVariant(7);
}

void tst_monitor::unitAtStart()
{
    QFETCH(QVariant, stored);
    QFETCH(int, unitSwitch);
    QFETCH(int, unit);
    QFETCH(QVariant, storedAfter);
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "MyCompanyKelmar", "Tarnix");
    settings.clear();
    if (stored.isValid())
        settings.setValue("TempShowModel/Model", stored);
    settings.sync();
    bool written = false;
    QCOMPARE(UserSettings::startUnit(unitSwitch, &written), unit);
    QVERIFY(written);
    settings.sync();
    QCOMPARE(settings.value("TempShowModel/Model"), storedAfter);
}

// A settings file that cannot be written (here a folder in its place, which stops root too):
// every write says so instead of passing for stored.
void tst_monitor::refusedWritesAreReported()
{
    const QString folder = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/MyCompanyKelmar";
    QVERIFY(QDir().mkpath(folder));
    QFile::remove(folder + "/Tarnix.conf");
    QVERIFY(UserSettings::storeUnit(2));
    SourceChoices choices;
    choices.overrides[0] = QStringLiteral("CPU/temperature/CPU Package");
    QVERIFY(UserSettings::storeSources(choices));
    QCOMPARE(UserSettings::sources().overrides[0], choices.overrides[0]);

    QVERIFY(QFile::remove(folder + "/Tarnix.conf"));
    QVERIFY(QDir().mkpath(folder + "/Tarnix.conf"));
    const bool unitStored = UserSettings::storeUnit(1);
    const bool sourcesStored = UserSettings::storeSources(choices);
    bool startStored = true;
    UserSettings::startUnit(0, &startStored);
    QVERIFY(QDir(folder + "/Tarnix.conf").removeRecursively());
    QVERIFY(!unitStored);
    QVERIFY(!sourcesStored);
    QVERIFY(!startStored);
}

// A refused unit is not kept in Qt's per-process cache, where later reads would take it for
// the saved one.
void tst_monitor::refusedUnitLeavesTheSavedOne()
{
    const QString folder = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/MyCompanyKelmar";
    const QString file = folder + "/Tarnix.conf";
    QVERIFY(QDir().mkpath(folder));
    QFile::remove(file);
    QVERIFY(UserSettings::storeUnit(2));
    if (QProcess::execute("chattr", {"+i", file}) != 0)
        QSKIP("the immutable attribute is not supported here");
    const bool stored = UserSettings::storeUnit(1);
    const int after = UserSettings::startUnit(1);
    QProcess::execute("chattr", {"-i", file});
    QVERIFY(!stored);
    QCOMPARE(after, 2);
}

void tst_monitor::startFindsTheDisplay_data()
{
    QTest::addColumn<bool>("withDevice");
    QTest::newRow("display attached") << true;
    QTest::newRow("no display") << false;
}

void tst_monitor::startFindsTheDisplay()
{
    QFETCH(bool, withDevice);
    Observer observer;
    auto monitor = startMonitor(withDevice, &observer);
    // Found before startUpdate() returns; the sensor library comes up later, off this thread.
    QCOMPARE(monitor->deviceConnected(), withDevice);
    QCOMPARE(observer.connected.load(), withDevice ? 1 : 0);
    QCOMPARE(HidapiDouble::openHandles(), withDevice ? 1 : 0);
    QCOMPARE(loggedCount("Start Update -> Start"), 1);
    QCOMPARE(loggedCount("Start Thread Runing SDK -> GetComputerInfo [Start]"), 1);
    QTRY_VERIFY(monitor->sdkReady());
    // Ready as the sensor thread sees it; the log line follows through the event loop.
    QTRY_COMPARE(loggedCount("HWi32SDK init Over [Successful]"), 1);
    QTRY_VERIFY_WITH_TIMEOUT(monitor->latestSnapshot() != nullptr, 3000);
    QCOMPARE(monitor->latestSnapshot()->readings.cpuClock, 4000.0f);
    if (withDevice)
        QTRY_VERIFY_WITH_TIMEOUT(writeCount() >= 1, 3000);
    else
        QCOMPARE(writeCount(), size_t(0));
}

void tst_monitor::failedLibrarySendsNothing()
{
    writeScript(4000, -7);
    auto monitor = startMonitor(true);
    QTRY_COMPARE(loggedCount("HWi32SDK init Over [Failed], errorCode: -7"), 1);
    QVERIFY(!monitor->sdkReady());
    QTest::qWait(1500);
    QCOMPARE(writeCount(), size_t(0));
    QVERIFY(!monitor->latestSnapshot());
    QVERIFY(monitor->deviceConnected());
}

// Nobody watching: every pass still reaches the display, and none wakes this thread.
void tst_monitor::unwatchedPassesStayOffThisThread()
{
    Observer observer;
    auto monitor = startMonitor(true, &observer);
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() >= 2, 4000);
    QCOMPARE(observer.snapshots.load(), 0);

    QObject window;
    monitor->setWatched(&window, true);
    QTRY_VERIFY_WITH_TIMEOUT(observer.snapshots.load() >= 1, 3000);
    monitor->setWatched(&window, false);
    QTest::qWait(50); // a pass already queued may still arrive
    const int seen = observer.snapshots;
    const size_t writes = writeCount();
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() > writes, 3000);
    QTest::qWait(100);
    QCOMPARE(observer.snapshots.load(), seen);
}

void tst_monitor::passesReachWhileAnyoneWatches_data()
{
    QTest::addColumn<QString>("second"); // what the second of two watchers does
    QTest::addColumn<bool>("delivered");
    QTest::newRow("one of two stops watching") << "stops" << true;
    QTest::newRow("one of two is destroyed") << "destroyed" << true;
    QTest::newRow("the only one stops") << "alone" << false;
}

// Every pass comes once, as the object the report and the sources were taken from.
void tst_monitor::passesReachWhileAnyoneWatches()
{
    QFETCH(QString, second);
    QFETCH(bool, delivered);
    auto monitor = startMonitor(true);
    std::vector<RefreshSnapshotPtr> passes;
    connect(monitor.get(), &Monitor::snapshotReady,
            [&passes](RefreshSnapshotPtr pass) { passes.push_back(pass); });
    QObject window;
    auto other = std::make_unique<QObject>();
    monitor->setWatched(&window, true);
    monitor->setWatched(other.get(), true);
    monitor->setWatched(&window, true); // twice is once
    QTRY_VERIFY_WITH_TIMEOUT(passes.size() >= 2, 4000);
    QVERIFY(passes[0] != passes[1]);
    for (const RefreshSnapshotPtr &pass : passes) {
        QCOMPARE(pass->sources.readings.cpuClock, pass->readings.cpuClock);
        QCOMPARE(pass->sources.reasons[2], SensorSources::Reason::Table); // cpuClock
    }

    if (second == "destroyed")
        other.reset();
    else
        monitor->setWatched(other.get(), false);
    if (second == "alone")
        monitor->setWatched(&window, false);
    QTest::qWait(50); // a pass already queued may still arrive
    const size_t seen = passes.size();
    const size_t writes = writeCount();
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() >= writes + 2, 4000);
    QTest::qWait(100);
    QCOMPARE(passes.size() > seen, delivered);
}

void tst_monitor::reportsMatchTheSnapshotAndUnit()
{
    const QDateTime time(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::LocalTime);
    Clock::setNowSourceForTesting([time] { return time; });
    writeScript(5000);
    auto monitor = startMonitor(true);
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() >= 1, 4000);
    std::vector<unsigned char> frame = HidapiDouble::writes().back().bytes;
    QCOMPARE(frame.size(), size_t(65));
    QCOMPARE(int(frame[1]), 0x40);
    QCOMPARE(int(frame[2]), 45); // Celsius: bit 7 clear
    QCOMPARE(int(frame[3]), 37);
    // The report is the one the snapshot describes (memory and drive move between passes).
    const RefreshSnapshotPtr snapshot = monitor->latestSnapshot();
    QVERIFY(snapshot);
    QCOMPARE(snapshot->maxima.cpuClock, 5001);
    const DeviceFrame expected = buildDeviceFrame(RefreshPass::frameInput(*snapshot, true, time));
    for (int byte : {2, 3, 4, 5, 10, 24, 25, 26, 27, 28, 29})
        QCOMPARE(int(frame[byte]), int(expected[byte]));

    monitor->setCelsius(false);
    const size_t before = writeCount();
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() > before, 3000);
    frame = HidapiDouble::writes().back().bytes;
    QCOMPARE(int(frame[2]), 45 | 0x80);
    QCOMPARE(int(frame[10]), 61 | 0x80);
}

void tst_monitor::hotPlugClosesAndReopens()
{
    Observer observer;
    auto monitor = startMonitor(true, &observer);
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() >= 1, 4000);

    emit monitor->sigHidDeviceConnectChanging_Remove(usbPath);
    QCOMPARE(observer.connected.load(), 0);
    QCOMPARE(loggedCount("Pull out a device --------------- hidPath: \"" + usbPath + "\""), 1);
    QTest::qWait(50); // the writer finishes what it had in hand
    const size_t afterRemoval = writeCount();
    QTest::qWait(2200);
    QCOMPARE(writeCount(), afterRemoval);

    emit monitor->sigHidDeviceConnectChanging_Into(usbPath);
    QCOMPARE(observer.connected.load(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() > afterRemoval, 3000);
    QCOMPARE(HidapiDouble::calls().misuse, 0);
}

void tst_monitor::failingWritesCloseAndSearchEachPass()
{
    Observer observer;
    auto monitor = startMonitor(true, &observer);
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() >= 1, 4000);

    // Gone without a removal event: only the failing writes tell.
    HidapiDouble::removeDevice(displayPath);
    QTRY_COMPARE_WITH_TIMEOUT(observer.connected.load(), 0, 6000);
    QCOMPARE(HidapiDouble::calls().close, 1);
    QCOMPARE(loggedCount("Display writes keep failing: closing it and searching again"), 1);
    const size_t beforeReturn = writeCount();

    // Nor is its return announced: the passes look for it, unwatched as they are.
    HidapiDouble::addDevice(0x5131, 0x2007, displayPath);
    QTRY_COMPARE_WITH_TIMEOUT(observer.connected.load(), 1, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() > beforeReturn, 3000);
    QCOMPARE(HidapiDouble::openedPaths().size(), size_t(2));

    // Once found, the passes stop searching.
    const int searches = HidapiDouble::calls().enumerate;
    QTest::qWait(2200);
    QCOMPARE(HidapiDouble::calls().enumerate, searches);
    QCOMPARE(HidapiDouble::calls().misuse, 0);
}

void tst_monitor::resumeReopensTheDisplay()
{
    Observer observer;
    auto monitor = startMonitor(true, &observer);
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() >= 1, 4000);
    monitor->onSystemResumed();
    QCOMPARE(loggedCount("System resumed: searching the display again and restarting the "
                         "sensor readings"),
             1);
    QCOMPARE(HidapiDouble::calls().close, 1);
    QCOMPARE(HidapiDouble::openedPaths().size(), size_t(2));
    QVERIFY(monitor->deviceConnected());
    // The library starts afresh and the next passes read it.
    writeScript(3500);
    QTRY_COMPARE_WITH_TIMEOUT(monitor->latestSnapshot()->readings.cpuClock, 3500.0f, 3000);
    const size_t afterResume = writeCount();
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() > afterResume, 3000);

    // Woken without the display: nothing to close, and its return is looked for.
    HidapiDouble::removeDevice(displayPath);
    emit monitor->sigHidDeviceConnectChanging_Remove(QStringLiteral("5131:2007"));
    monitor->onSystemResumed();
    QCOMPARE(HidapiDouble::calls().close, 2);
    HidapiDouble::addDevice(0x5131, 0x2007, displayPath);
    QTRY_COMPARE_WITH_TIMEOUT(observer.connected.load(), 1, 3000);
    QCOMPARE(HidapiDouble::calls().misuse, 0);
}

void tst_monitor::retryWaitsGrowToTheCap_data()
{
    QTest::addColumn<int>("failures");  // refused opens in a row
    QTest::addColumn<int>("waitTicks"); // ticks until the next attempt is due

    QTest::newRow("first refusal: the next tick") << 1 << 1;
    QTest::newRow("second") << 2 << 2;
    QTest::newRow("third") << 3 << 4;
    QTest::newRow("fourth reaches the cap") << 4 << OpenRetry::kLongestWaitTicks;
    QTest::newRow("tenth stays at the cap") << 10 << OpenRetry::kLongestWaitTicks;
}

void tst_monitor::retryWaitsGrowToTheCap()
{
    QFETCH(int, failures);
    QFETCH(int, waitTicks);
    OpenRetry retry;
    QVERIFY(!retry.tick());
    QVERIFY(!retry.takeDue());
    for (int i = 0; i < failures; ++i)
        retry.failed();
    QVERIFY(retry.failing());
    for (int tick = 1; tick < waitTicks; ++tick) {
        QVERIFY2(!retry.tick(), qPrintable(QString::number(tick)));
        QVERIFY(!retry.takeDue());
    }
    QVERIFY(retry.tick());
    QVERIFY(retry.takeDue());
    QVERIFY(!retry.takeDue()); // taken once
    // Nothing more until the attempt's result is known.
    for (int tick = 0; tick < 2 * OpenRetry::kLongestWaitTicks; ++tick)
        QVERIFY(!retry.tick());

    // A due attempt not yet taken is dropped when the display opens another way.
    retry.failed();
    while (!retry.tick()) {
    }
    retry.stop();
    QVERIFY(!retry.failing());
    QVERIFY(!retry.takeDue());
    retry.failed();
    QCOMPARE(retry.waitTicks(), 1); // a new outage starts from the shortest wait
}

void tst_monitor::refusedOpenIsRetried_data()
{
    QTest::addColumn<QString>("when");
    QTest::newRow("at start") << "start";
    QTest::newRow("after the failing writes close it") << "writes";
    QTest::newRow("after waking") << "resume";
    QTest::newRow("after an announced replug") << "replug";
}

// A listed display that refuses to open (a permission race, an error on waking) comes back on
// a later pass, unwatched, and the outage is logged once.
void tst_monitor::refusedOpenIsRetried()
{
    QFETCH(QString, when);
    const QString outageLine =
        QStringLiteral("Display found but not opened: trying again on the refresh tick");
    Observer observer;
    if (when == "start")
        HidapiDouble::setFaults("open-fails 2");
    auto monitor = startMonitor(true, &observer);
    if (when == "start") {
        QVERIFY(!monitor->deviceConnected());
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(writeCount() >= 1, 4000);
        if (when == "writes") {
            HidapiDouble::setFaults("write-fails 3\nopen-fails 2");
        } else if (when == "resume") {
            HidapiDouble::setFaults("open-fails 2");
            monitor->onSystemResumed();
        } else {
            emit monitor->sigHidDeviceConnectChanging_Remove(usbPath);
            HidapiDouble::setFaults("open-fails 2");
            emit monitor->sigHidDeviceConnectChanging_Into(usbPath);
        }
        QTRY_COMPARE_WITH_TIMEOUT(loggedCount(outageLine), 1, 6000);
        QVERIFY(!monitor->deviceConnected());
    }
    const size_t beforeReturn = writeCount();
    const int opensBefore = int(HidapiDouble::openedPaths().size());

    // Refused twice: tried again one pass later, then two passes after that.
    QTRY_COMPARE_WITH_TIMEOUT(observer.connected.load(), 1, 6000);
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() > beforeReturn, 3000);
    QCOMPARE(int(HidapiDouble::openedPaths().size()), opensBefore + 1);
    QCOMPARE(loggedCount(outageLine), 1);
    QCOMPARE(loggedCount("Unable to open device\n"), 1);
    QCOMPARE(observer.snapshots.load(), 0);

    // Open again: no more attempts.
    const int opens = HidapiDouble::calls().openPath;
    QTest::qWait(2200);
    QCOMPARE(HidapiDouble::calls().openPath, opens);
    QCOMPARE(HidapiDouble::calls().misuse, 0);
}

void tst_monitor::stopClosesLibraryThenDisplay()
{
    auto monitor = startMonitor(true);
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() >= 1, 4000);
    monitor->stop();
    QCOMPARE(loggedCount("HWi32SDK UNinit Over [Status],errorCode: 0"), 1);
    QVERIFY(!monitor->deviceConnected());
    QCOMPARE(HidapiDouble::calls().close, 1);
    const size_t afterStop = writeCount();
    QTest::qWait(1500);
    QCOMPARE(writeCount(), afterStop);
    QCOMPARE(HidapiDouble::calls().misuse, 0);
}

void tst_monitor::destroyedMonitorLeavesNoWorker()
{
    auto monitor = startMonitor(true);
    QTRY_VERIFY_WITH_TIMEOUT(writeCount() >= 1, 4000);
    monitor.reset();
    QCOMPARE(HidapiDouble::openHandles(), 0);
    const size_t afterClose = writeCount();
    QTest::qWait(1500);
    QCOMPARE(writeCount(), afterClose);
    QCOMPARE(HidapiDouble::calls().misuse, 0);

    // Destroyed before the library came up: the start-up thread is joined, not left running.
    writeScript(4000);
    auto early = startMonitor(false);
    early.reset();
    QCOMPARE(HidapiDouble::calls().misuse, 0);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    tst_monitor test;
    const int failures = QTest::qExec(&test, argc, argv);
    std::fflush(nullptr);
    std::_Exit(failures == 0 ? 0 : 1);
}

#include "tst_monitor.moc"
