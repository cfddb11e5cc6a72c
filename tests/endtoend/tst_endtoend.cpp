// The real Tarnix, staged with the scripted sensor library and the hidapi double: what reaches
// the display, when, and what happens when the library or the display is missing.
#include "../crash/TarnixRun.h"
#include "DesktopScript.h"
#include "StagedTarnix.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include <memory>

namespace {

// Bytes 2 to 17 for desktopScript with Celsius selected.
const QByteArray desktopSensorBytes = QByteArray::fromHex("2d25"   // CPU 45 °C, 37 %
                                                          "125c"   // 4700 MHz
                                                          "04d2"   // fan 1234 RPM
                                                          "0041"   // power 65 W
                                                          "3d58"   // GPU 61 °C, 88 %
                                                          "0753"   // 1875 MHz
                                                          "0672"   // fan 1650 RPM
                                                          "0138"); // power 312 W

const QString initFailedLine = QStringLiteral("HWi32SDK init Over [Failed], errorCode: -111");
const QString initOkLine = QStringLiteral("HWi32SDK init Over [Successful]");
const QString passOverLine = QStringLiteral("*** Hardware info get [Over] ***");

int byteAt(const QByteArray &frame, int offset)
{
    return quint8(frame.at(offset));
}

int word(const QByteArray &frame, int offset)
{
    return byteAt(frame, offset) << 8 | byteAt(frame, offset + 1);
}

struct Meminfo
{
    quint64 totalKiB = 0;
    quint64 availableKiB = 0;
};

Meminfo readMeminfo()
{
    QFile file(QStringLiteral("/proc/meminfo"));
    Meminfo info;
    if (!file.open(QIODevice::ReadOnly))
        return info;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() < 2)
            continue;
        if (parts.at(0) == "MemTotal:")
            info.totalKiB = parts.at(1).toULongLong();
        else if (parts.at(0) == "MemAvailable:")
            info.availableKiB = parts.at(1).toULongLong();
    }
    return info;
}

// Marker, checksum, zero tail, and a date and time no more than a minute before the write,
// give or take slackSecs for a report that waited on a slow display.
void verifyFrameLayout(const SentFrame &frame, int slackSecs = 2)
{
    const QByteArray &b = frame.bytes;
    QCOMPARE(b.size(), 65);
    QCOMPARE(byteAt(b, 0), 0x00);
    QCOMPARE(byteAt(b, 1), 0x40);
    int sum = 0;
    for (int i = 1; i <= 29; ++i)
        sum += byteAt(b, i);
    QCOMPARE(byteAt(b, 30), sum % 256);
    QCOMPARE(b.mid(31), QByteArray(34, '\0'));

    const QDateTime sent = QDateTime::fromMSecsSinceEpoch(frame.atMs);
    const QDateTime stamped(QDate(word(b, 24), byteAt(b, 26), byteAt(b, 27)),
                            QTime(byteAt(b, 28), byteAt(b, 29)));
    QVERIFY2(stamped.isValid(), qPrintable(b.mid(24, 6).toHex()));
    const qint64 late = stamped.secsTo(sent);
    QVERIFY2(late >= -2 && late <= 60 + slackSecs,
             qPrintable(stamped.toString(Qt::ISODate) + " vs " + sent.toString(Qt::ISODate)));
}

