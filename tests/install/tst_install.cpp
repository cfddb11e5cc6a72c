// `cmake --install` into a throw-away prefix, then the installed program and tools run from
// there: the commands in bin/ are symlinks, and each must still find libhwsensors.so and
// configDir/ beside the executable they point to.
#include "../endtoend/StagedTarnix.h"
#include "../inventory/RecordedOutputs.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

const QString fixtures = QStringLiteral(TARNIX_SOURCE_DIR "/tests/sensors/fixtures");

struct Run
{
    int code = -1;
    QStringList lines;
};

Run runInstalled(const QString &program, const QStringList &args, const QString &sensorRoot)
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HWSENSORS_ROOT"), sensorRoot);
    tool.setProcessEnvironment(env);
    tool.start(program, args);
    Run run;
    if (!tool.waitForFinished(20000))
        return run;
    run.code = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    run.lines = QString::fromUtf8(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    return run;
}

} // namespace

class TstInstall : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void layout_data();
    void layout();
    void menuEntryRunsTheCommand();
    void installedProgramFeedsTheDisplay();
    void installedTools_data();
    void installedTools();

private:
    QString installed(const QString &relative) const { return prefix + '/' + relative; }

    QTemporaryDir scratch;
    QString prefix;
};

void TstInstall::initTestCase()
{
    QVERIFY(scratch.isValid());
    // A blank and a "$", which the menu entry's Exec must quote.
    prefix = scratch.filePath(QStringLiteral("install check $x"));
    QProcess install;
    install.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The udev rule is its own component: it would go to the real system folder.
    install.start(QStringLiteral(TARNIX_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(TARNIX_BINARY_DIR),
                   QStringLiteral("--prefix"), prefix, QStringLiteral("--component"),
                   QStringLiteral("Unspecified")});
    QVERIFY(install.waitForFinished(60000));
    QCOMPARE(install.exitCode(), 0);
}

void TstInstall::layout_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("linkTarget"); // empty: a plain file; "-": must be absent

    QTest::newRow("program") << "lib/tarnix/Tarnix"
                             << "";
    QTest::newRow("sensor library beside it") << "lib/tarnix/libhwsensors.so"
                                              << "";
    QTest::newRow("configuration beside it") << "lib/tarnix/configDir/appConfig.ini"
                                             << "";
    QTest::newRow("configuration images") << "lib/tarnix/configDir/AppIco.png"
                                          << "";
    QTest::newRow("command") << "bin/tarnix"
                             << "../lib/tarnix/Tarnix";
    QTest::newRow("sensors tool") << "bin/tarnix-sensors"
                                  << "../lib/tarnix/tarnix-sensors";
    QTest::newRow("inventory tool") << "bin/tarnix-inventory"
                                    << "../lib/tarnix/tarnix-inventory";
    QTest::newRow("icon") << "share/icons/hicolor/scalable/apps/tarnix.svg"
                          << "";
    QTest::newRow("AppStream data") << "share/metainfo/example.tarnix.Tarnix.metainfo.xml"
                                    << "";
    QTest::newRow("manual page") << "share/man/man1/tarnix-sensors.1.gz"
                                 << "";
    QTest::newRow("no executable named like the build's in bin") << "bin/Tarnix"
                                                                 << "-";
    QTest::newRow("no configDir in bin") << "bin/configDir"
                                         << "-";
    QTest::newRow("no test library") << "lib/tarnix/libhidapi-hidraw.so.0"
                                     << "-";
}

