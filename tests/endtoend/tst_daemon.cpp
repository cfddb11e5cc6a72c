// The real tarnixd beside the real Tarnix, both staged with the scripted sensor library and the
// hidapi double: the same reports, the ending signals, the start without a display, --check,
// the reasons an open fails, and one feeder for the display across two processes.
#include "../crash/TarnixRun.h"
#include "DesktopScript.h"
#include "StagedTarnix.h"

#include <QtTest>

#include <csignal>
#include <cstring>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString refusedLine = QStringLiteral("Display left alone:");
const QString exitLine = QStringLiteral("Exit app runing [Normal]");

// What two runs a moment apart must share: every byte but memory load, disk use, the clock
// and the checksum over them.
QByteArray stableBytes(const QByteArray &frame)
{
    return frame.left(18) + frame.mid(19, 2) + frame.mid(22, 2) + frame.mid(31);
}

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// A program of the build run to its end with the given environment changes; an empty value
// removes the variable.
Run runToEnd(const QString &program, const QStringList &arguments,
             const QMap<QString, QString> &environment)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto it = environment.begin(); it != environment.end(); ++it) {
        if (it.value().isEmpty())
            env.remove(it.key());
        else
            env.insert(it.key(), it.value());
    }
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TARNIX_BINARY_DIR "/") + program, arguments);
    Run run;
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

const QMap<QString, QString> noDisplay = {{QStringLiteral("DISPLAY"), QString()},
                                          {QStringLiteral("WAYLAND_DISPLAY"), QString()},
                                          {QStringLiteral("QT_QPA_PLATFORM"), QString()}};

StagedTarnix::Options daemonOptions()
{
    StagedTarnix::Options options;
    options.executable = QStringLiteral("tarnixd");
    options.sensorScript = desktopScript;
    return options;
}

// The service manager's end of NOTIFY_SOCKET.
class NotifySocket
{
public:
    explicit NotifySocket(const QString &path) : name(QFile::encodeName(path))
    {
        fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
        bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }
    ~NotifySocket() { ::close(fd); }
    bool isBound() const { return bound; }
    QString path() const { return QFile::decodeName(name); }
    // Every message that came since the last call.
    QStringList take()
    {
        QStringList messages;
        char buffer[256];
        for (ssize_t got; (got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0;)
            messages << QString::fromLatin1(buffer, int(got)).trimmed();
        return messages;
    }

private:
    QByteArray name;
    int fd = -1;
    bool bound = false;
};

} // namespace

class TestDaemon : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup() { TarnixRun::removeLeftoverIpc(); }
    void reportsMatchTarnix_data();
    void reportsMatchTarnix();
    void endingSignals_data();
    void endingSignals();
    void withoutDisplay_data();
    void withoutDisplay();
    void chosenFolders();
    void check_data();
    void check();
    void openFailureSaysWhy();
    void oneFeederAcrossProcesses();
    void missingSensorLibraryEnds();
    void serviceManagerHearsReadyAndWatchdog();
    void hungLibraryStopsTheWatchdog();
};

void TestDaemon::initTestCase()
{
    TarnixRun::isolate();
    for (const char *needed : {"/Tarnix", "/tarnixd", "/tests/scripted-sensors/libhwsensors.so",
                               "/tests/hidapi-double/libhidapi-hidraw.so.0"}) {
        QVERIFY2(QFile::exists(QStringLiteral(TARNIX_BINARY_DIR) + QLatin1String(needed)), needed);
    }
}

void TestDaemon::reportsMatchTarnix_data()
{
    QTest::addColumn<int>("selector"); // AppUiShow/TemperatureChangShowModel
    QTest::addColumn<int>("storedUnit");
    QTest::addColumn<QString>("sourceKey");
    QTest::addColumn<QString>("sourceValue");

    QTest::newRow("Celsius, name tables") << 1 << 1 << QString() << QString();
    QTest::newRow("Fahrenheit stored") << 1 << 2 << QString() << QString();
    QTest::newRow("unit switch off stores Celsius") << 0 << 2 << QString() << QString();
    QTest::newRow("a chosen source")
        << 1 << 1 << QStringLiteral("cpuTemperature")
        << QStringLiteral("CPU [#0]: Test CPU/temperature/CPU (Tccd1)");
}