void verifySystemFigures(const QByteArray &frame)
{
    const Meminfo memory = readMeminfo();
    QVERIFY(memory.totalKiB > 0);
    QCOMPARE(word(frame, 19), int((memory.totalKiB / 1024) & 0xFFFF));
    const int load = int((memory.totalKiB - memory.availableKiB) * 100 / memory.totalKiB);
    QVERIFY2(qAbs(byteAt(frame, 18) - load) <= 5,
             qPrintable(QStringLiteral("sent %1 %, now %2 %").arg(byteAt(frame, 18)).arg(load)));

    struct statvfs root
    {
    };
    QCOMPARE(statvfs("/", &root), 0);
    const quint64 total = quint64(root.f_blocks) * root.f_frsize;
    const quint64 free = quint64(root.f_bfree) * root.f_frsize;
    QVERIFY(total > 0);
    QCOMPARE(word(frame, 22), int((total / 1073741824ULL) & 0xFFFF));
    const int usage = int(100.0 - double(free) / double(total) * 100.0);
    QVERIFY2(qAbs(byteAt(frame, 21) - usage) <= 1,
             qPrintable(QStringLiteral("sent %1 %, now %2 %").arg(byteAt(frame, 21)).arg(usage)));
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void framesOnceASecond();
    void nothingSentBeforeTheSdkIsReady();
    void temperatureUnitFlag_data();
    void temperatureUnitFlag();
    void chosenSources_data();
    void chosenSources();
    void missingSensorLibrary();
    void noDevice();
    void deviceGoneWhileRunning();
    void displayFaults_data();
    void displayFaults();
    void refusedOpens_data();
    void refusedOpens();
    void logonTaskFailureHoldsNothingUp_data();
    void logonTaskFailureHoldsNothingUp();
    void firstReportBeforeTheInventory();
    void endingSignals_data();
    void endingSignals();
    void hangupIgnoredUnderNohup();

private:
    StagedTarnix &launch(const StagedTarnix::Options &options);

    std::unique_ptr<StagedTarnix> tarnix;
};

void TestEndToEnd::initTestCase()
{
    TarnixRun::isolate();
    for (const char *needed : {"/Tarnix", "/tests/scripted-sensors/libhwsensors.so",
                               "/tests/hidapi-double/libhidapi-hidraw.so.0"}) {
        QVERIFY2(QFile::exists(QStringLiteral(TARNIX_BINARY_DIR) + QLatin1String(needed)), needed);
    }
}

void TestEndToEnd::cleanup()
{
    tarnix.reset();
    TarnixRun::removeLeftoverIpc();
}

StagedTarnix &TestEndToEnd::launch(const StagedTarnix::Options &options)
{
    tarnix = std::make_unique<StagedTarnix>(options);
    if (tarnix->isValid())
        tarnix->start();
    return *tarnix;
}

void TestEndToEnd::framesOnceASecond()
{
    StagedTarnix::Options options;
    options.sensorScript = desktopScript;
    StagedTarnix &app = launch(options);
    QVERIFY(app.isValid());

    QVERIFY2(app.waitForFrames(5, 15000), qPrintable(app.events()));
    const QList<SentFrame> frames = app.frames();
    for (int i = 1; i < 5; ++i) {
        const qint64 gap = frames.at(i).atMs - frames.at(i - 1).atMs;
        QVERIFY2(gap >= 800 && gap <= 1600, qPrintable(QString::number(gap)));
    }
    for (const SentFrame &frame : frames) {
        verifyFrameLayout(frame);
        QCOMPARE(frame.bytes.mid(2, 16).toHex(), desktopSensorBytes.toHex());
    }
    verifySystemFigures(frames.last().bytes);
    QVERIFY(app.isRunning());
    // No application attribute is set too late to act.
    QVERIFY2(!app.standardError().contains(QStringLiteral("before QCoreApplication is created")),
             qPrintable(app.standardError()));
}

void TestEndToEnd::nothingSentBeforeTheSdkIsReady()
{
    StagedTarnix::Options options;
    options.sensorScript = QStringLiteral("initdelay 2500\n") + desktopScript;
    StagedTarnix &app = launch(options);
    QVERIFY(app.isValid());

    // The display is open long before the library answers; only the gate holds frames back.
    QVERIFY(app.waitForEvent(QStringLiteral(" open "), 5000));
    QTest::qWait(
        int(qMax<qint64>(0, app.startedAtMs() + 2000 - QDateTime::currentMSecsSinceEpoch())));
    QVERIFY(app.frames().isEmpty());
    QVERIFY(!app.log().contains(initOkLine));

    QVERIFY(app.waitForFrames(1, 6000));
    const SentFrame first = app.frames().first();
    QVERIFY(first.atMs >= app.startedAtMs() + 2500);
    QCOMPARE(first.bytes.mid(2, 16).toHex(), desktopSensorBytes.toHex());
}

