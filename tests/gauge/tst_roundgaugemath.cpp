#include "widgets/RoundGaugeMath.h"

#include <QtTest>

class TestRoundGaugeMath : public QObject
{
    Q_OBJECT

private slots:
    void sweepAngle_data();
    void sweepAngle();
    void shownNumber_data();
    void shownNumber();
    void textPixelSize_data();
    void textPixelSize();
    void textOffsets_data();
    void textOffsets();
};

void TestRoundGaugeMath::sweepAngle_data()
{
    QTest::addColumn<double>("minValue");
    QTest::addColumn<double>("maxValue");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("clockWise");
    QTest::addColumn<double>("expected");

    QTest::newRow("quarter") << 0.0 << 100.0 << 25.0 << true << 90.0;
    QTest::newRow("counter-clockwise mirrors") << 0.0 << 100.0 << 25.0 << false << -90.0;
    QTest::newRow("full") << 0.0 << 50.0 << 50.0 << true << 360.0;
    QTest::newRow("value itself, not its distance from the minimum")
        << 20.0 << 120.0 << 50.0 << true << 180.0;
    QTest::newRow("zero-width range draws nothing") << 50.0 << 50.0 << 30.0 << true << 0.0;
}

void TestRoundGaugeMath::sweepAngle()
{
    QFETCH(double, minValue);
    QFETCH(double, maxValue);
    QFETCH(double, value);
    QFETCH(bool, clockWise);
    QFETCH(double, expected);
    const double sweep = RoundGaugeMath::sweepAngle(minValue, maxValue, value, clockWise);
    QVERIFY(qIsFinite(sweep));
    QCOMPARE(sweep, expected);
}

void TestRoundGaugeMath::shownNumber_data()
{
    QTest::addColumn<int>("displayValue");
    QTest::addColumn<int>("valueType");
    QTest::addColumn<int>("expected");

    QTest::newRow("30 C is 86 F") << 30 << 2 << 86;
    QTest::newRow("37 C truncates 98.6 F") << 37 << 2 << 98;
    QTest::newRow("-17 C truncates 1.4 F") << -17 << 2 << 1;
    QTest::newRow("-18 C truncates -0.4 F to 0") << -18 << 2 << 0;
    QTest::newRow("unknown type shows as given") << 30 << 3 << 30;
}

void TestRoundGaugeMath::shownNumber()
{
    QFETCH(int, displayValue);
    QFETCH(int, valueType);
    QFETCH(int, expected);
    QCOMPARE(RoundGaugeMath::shownNumber(displayValue, valueType), expected);
}

void TestRoundGaugeMath::textPixelSize_data()
{
    QTest::addColumn<double>("innerSize");
    QTest::addColumn<int>("precision");
    QTest::addColumn<double>("baseFactor");
    QTest::addColumn<int>("expected");

    // 195-pixel gauge: inner circle 156.
    QTest::newRow("number, precision 0") << 156.0 << 0 << 0.3 << 46;
    QTest::newRow("number, precision 3 uses 0.06") << 1000.0 << 3 << 0.3 << 60;
    QTest::newRow("unit, precision 3 floors at 0.05") << 1000.0 << 3 << 0.15 << 50;
    QTest::newRow("tiny gauge keeps one pixel") << 8.0 << 5 << 0.3 << 1;
}

void TestRoundGaugeMath::textPixelSize()
{
    QFETCH(double, innerSize);
    QFETCH(int, precision);
    QFETCH(double, baseFactor);
    QFETCH(int, expected);
    QCOMPARE(RoundGaugeMath::textPixelSize(innerSize, precision, baseFactor), expected);
}

void TestRoundGaugeMath::textOffsets_data()
{
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("numberOffset");
    QTest::addColumn<int>("unitOffset");

    QTest::newRow("one digit") << 5 << -25 << 30;
    QTest::newRow("10 is two digits") << 10 << -32 << 48;
    QTest::newRow("99 is two digits") << 99 << -32 << 48;
    QTest::newRow("three digits") << 100 << -36 << 71;
    QTest::newRow("negative counts as one digit") << -5 << -25 << 30;
}

void TestRoundGaugeMath::textOffsets()
{
    QFETCH(int, shown);
    QFETCH(int, numberOffset);
    QFETCH(int, unitOffset);
    QCOMPARE(RoundGaugeMath::numberLeftOffset(shown), numberOffset);
    QCOMPARE(RoundGaugeMath::unitLeftOffset(shown), unitOffset);
}

QTEST_APPLESS_MAIN(TestRoundGaugeMath)
#include "tst_roundgaugemath.moc"