// Same script, same settings: tarnixd sends what Tarnix sends.
void TestDaemon::reportsMatchTarnix()
{
    QFETCH(int, selector);
    QFETCH(int, storedUnit);
    QFETCH(QString, sourceKey);
    QFETCH(QString, sourceValue);

    QByteArray sent[2];
    const QString executables[2] = {QStringLiteral("Tarnix"), QStringLiteral("tarnixd")};
    for (int i = 0; i < 2; ++i) {
        StagedTarnix::Options options = daemonOptions();
        options.executable = executables[i];
        options.sensorScript += "sensor CPU [#0]: Test CPU\ntemperature 5 52.3 CPU (Tccd1)\n";
        options.temperatureSelector = selector;
        options.storedUnit = storedUnit;
        if (!sourceKey.isEmpty())
            options.sources.insert(sourceKey, sourceValue);
        StagedTarnix staged(options);
        QVERIFY(staged.isValid());
        QVERIFY(staged.start());
        QVERIFY2(staged.waitForFrames(3, 15000), qPrintable(staged.events() + staged.log()));
        sent[i] = staged.frames().at(2).bytes;
    }
    QCOMPARE(sent[1].size(), 65);
    QCOMPARE(stableBytes(sent[1]).toHex(), stableBytes(sent[0]).toHex());
}

void TestDaemon::endingSignals_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QString>("name");
    QTest::newRow("SIGTERM") << int(SIGTERM) << "SIGTERM";
    QTest::newRow("SIGINT") << int(SIGINT) << "SIGINT";
    QTest::newRow("SIGHUP") << int(SIGHUP) << "SIGHUP";
}

// An orderly end: library and display closed, the last log line, exit code 0.
void TestDaemon::endingSignals()
{
    QFETCH(int, signalNumber);
    QFETCH(QString, name);

    StagedTarnix staged(daemonOptions());
    QVERIFY(staged.isValid());
    QVERIFY(staged.start());
    QVERIFY2(staged.waitForFrames(2, 15000), qPrintable(staged.events() + staged.log()));
    int exitCode = -1;
    QVERIFY2(staged.endWith(signalNumber, 5000, exitCode), qPrintable(staged.log()));
    QCOMPARE(exitCode, 0);
    const QString log = staged.log();
    QVERIFY2(log.contains(QStringLiteral("Quit requested by ") + name), qPrintable(log));
    QVERIFY(log.contains(QStringLiteral("HWi32SDK UNinit Over [Status],errorCode: 0")));
    QVERIFY2(log.indexOf(exitLine) > log.indexOf(QStringLiteral("HWi32SDK UNinit Over")),
             qPrintable(log));
    QVERIFY2(staged.events().trimmed().endsWith(QStringLiteral(" exit")),
             qPrintable(staged.events()));
}

void TestDaemon::withoutDisplay_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // in standard output, or error with "2>"

    QTest::newRow("tarnixd --help") << "tarnixd" << QStringList{"--help"} << 0 << "--log-dir";
    QTest::newRow("tarnixd --version")
        << "tarnixd" << QStringList{"--version"} << 0 << "tarnixd 1.";
    QTest::newRow("tarnixd, wrong option")
        << "tarnixd" << QStringList{"--frobnicate"} << 2 << "2>frobnicate";
    QTest::newRow("Tarnix --help") << "Tarnix" << QStringList{"--help"} << 0 << "tarnixd";
    QTest::newRow("Tarnix --version") << "Tarnix" << QStringList{"--version"} << 0 << "Tarnix 1.";
    QTest::newRow("Tarnix") << "Tarnix" << QStringList() << 1 << "2>tarnixd";
    QTest::newRow("Tarnix, started by the task")
        << "Tarnix" << QStringList{"---StartupByTaskMinWindow"} << 1 << "2>tarnixd";
}

