#include "widgets/ProgressBarRound.h"

#include <QMetaEnum>
#include <QtMath>
#include <QtTest>

#include <functional>

namespace {

const QColor kBase(0, 0, 128);
const QColor kAlternateBase(0, 96, 0);
const QColor kHighlight(255, 0, 255);
const QColor kText(255, 255, 0);
const QColor kRingBase(58, 58, 58);
constexpr int kSide = 200;
constexpr double kRingRadius = 88; // between the inner circle's border and the sector's edge

// Palette roles in colours that cannot be mistaken for each other in a rendering.
QPalette markedPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Base, kBase);
    palette.setColor(QPalette::AlternateBase, kAlternateBase);
    palette.setColor(QPalette::Highlight, kHighlight);
    palette.setColor(QPalette::Shadow, kHighlight);
    palette.setColor(QPalette::Text, kText);
    return palette;
}

QImage render(ProgressBarRound &gauge, QSize size = QSize(kSide, kSide))
{
    gauge.resize(size);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::black);
    gauge.render(&image);
    return image;
}

// Pixel on the circle of `radius` around the gauge centre; angles as Qt's arcs count them
// (0 = 3 o'clock, counter-clockwise positive).
QColor pixelAt(const QImage &image, double angleDegrees, double radius = kRingRadius)
{
    const double centre = kSide / 2.0;
    const double angle = qDegreesToRadians(angleDegrees);
    const int x = qRound(centre + radius * qCos(angle));
    const int y = qRound(centre - radius * qSin(angle));
    return image.pixelColor(x, y);
}

bool near(const QColor &actual, const QColor &expected, int tolerance = 12)
{
    return qAbs(actual.red() - expected.red()) <= tolerance &&
           qAbs(actual.green() - expected.green()) <= tolerance &&
           qAbs(actual.blue() - expected.blue()) <= tolerance;
}

QString describe(const QColor &color)
{
    return QString("rgb(%1, %2, %3)").arg(color.red()).arg(color.green()).arg(color.blue());
}

// Pixels of the centre disc (well inside the inner circle's border) that are not `background`.
int pixelsOffBackground(const QImage &image, const QColor &background)
{
    int count = 0;
    const int centre = kSide / 2;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const int dx = x - centre, dy = y - centre;
            if (dx * dx + dy * dy < 72 * 72 && !near(image.pixelColor(x, y), background, 2))
                ++count;
        }
    }
    return count;
}

QImage centreDisc(const QImage &image)
{
    return image.copy(kSide / 2 - 50, kSide / 2 - 50, 100, 100);
}

class CountingGauge : public ProgressBarRound
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        ProgressBarRound::paintEvent(event);
    }
};

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

struct SetterCase
{
    const char *name;
    std::function<void(ProgressBarRound &)> apply;
    bool repaints;
};

const QGradientStops kStops{{0.0, Qt::red}, {1.0, Qt::blue}};

const QVector<SetterCase> &setterCases()
{
    static const QVector<SetterCase> cases{
        {"precision changed", [](ProgressBarRound &g) { g.setPrecision(2); }, true},
        {"precision unchanged", [](ProgressBarRound &g) { g.setPrecision(0); }, false},
        {"precision negative", [](ProgressBarRound &g) { g.setPrecision(-1); }, false},
        {"null position unchanged", [](ProgressBarRound &g) { g.setNullPosition(90); }, false},
        {"bar style unchanged",
         [](ProgressBarRound &g) { g.setBarStyle(ProgressBarRound::BarStyle_Donut); }, false},
        {"gradient unchanged", [](ProgressBarRound &g) { g.setGradientData(kStops); }, false},
        {"border colours unchanged still repaint",
         [](ProgressBarRound &g) {
             g.setInnerBorderAndOutBorderColor(QColor(37, 37, 37), QColor(79, 79, 79));
         },
         true},
        {"same value still repaints", [](ProgressBarRound &g) { g.setValue(0.0); }, true},
        {"caption does not repaint", [](ProgressBarRound &g) { g.setExplainText("GPU"); }, false},
    };
    return cases;
}

} // namespace