void TestEndToEnd::temperatureUnitFlag_data()
{
    QTest::addColumn<int>("storedUnit");
    QTest::addColumn<int>("selector");
    QTest::addColumn<int>("cpuByte");
    QTest::addColumn<int>("gpuByte");
    // The values stay Celsius; bit 7 only says the user chose Fahrenheit.
    QTest::newRow("stored Fahrenheit") << 2 << 1 << (45 | 0x80) << (61 | 0x80);
    QTest::newRow("stored Fahrenheit, selector hidden") << 2 << 0 << 45 << 61;
    QTest::newRow("stored odd value") << 7 << 1 << (45 | 0x80) << (61 | 0x80);
}

void TestEndToEnd::temperatureUnitFlag()
{
    QFETCH(int, storedUnit);
    QFETCH(int, selector);
    QFETCH(int, cpuByte);
    QFETCH(int, gpuByte);
    StagedTarnix::Options options;
    options.sensorScript = desktopScript;
    options.storedUnit = storedUnit;
    options.temperatureSelector = selector;
    StagedTarnix &app = launch(options);
    QVERIFY(app.isValid());

    QVERIFY(app.waitForFrames(1, 10000));
    const SentFrame frame = app.frames().first();
    verifyFrameLayout(frame);
    QCOMPARE(byteAt(frame.bytes, 2), cpuByte);
    QCOMPARE(byteAt(frame.bytes, 10), gpuByte);
    QCOMPARE(frame.bytes.mid(3, 7), desktopSensorBytes.mid(1, 7));
    QCOMPARE(frame.bytes.mid(11, 7), desktopSensorBytes.mid(9, 7));
}

void TestEndToEnd::chosenSources_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("logLine"); // empty: no fallback line

    QTest::newRow("die temperature instead of the package")
        << "cpuTemperature"
        << "CPU [#0]: Test CPU/temperature/CPU (Tccd1)" << 2 << QByteArray::fromHex("34")
        << QString();
    QTest::newRow("slash in the name, comma in the sensor")
        << "gpuPower"
        << "GPU [#1]: Test, dGPU/power/GPU Power (Board\\/Total)" << 16
        << QByteArray::fromHex("00fa") << QString();
    QTest::newRow("card ties the GPU values") << "gpuCard"
                                              << "GPU [#1]: Test, dGPU" << 10
                                              << QByteArray::fromHex("4300"
                                                                     "0a28")
                                              << QString();
    QTest::newRow("hardware gone: the tables decide")
        << "cpuTemperature"
        << "CPU [#0]: Old CPU/temperature/CPU Package" << 2 << QByteArray::fromHex("2d")
        << "Sources -> cpuTemperature 'CPU [#0]: Old CPU/temperature/CPU Package' not found, "
           "name tables decide";
}

void TestEndToEnd::chosenSources()
{
    QFETCH(QString, key);
    QFETCH(QString, choice);
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, logLine);
    StagedTarnix::Options options;
    // A second card after the first: by the tables it never feeds a value.
    options.sensorScript = desktopScript +
                           "sensor CPU [#0]: Test CPU\ntemperature 5 52.3 CPU (Tccd1)\n"
                           "sensor GPU [#1]: Test, dGPU\n"
                           "temperature 0 67.5 GPU Temperature\nusage 0 0.2 GPU Core Load\n"
                           "clock 0 2600 GPU Clock\npower 0 199 GPU Power (Board\\Total)\n"
                           "power 1 250.7 GPU Power (Board/Total)\n";
    options.sources.insert(key, choice);
    StagedTarnix &app = launch(options);
    QVERIFY(app.isValid());

    QVERIFY2(app.waitForFrames(3, 10000), qPrintable(app.standardError()));
    for (const SentFrame &frame : app.frames()) {
        verifyFrameLayout(frame);
        QCOMPARE(frame.bytes.mid(offset, bytes.size()).toHex(), bytes.toHex());
    }
    if (logLine.isEmpty())
        QVERIFY(!app.log().contains("Sources ->"));
    else
        QCOMPARE(app.log().count(logLine), 1);
}