// No display at all: the daemon's options and Tarnix's answer, never Qt's abort.
void TestDaemon::withoutDisplay()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);

    const Run run = runToEnd(program, arguments, noDisplay);
    QCOMPARE(run.exitCode, exitCode);
    if (output.startsWith(QLatin1String("2>"))) {
        QVERIFY2(run.err.contains(output.mid(2)), qPrintable(run.err));
        // One line, and nothing written as if the window had started.
        QCOMPARE(run.err.trimmed().count(QLatin1Char('\n')), program == "Tarnix" ? 0 : 1);
        QVERIFY2(run.out.isEmpty(), qPrintable(run.out));
    } else {
        QVERIFY2(run.out.contains(output), qPrintable(run.out + run.err));
    }
}

// --settings and --log-dir: the unit is read from there, the log is written there.
void TestDaemon::chosenFolders()
{
    StagedTarnix::Options options = daemonOptions();
    StagedTarnix probe(options);
    QVERIFY(probe.isValid());
    const QString settings = probe.path(QStringLiteral("state"));
    const QString logs = probe.path(QStringLiteral("logs"));
    QVERIFY(QDir().mkpath(settings + QStringLiteral("/MyCompanyKelmar")));
    QFile unit(settings + QStringLiteral("/MyCompanyKelmar/Tarnix.conf"));
    QVERIFY(unit.open(QIODevice::WriteOnly));
    unit.write("[TempShowModel]\nModel=2\n");
    unit.close();

    options.arguments =
        QStringList{QStringLiteral("--settings"), settings, QStringLiteral("--log-dir"), logs};
    StagedTarnix staged(options);
    QVERIFY(staged.isValid());
    QVERIFY(staged.start());
    QVERIFY2(staged.waitForFrames(2, 15000), qPrintable(staged.events()));
    QCOMPARE(quint8(staged.frames().at(1).bytes.at(2)), quint8(45 | 0x80)); // Fahrenheit flag
    staged.stop();
    const QStringList logFiles = QDir(logs).entryList({QStringLiteral("*.log")}, QDir::Files);
    QCOMPARE(logFiles.size(), 1);
    QFile log(logs + QLatin1Char('/') + logFiles.first());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    QVERIFY2(text.contains(QStringLiteral("TempShowModel Init -> [℉]")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("]--------------------> Start Update -> Start\r\n")));
    QVERIFY(staged.log().isEmpty()); // nothing in the default folder
}

void TestDaemon::check_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("devices");
    QTest::addColumn<QString>("faults");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines");

    const QStringList always{"Sensor library: started, 10 readings", "Settings: ", "Log folder: "};
    QTest::newRow("tarnixd, display opens")
        << "tarnixd"
        << "5131 2007 /dev/hidraw-e2e"
        << "" << 0
        << always + QStringList{"Displays: 1 found", "/dev/hidraw-e2e: opens",
                                "The display can be fed."};
    QTest::newRow("Tarnix, display opens")
        << "Tarnix"
        << "5131 2007 /dev/hidraw-e2e"
        << "" << 0 << always + QStringList{"/dev/hidraw-e2e: opens", "The display can be fed."};
    QTest::newRow("no display") << "tarnixd"
                                << ""
                                << "" << 1
                                << QStringList{"Displays: 0 found", "Fix: plug in the display",
                                               "The display cannot be fed."};
    QTest::newRow("other device only") << "tarnixd"
                                       << "5131 2008 /dev/hidraw-other"
                                       << "" << 1 << QStringList{"Displays: 0 found"};
    QTest::newRow("node gone") << "tarnixd"
                               << "5131 2007 /dev/hidraw-e2e"
                               << "open-fails 5" << 1
                               << QStringList{"/dev/hidraw-e2e: gone", "Fix: unplug the display",
                                              "The display cannot be fed."};
}