class TestProgressBarRound : public QObject
{
    Q_OBJECT

private slots:
    void metaObject();
    void rangeRules_data();
    void rangeRules();
    void integerValueKeepsDisplay();
    void precisionRefusesNegative();
    void repaintRules_data();
    void repaintRules();
    void captionShowsAtNextRepaint();
    void sector_data();
    void sector();
    void zeroWidthRangeDrawsNoSector();
    void gradientRunsClockwiseFromStart_data();
    void gradientRunsClockwiseFromStart();
    void innerCircleByStyle_data();
    void innerCircleByStyle();
    void lineStyleHidesSector();
    void emptyFormatDrawsNoText();
    void fahrenheitShowsConvertedNumber();
};

void TestProgressBarRound::metaObject()
{
    // Designer and style sheets reach the gauge through its properties.
    const QMetaEnum styles = QMetaEnum::fromType<ProgressBarRound::BarStyle>();
    QCOMPARE(styles.keyToValue("BarStyle_Line"), 2);

    ProgressBarRound gauge;
    QVERIFY(gauge.setProperty("barStyle", "BarStyle_Pie"));
    QCOMPARE(gauge.barStyle(), ProgressBarRound::BarStyle_Pie);
    QVERIFY(gauge.setProperty("gradientData", QVariant::fromValue(kStops)));
    QCOMPARE(gauge.property("gradientData").value<QGradientStops>(), kStops);
}

void TestProgressBarRound::rangeRules_data()
{
    QTest::addColumn<double>("startValue");
    QTest::addColumn<QString>("call");
    QTest::addColumn<double>("newMin");
    QTest::addColumn<double>("newMax");
    QTest::addColumn<double>("expectedValue");

    QTest::newRow("reversed bounds swap") << 30.0 << "setRange" << 100.0 << 0.0 << 30.0;
    QTest::newRow("above the maximum clamps") << 80.0 << "setRange" << 0.0 << 50.0 << 50.0;
    QTest::newRow("below the minimum clamps") << -5.0 << "setRange" << 0.0 << 100.0 << 0.0;
    QTest::newRow("new minimum above the maximum swaps")
        << 80.0 << "setMinValue" << 120.0 << 100.0 << 100.0;
    QTest::newRow("new maximum below the minimum swaps")
        << 10.0 << "setMaxValue" << 0.0 << -20.0 << 0.0;
    QTest::newRow("equal bounds are accepted") << 10.0 << "setRange" << 40.0 << 40.0 << 40.0;
}

void TestProgressBarRound::rangeRules()
{
    QFETCH(double, startValue);
    QFETCH(QString, call);
    QFETCH(double, newMin);
    QFETCH(double, newMax);
    QFETCH(double, expectedValue);

    ProgressBarRound gauge;
    gauge.setValue(startValue);
    QCOMPARE(gauge.value(), startValue); // the value setter itself never clamps
    if (call == "setRange") {
        gauge.setRange(newMin, newMax);
    } else if (call == "setMinValue") {
        gauge.setMinValue(newMin);
    } else {
        gauge.setMaxValue(newMax);
    }
    QCOMPARE(gauge.minValue(), qMin(newMin, newMax));
    QCOMPARE(gauge.maxValue(), qMax(newMin, newMax));
    QCOMPARE(gauge.value(), expectedValue);
}

void TestProgressBarRound::integerValueKeepsDisplay()
{
    ProgressBarRound gauge;
    gauge.setValue(80);
    gauge.setRange(0, 50);
    QCOMPARE(gauge.value(), 50.0);
    QCOMPARE(gauge.displayValue(), 80);

    gauge.setValue(12.5); // the double setter leaves the shown number alone
    QCOMPARE(gauge.displayValue(), 80);
}

