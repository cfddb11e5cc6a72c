// The wall clock the frame and the log read: the local time of the machine's zone, whatever
// the zone, as Qt itself would give it.
#include "core/Clock.h"

#include <QtTest>

#include <ctime>

class tst_clock : public QObject
{
    Q_OBJECT
private slots:
    void localTimeOfTheZone_data();
    void localTimeOfTheZone();
    void cleanupTestCase();
};

void tst_clock::localTimeOfTheZone_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::newRow("UTC") << QByteArray("UTC0");
    QTest::newRow("behind UTC, with summer time") << QByteArray("EST5EDT,M3.2.0,M11.1.0");
    QTest::newRow("half an hour off") << QByteArray("IST-5:30");
    QTest::newRow("far ahead") << QByteArray("NZST-12NZDT,M9.5.0,M4.1.0/3");
}

void tst_clock::localTimeOfTheZone()
{
    QFETCH(QByteArray, zone);
    // Changed while running: the next reading follows.
    qputenv("TZ", zone);
    tzset();
    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime now = Clock::now();
    const QDateTime after = QDateTime::currentDateTime();
    QVERIFY(now.isValid());
    QVERIFY(before.msecsTo(now) >= -1 && now.msecsTo(after) >= -1);
    // The fields the display shows are the zone's, not UTC's.
    const QDateTime qtLocal = now.toLocalTime();
    QCOMPARE(now.date(), qtLocal.date());
    QCOMPARE(now.time(), qtLocal.time());
    QCOMPARE(now.offsetFromUtc(), qtLocal.offsetFromUtc());
    QVERIFY(qAbs(Clock::currentMSecsSinceEpoch() - after.toMSecsSinceEpoch()) < 1000);
}

void tst_clock::cleanupTestCase()
{
    qunsetenv("TZ");
    tzset();
}

QTEST_GUILESS_MAIN(tst_clock)
#include "tst_clock.moc"
