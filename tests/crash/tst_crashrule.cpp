#include "platform/CrashRule.h"

#include <QtTest>

class TestCrashRule : public QObject
{
    Q_OBJECT
private slots:
    void stampFromMSecs_data();
    void stampFromMSecs();
    void shouldRestart_data();
    void shouldRestart();
};

void TestCrashRule::stampFromMSecs_data()
{
    QTest::addColumn<qint64>("msecs");
    QTest::addColumn<int>("stamp");

    QTest::newRow("current era") << Q_INT64_C(1733650123456) << 50123456;
    QTest::newRow("leading zeros dropped") << Q_INT64_C(1733600000042) << 42;
    QTest::newRow("last stamp before the wrap") << Q_INT64_C(1733699999999) << 99999999;
    QTest::newRow("wrap") << Q_INT64_C(1733700000000) << 0;
    QTest::newRow("short number kept whole") << Q_INT64_C(1234567) << 1234567;
    QTest::newRow("short negative keeps its sign") << Q_INT64_C(-1234567) << -1234567;
    QTest::newRow("long negative loses its sign") << Q_INT64_C(-1733650123456) << 50123456;
}

void TestCrashRule::stampFromMSecs()
{
    QFETCH(qint64, msecs);
    QFETCH(int, stamp);
    QCOMPARE(CrashRule::stampFromMSecs(msecs), stamp);
}

void TestCrashRule::shouldRestart_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("now");
    QTest::addColumn<bool>("restart");

    QTest::newRow("59 999 ms") << 1000 << 60999 << false;
    QTest::newRow("60 000 ms") << 1000 << 61000 << true;
    QTest::newRow("hours later") << 1000 << 90000000 << true;
    QTest::newRow("crash at the start") << 5000 << 5000 << false;
    QTest::newRow("across the wrap, late") << 99990000 << 70000 << false;
    QTest::newRow("across the wrap, early") << 99999999 << 0 << false;
    QTest::newRow("stamp 0, late") << 0 << 90000000 << false;
    QTest::newRow("stamp 0, exactly 60 000 ms") << 0 << 60000 << false;
    QTest::newRow("negative stamp, 60 000 ms") << -1234567 << -1174567 << true;
}

void TestCrashRule::shouldRestart()
{
    QFETCH(int, start);
    QFETCH(int, now);
    QFETCH(bool, restart);
    QCOMPARE(CrashRule::shouldRestart(start, now), restart);
}

QTEST_APPLESS_MAIN(TestCrashRule)
#include "tst_crashrule.moc"
