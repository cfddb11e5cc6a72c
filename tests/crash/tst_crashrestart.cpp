// The real Tarnix, crashed with SIGSEGV: early it just ends, after a minute it is replaced by
// a copy without arguments. Slow by nature: the second case has to outlive the minute.
#include "TarnixRun.h"

#include <QElapsedTimer>
#include <QtTest>

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>

namespace {
const QString startedLine = QStringLiteral("Program was started by Task Scheduler.");
const QString notStartedLine = QStringLiteral("Program was not started by Task Scheduler.");
const int restartUptimeMs = 61000;
} // namespace

class TestCrashRestart : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void earlyCrashEndsTheProgram();
    void crashAfterAMinuteStartsACopyWithoutArguments();

private:
    void crashAndWaitForEnd();
    QString output() const { return TarnixRun::readText(outputFile); }

    QProcess tarnix;
    QString outputFile;
};

void TestCrashRestart::initTestCase()
{
    TarnixRun::isolate();
    QVERIFY2(!TarnixRun::executable().isEmpty(), "build Tarnix before running this test");
    // The replacement's parent is the crashed copy; as a subreaper this test adopts it.
    QCOMPARE(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    outputFile = qEnvironmentVariable("TARNIX_TEST_SCRATCH") + QStringLiteral("/tarnix.out");
}

void TestCrashRestart::cleanup()
{
    if (tarnix.state() != QProcess::NotRunning) {
        tarnix.kill();
        tarnix.waitForFinished(5000);
    }
    for (pid_t pid : TarnixRun::adoptedCopies())
        TarnixRun::killAndReap(pid);
    TarnixRun::removeLeftoverIpc();
}

void TestCrashRestart::crashAndWaitForEnd()
{
    QCOMPARE(tarnix.state(), QProcess::Running);
    ::kill(pid_t(tarnix.processId()), SIGSEGV);
    QVERIFY(tarnix.waitForFinished(10000));
    QCOMPARE(tarnix.exitStatus(), QProcess::CrashExit);
    QCOMPARE(tarnix.exitCode(), SIGSEGV);
}

void TestCrashRestart::earlyCrashEndsTheProgram()
{
    TarnixRun::start(tarnix, {}, outputFile);
    QVERIFY(TarnixRun::waitForText(outputFile, notStartedLine, 15000));
    QTest::qWait(2000);

    crashAndWaitForEnd();
    if (QTest::currentTestFailed())
        return;
    // A replacement would show up within a few hundred milliseconds.
    QTest::qWait(3000);
    QVERIFY(TarnixRun::adoptedCopies().isEmpty());
    QCOMPARE(output().count(notStartedLine), 1);
}

void TestCrashRestart::crashAfterAMinuteStartsACopyWithoutArguments()
{
    // The original carries the task flag, so the replacement's "not started" line proves it
    // came up without arguments and got past the single-instance check.
    TarnixRun::start(tarnix, {QStringLiteral("---StartupByTaskMinWindow")}, outputFile);
    QVERIFY(TarnixRun::waitForText(outputFile, startedLine, 15000));
    QElapsedTimer sinceStampRecorded;
    sinceStampRecorded.start();
    const pid_t crashedPid = pid_t(tarnix.processId());
    while (sinceStampRecorded.elapsed() < restartUptimeMs) {
        QVERIFY(tarnix.state() == QProcess::Running);
        QTest::qWait(500);
    }

    crashAndWaitForEnd();
    if (QTest::currentTestFailed())
        return;
    QVERIFY(TarnixRun::waitForText(outputFile, notStartedLine, 15000));

    const QList<pid_t> copies = TarnixRun::adoptedCopies();
    QCOMPARE(copies.size(), 1);
    const pid_t replacement = copies.first();
    QVERIFY(replacement != crashedPid);
    QCOMPARE(::kill(crashedPid, 0), -1);
    QCOMPARE(TarnixRun::arguments(replacement),
             QByteArrayList{QFile::encodeName(TarnixRun::executable())});

    // The handler runs with the signal blocked; a replacement that kept that mask would
    // bypass its own handler on its next crash.
    QVERIFY(!TarnixRun::isBlocked(replacement, SIGSEGV));

    // It keeps running rather than exiting as a second instance.
    QTest::qWait(1000);
    QCOMPARE(waitpid(replacement, nullptr, WNOHANG), 0);
    QCOMPARE(output().count(startedLine), 1);
}

QTEST_GUILESS_MAIN(TestCrashRestart)
#include "tst_crashrestart.moc"
