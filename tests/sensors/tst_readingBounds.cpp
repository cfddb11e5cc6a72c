// Readings outside their kind's physical bounds: refused, and logged once per reading.
#include "sensors/ReadingBounds.h"

#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(ReadingKind)

namespace {
QStringList debugLines;
void collectDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        debugLines << message;
}
} // namespace

class tst_readingBounds : public QObject
{
    Q_OBJECT
private slots:
    void plausibleValues_data();
    void plausibleValues();
    void loggedOncePerReading();
};

void tst_readingBounds::plausibleValues_data()
{
    QTest::addColumn<ReadingKind>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("expected");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    using K = ReadingKind;
    QTest::newRow("hot spot at 110 C") << K::Temperature << 110.0 << true;
    QTest::newRow("million degrees") << K::Temperature << 1e6 << false;
    QTest::newRow("unsigned wrap of -1 millidegree") << K::Temperature << 4294967.295 << false;
    QTest::newRow("temperature NaN") << K::Temperature << nan << false;
    QTest::newRow("fan 1500 RPM") << K::Fan << 1500.0 << true;
    QTest::newRow("negative fan") << K::Fan << -1200.0 << false;
    QTest::newRow("fan sentinel 65535") << K::Fan << 65535.0 << false;
    QTest::newRow("negative power") << K::Power << -3.0 << false;
    QTest::newRow("infinite power") << K::Power << inf << false;
    QTest::newRow("memory at 10501 MHz") << K::Clock << 10501.0 << true;
    QTest::newRow("clock in Hz by mistake") << K::Clock << 4.2e9 << false;
    QTest::newRow("usage 100 %") << K::Usage << 100.0 << true;
    QTest::newRow("usage 250 %") << K::Usage << 250.0 << false;
}

void tst_readingBounds::plausibleValues()
{
    QFETCH(ReadingKind, kind);
    QFETCH(double, value);
    QFETCH(bool, expected);
    QCOMPARE(plausible(kind, value), expected);
}

void tst_readingBounds::loggedOncePerReading()
{
    debugLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectDebug);
    ImplausibleReadings filter;
    for (int pass = 0; pass < 3; ++pass) {
        QVERIFY(!filter.admit("CPU", ReadingKind::Temperature, "CPU Package", 1e6));
        QVERIFY(!filter.admit("GPU [#0]: X", ReadingKind::Fan, "GPU Fan1", -5));
        QVERIFY(filter.admit("CPU", ReadingKind::Temperature, "Core 0", 50));
    }
    // The same name under another kind is another reading.
    QVERIFY(!filter.admit("CPU", ReadingKind::Usage, "CPU Package", 1e6));
    qInstallMessageHandler(previous);
    QCOMPARE(
        debugLines,
        QStringList({"Reading out of bounds, left out -> CPU / temperature CPU Package = 1e+06",
                     "Reading out of bounds, left out -> GPU [#0]: X / fan GPU Fan1 = -5",
                     "Reading out of bounds, left out -> CPU / usage CPU Package = 1e+06"}));
}

QTEST_APPLESS_MAIN(tst_readingBounds)
#include "tst_readingBounds.moc"
