// The cost of one polling pass: per sensor one prepare (the library reads its files) and
// 5 x 512 value calls, over the Intel desktop fixture (ten sensors) and this machine.
#include "sensors/getPcInfoThread.h"

#include <QtTest>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

class bench_sensorPass : public QObject
{
    Q_OBJECT
private slots:
    void fullPass_data();
    void fullPass();
};

void bench_sensorPass::fullPass_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<bool>("chosen");
    const QString intel = QStringLiteral(TARNIX_SOURCE_DIR "/tests/sensors/fixtures/intel-desktop");
    QTest::newRow("intel-desktop fixture") << intel << false;
    // Three readings and a card chosen: the work added per reading while choices are set.
    QTest::newRow("intel-desktop fixture, sources chosen") << intel << true;
    QTest::newRow("this machine") << QString() << false;
}

void bench_sensorPass::fullPass()
{
    QFETCH(QString, root);
    QFETCH(bool, chosen);
    qputenv("HWSENSORS_ROOT", QFile::encodeName(root));
    getPcInfoThread poller;
    poller.setLibraryDirectory(QStringLiteral(TARNIX_BINARY_DIR));
    if (chosen) {
        SourceChoices choices;
        choices.overrides[0] = QStringLiteral("Motherboard/temperature/CPUTIN");
        choices.overrides[4] = QStringLiteral("Motherboard/fan/fan1");
        choices.overrides[10] = QStringLiteral("pch_cannonlake/temperature/temp1");
        choices.gpuCard = QStringLiteral("GPU [#0]: Intel Graphics [8086:3E98]");
        poller.setSourceChoices(choices);
    }

    // The pass writes a newline per sensor to standard output; keep it out of the report.
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    poller.initSdk();
    poller.pollOnce(); // the detailed first pass is not what runs all day
    QBENCHMARK
    {
        poller.pollOnce();
    }
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    close(null);
    poller.stopPolling();
}

QTEST_MAIN(bench_sensorPass)
#include "bench_sensorPass.moc"