void TestProgressBarRound::precisionRefusesNegative()
{
    ProgressBarRound gauge;
    gauge.setPrecision(2);
    gauge.setPrecision(-1);
    QCOMPARE(gauge.precision(), 2);
}

void TestProgressBarRound::repaintRules_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < setterCases().size(); ++i)
        QTest::newRow(setterCases().at(i).name) << i;
}

void TestProgressBarRound::repaintRules()
{
    QFETCH(int, index);
    const SetterCase &setter = setterCases().at(index);

    CountingGauge gauge;
    gauge.setGradientData(kStops);
    gauge.resize(120, 120);
    gauge.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gauge));
    settle();
    gauge.paints = 0;
    settle();
    QCOMPARE(gauge.paints, 0); // the gradient's palette does not keep repainting

    setter.apply(gauge);
    settle();
    QCOMPARE(gauge.paints > 0, setter.repaints);
}

void TestProgressBarRound::captionShowsAtNextRepaint()
{
    ProgressBarRound gauge;
    gauge.setPalette(markedPalette());
    const QImage before = render(gauge);
    gauge.setExplainText("GPU");
    QCOMPARE(gauge.explainText(), QStringLiteral("GPU"));
    QVERIFY(render(gauge) != before);
}

void TestProgressBarRound::sector_data()
{
    QTest::addColumn<double>("nullPosition");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("clockWise");
    QTest::addColumn<QVector<double>>("filled");
    QTest::addColumn<QVector<double>>("empty");

    QTest::newRow("default start, 25: 12 to 3 o'clock")
        << 90.0 << 25.0 << true << QVector<double>{85, 45, 5} << QVector<double>{95, 180, 270, 355};
    QTest::newRow("start -90, 50: the left half")
        << -90.0 << 50.0 << true << QVector<double>{265, 180, 95} << QVector<double>{275, 0, 85};
    QTest::newRow("counter-clockwise mirrors: 12 to 9 o'clock")
        << 90.0 << 25.0 << false << QVector<double>{95, 135, 175}
        << QVector<double>{85, 0, 270, 185};
    QTest::newRow("value 0 fills nothing")
        << 90.0 << 0.0 << true << QVector<double>{} << QVector<double>{0, 80, 100, 180, 270};
}

void TestProgressBarRound::sector()
{
    QFETCH(double, nullPosition);
    QFETCH(double, value);
    QFETCH(bool, clockWise);
    QFETCH(QVector<double>, filled);
    QFETCH(QVector<double>, empty);

    ProgressBarRound gauge;
    gauge.setPalette(markedPalette());
    gauge.setNullPosition(nullPosition);
    gauge.setClockWise(clockWise);
    gauge.setValue(value);
    const QImage image = render(gauge);

    auto expect = [&image](const QVector<double> &angles, const QColor &colour) {
        for (double angle : angles) {
            const QColor pixel = pixelAt(image, angle);
            QVERIFY2(near(pixel, colour),
                     qPrintable(QString("angle %1 is %2").arg(angle).arg(describe(pixel))));
        }
    };
    expect(filled, kHighlight);
    expect(empty, kRingBase);
}

void TestProgressBarRound::zeroWidthRangeDrawsNoSector()
{
    ProgressBarRound gauge;
    gauge.setPalette(markedPalette());
    gauge.setRange(40.0, 40.0);
    gauge.setValue(40.0); // would be a division by zero
    const QImage image = render(gauge);
    for (double angle = 0; angle < 360; angle += 15)
        QVERIFY2(near(pixelAt(image, angle + 5), kRingBase), qPrintable(QString::number(angle)));
}

void TestProgressBarRound::gradientRunsClockwiseFromStart_data()
{
    QTest::addColumn<double>("nullPosition");
    QTest::newRow("from 12 o'clock") << 90.0;
    QTest::newRow("from 6 o'clock, as the theme sets it") << -90.0;
    QTest::newRow("from 3 o'clock") << 0.0;
}