void TestEndToEnd::missingSensorLibrary()
{
    StagedTarnix::Options options;
    options.withSensorLibrary = false;
    StagedTarnix &app = launch(options);
    QVERIFY(app.isValid());

    QVERIFY2(app.waitForLog(initFailedLine, 8000), qPrintable(app.log() + app.standardError()));
    QVERIFY(app.events().contains(QStringLiteral(" open ")));
    // Two polls' worth of time.
    QTest::qWait(2200);
    QVERIFY(app.isRunning());
    QVERIFY(app.frames().isEmpty());
}

void TestEndToEnd::noDevice()
{
    StagedTarnix::Options options;
    options.sensorScript = desktopScript;
    options.deviceLine.clear();
    StagedTarnix &app = launch(options);
    QVERIFY(app.isValid());

    // A pass has been made, so a refresh ran with nothing to send to.
    QVERIFY2(app.waitForLog(passOverLine, 8000), qPrintable(app.log()));
    QTest::qWait(1200);
    QVERIFY(app.isRunning());
    QVERIFY(app.frames().isEmpty());
    QVERIFY(!app.events().contains(QStringLiteral(" open ")));
    QVERIFY(!app.log().contains(QStringLiteral("onOpenHidSuccessful")));
}

void TestEndToEnd::deviceGoneWhileRunning()
{
    StagedTarnix::Options options;
    options.sensorScript = desktopScript;
    StagedTarnix &app = launch(options);
    QVERIFY(app.isValid());

    QVERIFY(app.waitForFrames(2, 10000));
    const qint64 removedAt = QDateTime::currentMSecsSinceEpoch();
    app.setDeviceLine(QString());

    QVERIFY2(app.waitForEvent(QStringLiteral("write-failed"), 3000), qPrintable(app.events()));
    // No removal event reaches the program: the failing writes make it close the display.
    QVERIFY2(app.waitForEvent(QStringLiteral("close"), 6000), qPrintable(app.events()));
    QVERIFY(app.isRunning());
    const int sent = app.frames().size();
    for (const SentFrame &frame : app.frames())
        QVERIFY(frame.atMs <= removedAt + 50);

    // Back again, unannounced too: found by the next refreshes, and reports flow.
    app.setDeviceLine(options.deviceLine);
    QVERIFY2(app.waitForFrames(sent + 2, 6000), qPrintable(app.events()));
    QVERIFY(app.log().contains(
        QStringLiteral("Display writes keep failing: closing it and searching again")));
}

void TestEndToEnd::displayFaults_data()
{
    QTest::addColumn<QString>("faults");     // the hidapi double's faults, once reports flow
    QTest::addColumn<QString>("awaited");    // the double's event that shows the fault acted
    QTest::addColumn<int>("clearAfterMs");   // faults removed this long after that; 0: kept
    QTest::addColumn<bool>("displayClosed"); // closed and opened again on the way
    // How long a report may wait: one in the writer's hands and the two queued behind it.
    QTest::addColumn<int>("slackSecs");

    QTest::newRow("three failing writes") << "write-fails 3"
                                          << " close " << 0 << true << 2;
    QTest::newRow("writes fail until the display recovers") << "write-fails"
                                                            << " close " << 2500 << true << 2;
    QTest::newRow("each write stalls 2.5 s") << "write-blocks 2500"
                                             << " write-blocked " << 5000 << false << 8;
    QTest::newRow("display leaves for 5 s, unannounced") << "leave-after-writes 1 5000"
                                                         << " back " << 0 << true << 2;
    // The display goes quiet, and its first two opens afterwards fail (a udev permission race).
    QTest::newRow("reopen fails twice after failing writes") << "write-fails 3\nopen-fails 2"
                                                             << " open-failed " << 0 << true << 2;
}

