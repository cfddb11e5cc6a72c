// The real Tarnix at start: one instance at a time, a killed copy does not lock the next one
// out, and the task flag is recognised only in its exact spelling.
#include "TarnixRun.h"

#include <QtTest>

#include <csignal>

namespace {
const QString startedLine = QStringLiteral("Program was started by Task Scheduler.");
const QString notStartedLine = QStringLiteral("Program was not started by Task Scheduler.");
const QString anyStartLine = QStringLiteral("Program was ");
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void secondCopyExitsAtOnce();
    void killedCopyDoesNotLockTheNextOut();
    void taskFlag_data();
    void taskFlag();

private:
    QString outputFile(const char *name) const { return scratch + QLatin1Char('/') + name; }
    void startAndWait(QProcess &process, const QStringList &arguments, const QString &file);

    QString scratch;
    QProcess first;
    QProcess second;
};

void TestStartup::initTestCase()
{
    TarnixRun::isolate();
    QVERIFY2(!TarnixRun::executable().isEmpty(), "build Tarnix before running this test");
    scratch = qEnvironmentVariable("TARNIX_TEST_SCRATCH");
}

void TestStartup::cleanup()
{
    for (QProcess *process : {&first, &second}) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
    TarnixRun::removeLeftoverIpc();
}

void TestStartup::startAndWait(QProcess &process, const QStringList &arguments, const QString &file)
{
    TarnixRun::start(process, arguments, file);
    QVERIFY(TarnixRun::waitForText(file, anyStartLine, 15000));
}

void TestStartup::secondCopyExitsAtOnce()
{
    startAndWait(first, {}, outputFile("first.out"));

    TarnixRun::start(second, {}, outputFile("second.out"));
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 255);
    QCOMPARE(TarnixRun::readText(outputFile("second.out")), QString());
    QCOMPARE(first.state(), QProcess::Running);
}

void TestStartup::killedCopyDoesNotLockTheNextOut()
{
    startAndWait(first, {}, outputFile("killed.out"));
    ::kill(pid_t(first.processId()), SIGKILL);
    QVERIFY(first.waitForFinished(5000));

    startAndWait(second, {}, outputFile("next.out"));
    QTest::qWait(2000);
    QCOMPARE(second.state(), QProcess::Running);
}

void TestStartup::taskFlag_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expectedLine");

    QTest::newRow("no argument") << QStringList() << notStartedLine;
    QTest::newRow("flag") << QStringList{"---StartupByTaskMinWindow"} << startedLine;
    QTest::newRow("flag after another argument")
        << QStringList{"--other", "---StartupByTaskMinWindow"} << startedLine;
    QTest::newRow("two hyphens") << QStringList{"--StartupByTaskMinWindow"} << notStartedLine;
    QTest::newRow("other case") << QStringList{"---startupbytaskminwindow"} << notStartedLine;
    QTest::newRow("flag as a prefix")
        << QStringList{"---StartupByTaskMinWindowX"} << notStartedLine;
}

void TestStartup::taskFlag()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expectedLine);

    const QString file = outputFile("flag.out");
    startAndWait(first, arguments, file);
    const QStringList lines = TarnixRun::readText(file).split(QLatin1Char('\n'));
    QVERIFY(lines.contains(expectedLine));
    QVERIFY(!lines.contains(expectedLine == startedLine ? notStartedLine : startedLine));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
