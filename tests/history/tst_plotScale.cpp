// The History panel's value axis and pointer lookup.
#include "gui/HistoryPlot.h"
#include "gui/PlotScale.h"

#include <QtTest>

class TestPlotScale : public QObject
{
    Q_OBJECT
private slots:
    void niceStep_data();
    void niceStep();
    void around_data();
    void around();
    void indexAt_data();
    void indexAt();
};

void TestPlotScale::niceStep_data()
{
    QTest::addColumn<double>("span");
    QTest::addColumn<int>("parts");
    QTest::addColumn<double>("step");
    QTest::newRow("27 in 4") << 27.0 << 4 << 10.0;
    QTest::newRow("8 in 4") << 8.0 << 4 << 2.0;
    QTest::newRow("exactly 5") << 20.0 << 4 << 5.0;
    QTest::newRow("small fractions") << 0.3 << 4 << 0.1;
    QTest::newRow("large clock") << 3000.0 << 4 << 1000.0;
    QTest::newRow("empty span") << 0.0 << 4 << 1.0;
    QTest::newRow("no parts") << 10.0 << 0 << 1.0;
}

void TestPlotScale::niceStep()
{
    QFETCH(double, span);
    QFETCH(int, parts);
    QFETCH(double, step);
    QCOMPARE(PlotScales::niceStep(span, parts), step);
}

void TestPlotScale::around_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<bool>("percent");
    QTest::addColumn<QVector<double>>("ticks");
    QTest::newRow("temperatures") << 40.5 << 67.5 << false << QVector<double>{40, 50, 60, 70};
    QTest::newRow("flat line gets room")
        << 45.0 << 45.0 << false << QVector<double>{42, 44, 46, 48};
    QTest::newRow("flat zero") << 0.0 << 0.0 << false << QVector<double>{-1, -0.5, 0, 0.5, 1};
    QTest::newRow("percent stays in 0..100") << 0.0 << 100.0 << true << QVector<double>{0, 50, 100};
    QTest::newRow("flat 100 percent") << 100.0 << 100.0 << true << QVector<double>{94, 96, 98, 100};
    QTest::newRow("below zero") << -12.0 << 3.0 << false << QVector<double>{-15, -10, -5, 0, 5};
}

void TestPlotScale::around()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(bool, percent);
    QFETCH(QVector<double>, ticks);
    const PlotScale scale = PlotScales::around(minimum, maximum, percent);
    QCOMPARE(scale.ticks(), ticks);
    QVERIFY(scale.fraction(minimum) >= 0 && scale.fraction(maximum) <= 1);
}

void TestPlotScale::indexAt_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    // A plot area from x = 50, 600 wide.
    QTest::newRow("left edge") << 50 << 601 << 0;
    QTest::newRow("right edge") << 650 << 601 << 600;
    QTest::newRow("nearest sample") << 51 << 61 << 0;
    QTest::newRow("halfway rounds up") << 55 << 61 << 1;
    QTest::newRow("left of the area") << 0 << 61 << 0;
    QTest::newRow("right of the area") << 900 << 61 << 60;
    QTest::newRow("one sample") << 300 << 1 << 0;
    QTest::newRow("no samples") << 300 << 0 << -1;
}

void TestPlotScale::indexAt()
{
    QFETCH(int, x);
    QFETCH(int, count);
    QFETCH(int, index);
    QCOMPARE(HistoryPlot::indexAt(x, 50, 600, count), index);
}

QTEST_APPLESS_MAIN(TestPlotScale)
#include "tst_plotScale.moc"