void TestDaemon::check()
{
    QFETCH(QString, program);
    QFETCH(QString, devices);
    QFETCH(QString, faults);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);

    StagedTarnix::Options options = daemonOptions();
    options.executable = program;
    options.deviceLine = devices;
    options.hidFaults = faults;
    options.arguments = QStringList{QStringLiteral("--check")};
    options.environment = noDisplay;
    StagedTarnix staged(options);
    QVERIFY(staged.isValid());
    QVERIFY(staged.start());
    QTRY_VERIFY_WITH_TIMEOUT(!staged.isRunning(), 15000);
    const QString out = staged.standardOutput();
    for (const QString &line : lines)
        QVERIFY2(out.contains(line), qPrintable(line + "\n---\n" + out));
    QCOMPARE(staged.exitCode(), exitCode);
    QVERIFY2(!staged.events().contains(QStringLiteral(" write ")), qPrintable(staged.events()));
    QVERIFY(staged.frames().isEmpty());
}

// "Unable to open device" is followed by the node and the reason, once per outage.
void TestDaemon::openFailureSaysWhy()
{
    StagedTarnix::Options options = daemonOptions();
    options.hidFaults = QStringLiteral("open-fails 3");
    StagedTarnix staged(options);
    QVERIFY(staged.isValid());
    QVERIFY(staged.start());
    QVERIFY2(staged.waitForFrames(1, 30000), qPrintable(staged.events() + staged.log()));
    const QString log = staged.log();
    const QString reason = QStringLiteral("Display node /dev/hidraw-e2e not opened: gone\r\n");
    QCOMPARE(log.count(QStringLiteral("Unable to open device")), 1);
    QCOMPARE(log.count(reason), 1);
    QVERIFY(log.indexOf(reason) > log.indexOf(QStringLiteral("Unable to open device")));
}

// Tarnix feeds the display first: tarnixd leaves it alone and says why; when Tarnix is killed
// (no orderly end), tarnixd takes over.
void TestDaemon::oneFeederAcrossProcesses()
{
    StagedTarnix::Options first = daemonOptions();
    first.executable = QStringLiteral("Tarnix");
    StagedTarnix tarnix(first);
    QVERIFY(tarnix.isValid());
    QVERIFY(tarnix.start());
    QVERIFY2(tarnix.waitForFrames(2, 15000), qPrintable(tarnix.events()));

    StagedTarnix::Options second = daemonOptions();
    // The same display: the second copy reads the first one's double.
    second.environment.insert(QStringLiteral("HIDAPI_DOUBLE_DIR"), tarnix.path("hid"));
    StagedTarnix daemon(second);
    QVERIFY(daemon.isValid());
    QVERIFY(daemon.start());
    QVERIFY2(daemon.waitForLog(refusedLine, 10000), qPrintable(daemon.log()));
    QVERIFY2(daemon.log().contains(QStringLiteral("process %1").arg(tarnix.processId())),
             qPrintable(daemon.log()));
    QTest::qWait(2500);
    QCOMPARE(tarnix.events().count(QStringLiteral(" open ")), 1);
    QCOMPARE(daemon.log().count(refusedLine), 1); // once, not once a pass

    int code = 0;
    QVERIFY(!tarnix.endWith(SIGKILL, 5000, code)); // killed: no normal exit
    const int before = tarnix.frames().size();
    QVERIFY2(daemon.waitForLog(QStringLiteral("feeding it from now on"), 10000),
             qPrintable(daemon.log()));
    QTRY_VERIFY_WITH_TIMEOUT(tarnix.frames().size() >= before + 2, 10000);
    QCOMPARE(tarnix.events().count(QStringLiteral(" open ")), 2);
}