// Display faults the program survives: reports come back once the display behaves again.
void TestEndToEnd::displayFaults()
{
    QFETCH(QString, faults);
    QFETCH(QString, awaited);
    QFETCH(int, clearAfterMs);
    QFETCH(bool, displayClosed);
    QFETCH(int, slackSecs);

    StagedTarnix::Options options;
    options.sensorScript = desktopScript;
    StagedTarnix &app = launch(options);
    QVERIFY(app.isValid());
    QVERIFY2(app.waitForFrames(2, 10000), qPrintable(app.events()));

    app.setFaults(faults);
    QVERIFY2(app.waitForEvent(awaited, 10000), qPrintable(app.events()));
    if (clearAfterMs > 0) {
        QTest::qWait(clearAfterMs);
        app.setFaults(QString());
    }
    const int sent = app.frames().size();
    QVERIFY2(app.waitForFrames(sent + 2, 10000), qPrintable(app.events()));
    QVERIFY(app.isRunning());
    for (const SentFrame &frame : app.frames().mid(sent)) {
        verifyFrameLayout(frame, slackSecs);
        QCOMPARE(frame.bytes.mid(2, 16).toHex(), desktopSensorBytes.toHex());
    }

    const QString events = app.events();
    const int opens = events.count(QStringLiteral(" open /dev/hidraw-e2e"));
    QVERIFY2(events.contains(QStringLiteral(" close ")) == displayClosed, qPrintable(events));
    QCOMPARE(opens > 1, displayClosed);
    if (!displayClosed)
        QVERIFY2(!events.contains(QStringLiteral("write-failed")), qPrintable(events));
}

void TestEndToEnd::refusedOpens_data()
{
    QTest::addColumn<bool>("atStart"); // else after an unannounced replug
    QTest::addColumn<int>("refusals");

    QTest::newRow("at start, refused once") << true << 1;
    QTest::newRow("at start, refused three times") << true << 3;
    QTest::newRow("after a replug, refused twice") << false << 2;
}

// A display that is listed but refuses its first opens comes back by itself, and the outage
// is logged once however many opens it takes.
void TestEndToEnd::refusedOpens()
{
    QFETCH(bool, atStart);
    QFETCH(int, refusals);
    const QString refusal = QStringLiteral("open-fails %1").arg(refusals);

    StagedTarnix::Options options;
    options.sensorScript = desktopScript;
    if (atStart)
        options.hidFaults = refusal;
    StagedTarnix &app = launch(options);
    QVERIFY(app.isValid());
    if (!atStart) {
        QVERIFY2(app.waitForFrames(2, 10000), qPrintable(app.events()));
        app.setDeviceLine(QString());
        QVERIFY2(app.waitForEvent(QStringLiteral(" close "), 8000), qPrintable(app.events()));
        app.setFaults(refusal);
        app.setDeviceLine(options.deviceLine);
    }
    QVERIFY2(app.waitForEvent(QStringLiteral(" open-failed "), 8000), qPrintable(app.events()));
    const int sent = app.frames().size();

    // Waits of 1, 2 and 4 passes after the refusals: back within 8 s of the first.
    QVERIFY2(app.waitForFrames(sent + 2, 12000), qPrintable(app.events()));
    for (const SentFrame &frame : app.frames().mid(sent)) {
        verifyFrameLayout(frame);
        QCOMPARE(frame.bytes.mid(2, 16).toHex(), desktopSensorBytes.toHex());
    }
    const QString events = app.events();
    QCOMPARE(events.count(QStringLiteral(" open-failed ")), refusals);
    const QString log = app.log();
    QCOMPARE(
        log.count(QStringLiteral("Display found but not opened: trying again on the refresh tick")),
        1);
    QCOMPARE(log.count(QStringLiteral("Unable to open device")), 1);
    QVERIFY(app.isRunning());
}

