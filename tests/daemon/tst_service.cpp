// The service's own units: its command line, the watchdog's pace, the display server check,
// the feeder lock within one process, and the words --check and the log use.
#include "app/FeedCheck.h"
#include "app/FeederClaim.h"
#include "app/ServiceHeartbeat.h"
#include "app/ServiceOptions.h"
#include "device/DisplayAccess.h"
#include "platform/DisplayServer.h"
#include "platform/FeederLock.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using Result = DeviceNodeAccess::Result;
Q_DECLARE_METATYPE(ServiceOptions::Action)

class TestService : public QObject
{
    Q_OBJECT
private slots:
    void options_data();
    void options();
    void pingDue_data();
    void pingDue();
    void heartbeat();
    void localDisplayNumber_data();
    void localDisplayNumber();
    void platformNeedsDisplay_data();
    void platformNeedsDisplay();
    void feederLockWithinProcess();
    void feederLockRefusesLink();
    void nodeProbe();
    void openFailureLine_data();
    void openFailureLine();
    void checkReport_data();
    void checkReport();
};

void TestService::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<ServiceOptions::Action>("action");
    QTest::addColumn<QString>("settingsDir");
    QTest::addColumn<QString>("logDir");

    using A = ServiceOptions::Action;
    const QStringList none{QString(), QString()};
    QTest::newRow("nothing") << QStringList{"tarnixd"} << none << A::Run << ""
                             << "";
    QTest::newRow("folders") << QStringList{"tarnixd", "--settings", "/var/lib/tarnix",
                                            "--log-dir=/var/log/tarnix"}
                             << none << A::Run << "/var/lib/tarnix"
                             << "/var/log/tarnix";
    QTest::newRow("folders from the environment")
        << QStringList{"tarnixd"} << QStringList{"/srv/set", "/srv/log/"} << A::Run << "/srv/set"
        << "/srv/log";
    QTest::newRow("option over environment")
        << QStringList{"tarnixd", "--log-dir", "/a"} << QStringList{"", "/b"} << A::Run << ""
        << "/a";
    QTest::newRow("relative folder made absolute")
        << QStringList{"tarnixd", "--settings", "rel/dir"} << none << A::Run
        << QDir::current().absoluteFilePath("rel/dir") << "";
    QTest::newRow("help wins") << QStringList{"tarnixd", "--check", "--help"} << none << A::Help
                               << ""
                               << "";
    QTest::newRow("version") << QStringList{"tarnixd", "-v"} << none << A::Version << ""
                             << "";
    QTest::newRow("check keeps folders")
        << QStringList{"tarnixd", "--check", "--settings", "/s"} << none << A::Check << "/s"
        << "";
    QTest::newRow("unknown option") << QStringList{"tarnixd", "--nope"} << none << A::Error << ""
                                    << "";
    QTest::newRow("missing value") << QStringList{"tarnixd", "--log-dir"} << none << A::Error << ""
                                   << "";
    QTest::newRow("stray argument") << QStringList{"tarnixd", "run"} << none << A::Error << ""
                                    << "";
    QTest::newRow("the window's start flag is not ours")
        << QStringList{"tarnixd", "---StartupByTaskMinWindow"} << none << A::Error << ""
        << "";
}

void TestService::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, environment);
    QFETCH(ServiceOptions::Action, action);
    QFETCH(QString, settingsDir);
    QFETCH(QString, logDir);

    const ServiceOptions options = ServiceOptionsParser::parse(arguments, environment);
    QCOMPARE(options.action, action);
    if (action == ServiceOptions::Action::Error) {
        QVERIFY(!options.text.isEmpty());
        return;
    }
    QCOMPARE(options.settingsDir, settingsDir);
    QCOMPARE(options.logDir, logDir);
}

void TestService::pingDue_data()
{
    QTest::addColumn<quint64>("now");
    QTest::addColumn<quint64>("last");
    QTest::addColumn<bool>("due");
    const quint64 interval = 30000000; // 30 s
    Q_UNUSED(interval)
    QTest::newRow("first pass") << quint64(5) << quint64(0) << true;
    QTest::newRow("a second later") << quint64(2000000) << quint64(1000000) << false;
    QTest::newRow("just under half") << quint64(15999999) << quint64(1000000) << false;
    QTest::newRow("half the interval") << quint64(16000000) << quint64(1000000) << true;
    QTest::newRow("clock went back") << quint64(10) << quint64(1000000) << true;
}