void TestProgressBarRound::gradientRunsClockwiseFromStart()
{
    QFETCH(double, nullPosition);

    ProgressBarRound gauge;
    gauge.setPalette(markedPalette());
    gauge.setNullPosition(nullPosition);
    gauge.setGradientData(kStops);
    gauge.setValue(100.0);
    const QImage image = render(gauge);

    const QColor justAfterStart = pixelAt(image, nullPosition - 8);
    QVERIFY2(justAfterStart.red() > 200 && justAfterStart.blue() < 60,
             qPrintable(describe(justAfterStart)));
    const QColor justBeforeEnd = pixelAt(image, nullPosition + 8);
    QVERIFY2(justBeforeEnd.blue() > 200 && justBeforeEnd.red() < 60,
             qPrintable(describe(justBeforeEnd)));
    const QColor halfway = pixelAt(image, nullPosition + 180);
    QVERIFY2(qAbs(halfway.red() - halfway.blue()) < 40, qPrintable(describe(halfway)));

    // Every colour group carries the gradient, so a disabled or inactive gauge looks the same.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        QCOMPARE(gauge.palette().brush(group, QPalette::Highlight).style(),
                 Qt::ConicalGradientPattern);
}

void TestProgressBarRound::innerCircleByStyle_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QColor>("centre");
    QTest::newRow("donut fills the alternate base")
        << int(ProgressBarRound::BarStyle_Donut) << kAlternateBase;
    QTest::newRow("pie fills the base") << int(ProgressBarRound::BarStyle_Pie) << kBase;
}

void TestProgressBarRound::innerCircleByStyle()
{
    QFETCH(int, style);
    QFETCH(QColor, centre);

    ProgressBarRound gauge;
    gauge.setPalette(markedPalette());
    gauge.setFormat(QString());
    gauge.setBarStyle(ProgressBarRound::BarStyle(style));
    gauge.setValue(100.0);
    const QImage image = render(gauge);
    QVERIFY(near(pixelAt(image, 45, 30), centre));
    QVERIFY(near(pixelAt(image, 45), kHighlight)); // the ring still shows around it
}

void TestProgressBarRound::lineStyleHidesSector()
{
    ProgressBarRound gauge;
    gauge.setPalette(markedPalette());
    gauge.setBarStyle(ProgressBarRound::BarStyle_Line);
    gauge.setValue(100.0);
    const QImage image = render(gauge);
    for (double angle = 0; angle < 360; angle += 30) {
        const QColor pixel = pixelAt(image, angle);
        QVERIFY2(near(pixel, kBase), qPrintable(describe(pixel)));
    }
}

void TestProgressBarRound::emptyFormatDrawsNoText()
{
    ProgressBarRound gauge;
    gauge.setPalette(markedPalette());
    gauge.setValue(42);
    QVERIFY(pixelsOffBackground(render(gauge), kAlternateBase) > 50);

    gauge.setFormat(QString());
    QCOMPARE(pixelsOffBackground(render(gauge), kAlternateBase), 0);
}

void TestProgressBarRound::fahrenheitShowsConvertedNumber()
{
    ProgressBarRound fahrenheit;
    fahrenheit.setPalette(markedPalette());
    fahrenheit.setCurrentValueType(2);
    fahrenheit.setValue(30);

    ProgressBarRound celsius;
    celsius.setPalette(markedPalette());
    celsius.setValue(86);

    const QImage shown = render(fahrenheit);
    QCOMPARE(centreDisc(shown), centreDisc(render(celsius)));
    // The sector still follows the Celsius value: 30 % from 12 o'clock reaches past 3 o'clock
    // but not to 6 o'clock.
    QVERIFY(near(pixelAt(shown, -10), kHighlight));
    QVERIFY(near(pixelAt(shown, -30), kRingBase));
}

QTEST_MAIN(TestProgressBarRound)
#include "tst_progressbarround.moc"