void TestEndToEnd::logonTaskFailureHoldsNothingUp_data()
{
    QTest::addColumn<int>("showMainPage");
    QTest::newRow("window hidden at start") << 0;
    QTest::newRow("window shown at start") << 1;
}

// A file where the autostart folder belongs: the logon entry cannot be written, its box opens
// and nobody clicks it, yet the library starts and reports flow.
void TestEndToEnd::logonTaskFailureHoldsNothingUp()
{
    QFETCH(int, showMainPage);
    StagedTarnix::Options options;
    options.sensorScript = desktopScript;
    options.showMainPage = showMainPage;
    tarnix = std::make_unique<StagedTarnix>(options);
    StagedTarnix &app = *tarnix;
    QVERIFY(app.isValid());
    QFile blocker(app.path(QStringLiteral("config")) + QStringLiteral("/autostart"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(app.start());

    // A box that held the program up would hold it until clicked: 15 s leave room for the
    // thread checker's build on a busy machine (10 s once ran out there).
    // QTest keeps about a thousand characters of the message: the end of standard error
    // first, where a sanitizer that stopped the program says why.
    QVERIFY2(app.waitForFrames(2, 15000),
             qPrintable(app.standardError().right(700) + app.log().right(300)));
    QVERIFY(app.isRunning());
    const QString log = app.log();
    QVERIFY2(
        log.contains(QStringLiteral("Startup task not registered, errorCode: %1").arg(ENOTDIR)),
        qPrintable(log));
    QVERIFY(log.contains(QStringLiteral("Create Startup Task -> Over")));
    QVERIFY(log.contains(initOkLine));
    for (const SentFrame &frame : app.frames())
        QCOMPARE(frame.bytes.mid(2, 16).toHex(), desktopSensorBytes.toHex());
}

// An inventory that hangs (a FIFO where /proc/cpuinfo belongs, as a hung WMI query would on
// Windows): the first report comes as soon as without it, the hardware page once it is done.
void TestEndToEnd::firstReportBeforeTheInventory()
{
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("proc")));
    const QByteArray cpuinfo = QFile::encodeName(root.filePath(QStringLiteral("proc/cpuinfo")));
    QCOMPARE(mkfifo(cpuinfo.constData(), 0600), 0);

    StagedTarnix::Options options;
    options.sensorScript = desktopScript;
    options.sensorRoot = root.path();
    StagedTarnix &app = launch(options);
    QVERIFY(app.isValid());
    // The inventory is held by the FIFO: the reports come without it. How soon the first one
    // comes is the machine's figure (bench/run-first-report.sh), not this test's.
    QVERIFY2(app.waitForFrames(2, 5000), qPrintable(app.log()));
    const QString overLine = QStringLiteral("*** PC Hardware Info Get Over ***");
    QVERIFY2(!app.log().contains(overLine), qPrintable(app.log()));

    // The query returns: the page fills in, and reports keep flowing. Each open of the FIFO by
    // the inventory is answered, whether it reads the text or gives up on a file that is not
    // regular (then the write finds no reader: no SIGPIPE for that).
    const auto oldPipeHandler = std::signal(SIGPIPE, SIG_IGN);
    const char text[] = "processor\t: 0\nmodel name\t: Slow CPU\n\n";
    QElapsedTimer answering;
    answering.start();
    while (!app.log().contains(overLine) && answering.elapsed() < 5000) {
        const int fifo = ::open(cpuinfo.constData(), O_WRONLY | O_NONBLOCK);
        if (fifo >= 0) {
            [[maybe_unused]] const ssize_t written = ::write(fifo, text, sizeof text - 1);
            ::close(fifo);
        }
        QTest::qWait(50);
    }
    std::signal(SIGPIPE, oldPipeHandler);
    QVERIFY2(app.waitForLog(QStringLiteral("onGetPcHardwareInfoOver and update to UI"), 5000),
             qPrintable(app.log()));
    QVERIFY(app.log().contains(overLine));
    const int sent = app.frames().size();
    QVERIFY(app.waitForFrames(sent + 1, 3000));
    QVERIFY(app.isRunning());
}