void TestService::pingDue()
{
    QFETCH(quint64, now);
    QFETCH(quint64, last);
    QFETCH(bool, due);
    QCOMPARE(ServiceHeartbeat::pingDue(now, last, 30000000), due);
}

// Ready once, after the first pass; pings no more often than every half interval.
void TestService::heartbeat()
{
    int ready = 0;
    int alive = 0;
    ServiceHeartbeat beat([&ready] { ++ready; }, [&alive] { ++alive; }, 4000000);
    for (quint64 second = 1; second <= 10; ++second)
        beat.pass(second * 1000000);
    QCOMPARE(ready, 1);
    QCOMPARE(alive, 5); // at 1, 3, 5, 7, 9 s

    int readyWithout = 0;
    int aliveWithout = 0;
    ServiceHeartbeat noWatchdog([&readyWithout] { ++readyWithout; },
                                [&aliveWithout] { ++aliveWithout; }, 0);
    noWatchdog.pass(1);
    noWatchdog.pass(2);
    QCOMPARE(readyWithout, 1);
    QCOMPARE(aliveWithout, 0);
}

void TestService::localDisplayNumber_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<int>("number");
    QTest::newRow(":0") << ":0" << 0;
    QTest::newRow(":1.0") << ":1.0" << 1;
    QTest::newRow("unix:12") << "unix:12" << 12;
    QTest::newRow("remote") << "host:0" << -1;
    QTest::newRow("remote IPv6") << "::1:0" << -1;
    QTest::newRow("malformed") << ":x" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestService::localDisplayNumber()
{
    QFETCH(QString, display);
    QFETCH(int, number);
    QCOMPARE(DisplayServer::localDisplayNumber(display), number);
}

void TestService::platformNeedsDisplay_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<bool>("needs");
    QTest::newRow("default") << "" << true;
    QTest::newRow("xcb") << "xcb" << true;
    QTest::newRow("wayland first") << "wayland;xcb" << true;
    QTest::newRow("wayland-egl") << "wayland-egl" << true;
    QTest::newRow("offscreen") << "offscreen" << false;
    QTest::newRow("minimal") << "minimal" << false;
    QTest::newRow("vnc with options") << "vnc:size=800x600" << false;
}

void TestService::platformNeedsDisplay()
{
    QFETCH(QString, platform);
    QFETCH(bool, needs);
    QCOMPARE(DisplayServer::platformNeedsDisplay(platform), needs);
}

// flock() locks belong to each open of the file, so two locks in one process meet as two
// processes would; the cross-process and crash cases run in tst_daemon.
void TestService::feederLockWithinProcess()
{
    QTemporaryDir folder;
    qputenv("TARNIX_LOCK_DIR", QFile::encodeName(folder.path()));
    FeederLock first(QStringLiteral("feeder"));
    FeederLock second(QStringLiteral("feeder"));
    QVERIFY(first.tryAcquire());
    QVERIFY(first.tryAcquire()); // held already
    QVERIFY(!second.tryAcquire());
    QCOMPARE(second.holderPid(), QCoreApplication::applicationPid());
    struct stat info
    {
    };
    QCOMPARE(::stat(QFile::encodeName(first.location()).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 0777), 0666); // whatever the umask: every user opens it
    first.release();
    QVERIFY(second.tryAcquire());
    QVERIFY(!first.tryAcquire());

    FeederClaim claim(QStringLiteral("feeder"));
    QVERIFY(!claim.claim());
    second.release();
    QVERIFY(claim.claim());
    QVERIFY(claim.held());
    qunsetenv("TARNIX_LOCK_DIR");
}

// A link planted in the shared folder is never followed.
void TestService::feederLockRefusesLink()
{
    QTemporaryDir folder;
    qputenv("TARNIX_LOCK_DIR", QFile::encodeName(folder.path()));
    const QString target = folder.filePath(QStringLiteral("victim"));
    QVERIFY(QFile::link(target, folder.filePath(QStringLiteral("feeder.lock"))));
    FeederLock lock(QStringLiteral("feeder"));
    QVERIFY(!lock.tryAcquire());
    QVERIFY(!QFile::exists(target));
    qunsetenv("TARNIX_LOCK_DIR");
}