void TstInstall::layout()
{
    QFETCH(QString, path);
    QFETCH(QString, linkTarget);
    const QFileInfo info(installed(path));
    if (linkTarget == QLatin1String("-")) {
        QVERIFY2(!info.exists() && !info.isSymLink(), qPrintable(path));
        return;
    }
    QVERIFY2(info.exists(), qPrintable(path));
    QCOMPARE(info.isSymLink(), !linkTarget.isEmpty());
    if (!linkTarget.isEmpty()) {
        // Relative, so the tree works wherever DESTDIR or --prefix put it.
        const QByteArray raw = QFile::encodeName(info.absoluteFilePath());
        char target[4096];
        const ssize_t length = readlink(raw.constData(), target, sizeof(target));
        QCOMPARE(QString::fromLocal8Bit(target, int(length)), linkTarget);
        QVERIFY(info.isExecutable());
    }
}

void TstInstall::menuEntryRunsTheCommand()
{
    QFile entry(installed(QStringLiteral("share/applications/tarnix.desktop")));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QString exec;
    for (const QByteArray &line : entry.readAll().split('\n')) {
        if (line.startsWith("Exec="))
            exec = QString::fromUtf8(line.mid(5));
    }
    // Quoted for the Exec key, then "$" escaped once more as a string value.
    QString quoted = installed(QStringLiteral("bin/tarnix"));
    quoted.replace(QLatin1String("$"), QLatin1String("\\\\$"));
    QCOMPARE(exec, QLatin1Char('"') + quoted + QLatin1Char('"'));
}

void TstInstall::installedProgramFeedsTheDisplay()
{
    // Started through the bin/ symlink, with the installed libhwsensors.so reading a recorded
    // machine: the frame can only carry these values if that library was found and loaded.
    StagedTarnix::Options options;
    options.installedProgram = installed(QStringLiteral("bin/tarnix"));
    options.sensorRoot = fixtures + QStringLiteral("/amd-desktop");
    StagedTarnix tarnix(options);
    QVERIFY(tarnix.isValid());
    QVERIFY(tarnix.start());
    QVERIFY2(tarnix.waitForFrames(1, 20000), qPrintable(tarnix.standardOutput()));
    QVERIFY(tarnix.waitForLog(QStringLiteral("HWi32SDK init Over [Successful]"), 5000));
    // The installed configuration, found beside the resolved executable.
    QVERIFY(tarnix.log().contains(
        QStringLiteral("appConfig.ini Path: \"") +
        QFileInfo(installed(QStringLiteral("lib/tarnix/configDir"))).canonicalFilePath() +
        QStringLiteral("/\"")));
    QVERIFY(!tarnix.standardOutput().contains(QStringLiteral("CANNOT LOAD DLL")));
    // Named after the executable, not after the symlink: the same autostart entry and log
    // folder (checked by log() above) as when started from that entry.
    QVERIFY(QFile::exists(tarnix.path(
        QStringLiteral("config/autostart/TarnixStartupTaskOKver---TARNIX-DESKTOP-01.desktop"))));
    const QByteArray frame = tarnix.frames().constLast().bytes;
    QCOMPARE(int(quint8(frame.at(2))), 61);  // CPU 61.25 °C
    QCOMPARE(int(quint8(frame.at(10))), 52); // GPU 52 °C
    tarnix.stop();
}

void TstInstall::installedTools_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expectedLine");

    QTest::newRow("sensors: the library found through the symlink")
        << "bin/tarnix-sensors" << QStringList() << "field\tcpuTemperature\t61.25";
    QTest::newRow("inventory") << "bin/tarnix-inventory"
                               << QStringList{QStringLiteral("--replay"), recordedDir()}
                               << "cpuName\tIntel(R) Core(TM) i5-2400 CPU @ 3.10GHz";
}

void TstInstall::installedTools()
{
    QFETCH(QString, command);
    QFETCH(QStringList, args);
    QFETCH(QString, expectedLine);
    const Run run =
        runInstalled(installed(command), args, fixtures + QStringLiteral("/amd-desktop"));
    QCOMPARE(run.code, 0);
    QVERIFY2(run.lines.contains(expectedLine), qPrintable(run.lines.join('\n')));
}

QTEST_GUILESS_MAIN(TstInstall)
#include "tst_install.moc"