void TestEndToEnd::endingSignals_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("libraryReady"); // false: sent while the library still starts

    QTest::newRow("SIGTERM (kill, session end)") << int(SIGTERM) << "SIGTERM" << true;
    QTest::newRow("SIGINT (Ctrl+C)") << int(SIGINT) << "SIGINT" << true;
    QTest::newRow("SIGHUP (terminal gone)") << int(SIGHUP) << "SIGHUP" << true;
    QTest::newRow("SIGTERM while the library starts") << int(SIGTERM) << "SIGTERM" << false;
}

// Ending signals take the tray's exit path: library closed, display closed, last log line,
// exit code 0.
void TestEndToEnd::endingSignals()
{
    QFETCH(int, signalNumber);
    QFETCH(QString, name);
    QFETCH(bool, libraryReady);

    StagedTarnix::Options options;
    options.sensorScript =
        (libraryReady ? QString() : QStringLiteral("initdelay 4000\n")) + desktopScript;
    StagedTarnix &app = launch(options);
    QVERIFY(app.isValid());
    if (libraryReady)
        QVERIFY2(app.waitForFrames(2, 10000), qPrintable(app.events()));
    else
        QVERIFY2(app.waitForEvent(QStringLiteral(" open "), 5000), qPrintable(app.events()));

    int exitCode = -1;
    QVERIFY2(app.endWith(signalNumber, 5000, exitCode), qPrintable(app.log()));
    QCOMPARE(exitCode, 0);

    const QStringList events = app.events().split('\n', Qt::SkipEmptyParts);
    QVERIFY2(events.size() >= 2, qPrintable(app.events()));
    QVERIFY2(events.at(events.size() - 2).endsWith(QStringLiteral(" close /dev/hidraw-e2e")),
             qPrintable(app.events()));
    QVERIFY2(events.last().endsWith(QStringLiteral(" exit")), qPrintable(app.events()));

    const QStringList log = app.log().split('\n', Qt::SkipEmptyParts);
    QVERIFY(!log.isEmpty());
    QVERIFY2(log.last().contains(QStringLiteral("Exit app runing [Normal]")),
             qPrintable(log.last()));
    QVERIFY(app.log().contains(QStringLiteral("Quit requested by ") + name));
    QCOMPARE(app.log().contains(QStringLiteral("HWi32SDK UNinit Over [Status],errorCode: 0")),
             libraryReady);
}

// Started with SIGHUP ignored, as nohup does: a hang-up leaves it running, SIGTERM still ends it.
void TestEndToEnd::hangupIgnoredUnderNohup()
{
    StagedTarnix::Options options;
    options.sensorScript = desktopScript;
    const auto previous = std::signal(SIGHUP, SIG_IGN); // inherited by the started copy
    StagedTarnix &app = launch(options);
    std::signal(SIGHUP, previous);
    QVERIFY(app.isValid());
    QVERIFY2(app.waitForFrames(1, 10000), qPrintable(app.events()));

    int exitCode = -1;
    QVERIFY(!app.endWith(SIGHUP, 1500, exitCode));
    QVERIFY(app.isRunning());
    QVERIFY(!app.log().contains(QStringLiteral("Quit requested")));
    QVERIFY(app.endWith(SIGTERM, 5000, exitCode));
    QCOMPARE(exitCode, 0);
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