// Nothing to feed the display with: the service ends with a failure a service manager sees.
void TestDaemon::missingSensorLibraryEnds()
{
    StagedTarnix::Options options = daemonOptions();
    options.withSensorLibrary = false;
    StagedTarnix staged(options);
    QVERIFY(staged.isValid());
    QVERIFY(staged.start());
    QTRY_VERIFY_WITH_TIMEOUT(!staged.isRunning(), 10000);
    QCOMPARE(staged.exitCode(), 1);
    QVERIFY2(staged.log().contains(QStringLiteral("Sensor library did not start")),
             qPrintable(staged.log()));
    QVERIFY(staged.frames().isEmpty());
}

// tarnixd staged as systemd starts it: a notification socket of the test's own (in the stage
// folder a probe staging shows) and a 2 s watchdog.
struct ServiceRun
{
    explicit ServiceRun(StagedTarnix::Options options)
        : probe(options), manager(probe.path(QStringLiteral("notify")))
    {
        options.environment.insert(QStringLiteral("NOTIFY_SOCKET"), manager.path());
        options.environment.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("2000000"));
        staged = std::make_unique<StagedTarnix>(options);
    }
    bool isValid() const { return probe.isValid() && manager.isBound() && staged->isValid(); }

    StagedTarnix probe;
    NotifySocket manager;
    std::unique_ptr<StagedTarnix> staged;
};

// Under systemd: READY=1 once the first pass is done, then WATCHDOG=1 from the passes, at least
// every half interval, and STOPPING=1 on the way out.
void TestDaemon::serviceManagerHearsReadyAndWatchdog()
{
    ServiceRun run(daemonOptions());
    QVERIFY(run.isValid());
    StagedTarnix &staged = *run.staged;
    NotifySocket &manager = run.manager;
    QVERIFY(staged.start());
    QVERIFY2(staged.waitForFrames(5, 15000), qPrintable(staged.events()));
    int exitCode = -1;
    QVERIFY(staged.endWith(SIGTERM, 5000, exitCode));
    QCOMPARE(exitCode, 0);

    const QStringList messages = manager.take();
    QVERIFY2(messages.size() >= 4, qPrintable(messages.join(' ')));
    QCOMPARE(messages.first(), QStringLiteral("READY=1"));
    QCOMPARE(messages.last(), QStringLiteral("STOPPING=1"));
    // Five passes a second apart with a 2 s interval: a ping at least every other pass.
    QVERIFY2(messages.count(QStringLiteral("WATCHDOG=1")) >= 2, qPrintable(messages.join(' ')));
    QCOMPARE(messages.count(QStringLiteral("READY=1")), 1);
}

// A sensor library that hangs in a pass: the pings stop, so systemd restarts the service.
void TestDaemon::hungLibraryStopsTheWatchdog()
{
    ServiceRun run(daemonOptions());
    QVERIFY(run.isValid());
    StagedTarnix &staged = *run.staged;
    NotifySocket &manager = run.manager;
    QVERIFY(staged.start());
    QVERIFY2(staged.waitForFrames(3, 15000), qPrintable(staged.events()));
    QVERIFY(manager.take().contains(QStringLiteral("WATCHDOG=1")));

    // The library reads its script on every pass: from the next one on, it hangs.
    QFile script(staged.path(QStringLiteral("sensors.script")));
    QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
    script.write(("delay 600000\n" + desktopScript).toUtf8());
    script.close();
    QTest::qWait(2500); // the pass in hand may still ping
    manager.take();
    const int frames = staged.frames().size();
    QTest::qWait(3000);
    QCOMPARE(manager.take(), QStringList());
    QCOMPARE(staged.frames().size(), frames);
}

QTEST_GUILESS_MAIN(TestDaemon)
#include "tst_daemon.moc"