void TestService::nodeProbe()
{
    QTemporaryDir folder;
    QCOMPARE(DeviceNodeAccess::probe(folder.filePath(QStringLiteral("none"))), Result::Gone);
    QFile file(folder.filePath(QStringLiteral("node")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QCOMPARE(DeviceNodeAccess::probe(file.fileName()), Result::Opens);
    QString detail;
    QCOMPARE(DeviceNodeAccess::probe(folder.path(), &detail), Result::Failed); // a folder
    QVERIFY(!detail.isEmpty());
    if (::geteuid() != 0) {
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner));
        QCOMPARE(DeviceNodeAccess::probe(file.fileName()), Result::PermissionDenied);
    }
}

void TestService::openFailureLine_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("mend");
    QTest::newRow("permission") << int(Result::PermissionDenied) << "Permission denied"
                                << "Display node /dev/hidraw3 not opened: permission denied. "
                                << true;
    QTest::newRow("busy") << int(Result::Busy) << ""
                          << "not opened: busy" << false;
    QTest::newRow("gone") << int(Result::Gone) << ""
                          << "not opened: gone" << false;
    QTest::newRow("other") << int(Result::Failed) << "Input/output error"
                           << "not opened: Input/output error" << false;
}

void TestService::openFailureLine()
{
    QFETCH(int, result);
    QFETCH(QString, detail);
    QFETCH(QString, line);
    QFETCH(bool, mend);
    DisplayAccess::Node node;
    node.path = QStringLiteral("/dev/hidraw3");
    node.result = Result(result);
    node.detail = detail;
    const QString text = DisplayAccess::openFailureLine(node);
    QVERIFY2(text.contains(line), qPrintable(text));
    QCOMPARE(text.contains(QStringLiteral("cmake --install build --component udev")), mend);
}

void TestService::checkReport_data()
{
    QTest::addColumn<QList<int>>("displays");
    QTest::addColumn<bool>("otherFeeder");
    QTest::addColumn<int>("sensorStatus");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("fix");

    QTest::newRow("one opens") << QList<int>{int(Result::Opens)} << false << 0 << 0 << "";
    QTest::newRow("fed by another program")
        << QList<int>{int(Result::Opens)} << true << 0 << 0 << "";
    QTest::newRow("second opens") << QList<int>{int(Result::Busy), int(Result::Opens)} << false << 0
                                  << 0 << "";
    QTest::newRow("none") << QList<int>() << false << 0 << 1 << "Fix: plug in the display";
    QTest::newRow("permission") << QList<int>{int(Result::PermissionDenied)} << false << 0 << 1
                                << "60-tarnix.rules";
    QTest::newRow("busy") << QList<int>{int(Result::Busy)} << false << 0 << 1
                          << "Fix: unplug the display";
    QTest::newRow("no sensor library")
        << QList<int>{int(Result::Opens)} << false << -111 << 1 << "Fix: put libhwsensors.so";
}

void TestService::checkReport()
{
    QFETCH(QList<int>, displays);
    QFETCH(bool, otherFeeder);
    QFETCH(int, sensorStatus);
    QFETCH(int, exitCode);
    QFETCH(QString, fix);

    FeedCheck::Findings findings;
    for (int result : displays) {
        DisplayAccess::Node node;
        node.path = QStringLiteral("/dev/hidraw%1").arg(findings.displays.size());
        node.result = Result(result);
        findings.displays.append(node);
    }
    findings.otherFeeder = otherFeeder;
    findings.otherFeederPid = 4242;
    findings.sensorStatus = sensorStatus;
    findings.readings = 12;
    QString text;
    QTextStream out(&text);
    QCOMPARE(FeedCheck::report(findings, out), exitCode);
    QVERIFY2(fix.isEmpty() ? !text.contains(QStringLiteral("Fix:")) : text.contains(fix),
             qPrintable(text));
    QCOMPARE(text.contains(QStringLiteral("process 4242")), otherFeeder);
    QVERIFY(text.endsWith(exitCode == 0 ? QStringLiteral("The display can be fed.\n")
                                        : QStringLiteral("The display cannot be fed.\n")));
}

QTEST_GUILESS_MAIN(TestService)
#include "tst_service.moc"
