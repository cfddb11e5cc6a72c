#include "HistoryTests.h"

#include "history/AlertEvent.h"
#include "history/AlertRule.h"
#include "history/HistoryChannels.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

// "80 91 - 92": one value per pass, "-" for a missing reading.
QVector<double> passes(const QString &text)
{
    QVector<double> values;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        values << (word == QLatin1String("-") ? std::numeric_limits<double>::quiet_NaN()
                                              : word.toDouble());
    return values;
}

// One character per pass: 'F' where the rule fired, '.' elsewhere.
QString firings(const AlertRule &rule, const QVector<double> &values)
{
    AlertState state;
    QString out;
    for (double v : values)
        out += AlertRules::step(rule, state, v) ? QLatin1Char('F') : QLatin1Char('.');
    return out;
}

} // namespace

void AlertRulesTest::step_data()
{
    QTest::addColumn<double>("threshold");
    QTest::addColumn<int>("hold");
    QTest::addColumn<double>("margin");
    QTest::addColumn<bool>("below");
    QTest::addColumn<QString>("values");
    QTest::addColumn<QString>("fired");

    QTest::newRow("held long enough fires on the hold's last pass")
        << 90.0 << 3 << 5.0 << false << "80 91 92 93 94"
        << "...F.";
    QTest::newRow("at the threshold is not beyond it") << 90.0 << 2 << 5.0 << false << "90 90 90 90"
                                                       << "....";
    QTest::newRow("spikes shorter than the hold never fire")
        << 90.0 << 3 << 5.0 << false << "99 80 99 99 80 99 99 80"
        << "........";
    QTest::newRow("fires once per excursion however long it lasts")
        << 90.0 << 2 << 5.0 << false << "95 95 95 95 95 95 95"
        << ".F.....";
    QTest::newRow("dipping inside the margin does not re-arm")
        << 90.0 << 2 << 5.0 << false << "95 95 88 86 95 95 95"
        << ".F.....";
    QTest::newRow("back by the margin re-arms for the next excursion")
        << 90.0 << 2 << 5.0 << false << "95 95 85 95 95"
        << ".F..F";
    QTest::newRow("a missing reading neither counts nor resets the hold")
        << 90.0 << 3 << 5.0 << false << "95 - 95 - 95"
        << "....F";
    QTest::newRow("a missing reading does not re-arm")
        << 90.0 << 1 << 5.0 << false << "95 - - 95 80 95"
        << "F....F";
    QTest::newRow("only missing readings: nothing") << 90.0 << 1 << 5.0 << false << "- - -"
                                                    << "...";
    QTest::newRow("hold of one fires at once") << 90.0 << 1 << 0.0 << false << "91 90 91"
                                               << "F.F";
    QTest::newRow("fan below the threshold fires")
        << 300.0 << 2 << 100.0 << true << "1200 250 0 0 350 450 0 0"
        << "..F....F";
    QTest::newRow("fan spinning up without the margin stays quiet")
        << 300.0 << 1 << 100.0 << true << "0 350 0 399 0"
        << "F....";
}

void AlertRulesTest::step()
{
    QFETCH(double, threshold);
    QFETCH(int, hold);
    QFETCH(double, margin);
    QFETCH(bool, below);
    QFETCH(QString, values);
    QFETCH(QString, fired);
    AlertRule rule;
    rule.threshold = threshold;
    rule.holdSeconds = hold;
    rule.margin = margin;
    rule.below = below;
    QCOMPARE(firings(rule, passes(values)), fired);
    rule.enabled = false;
    QCOMPARE(firings(rule, passes(values)), QString(fired.size(), QLatin1Char('.')));
}

void AlertRulesTest::unitSwitch_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<double>("storedValue");
    QTest::addColumn<double>("shownValue");
    QTest::addColumn<QString>("unit");

    using namespace HistoryChannels;
    QTest::newRow("CPU °C") << int(CpuTemperature) << true << 85.0 << 85.0 << "\u2103";
    QTest::newRow("CPU °F") << int(CpuTemperature) << false << 85.0 << 185.0 << "\u2109";
    QTest::newRow("board below zero °F")
        << int(BoardTemperature) << false << -40.0 << -40.0 << "\u2109";
    QTest::newRow("fan ignores the unit") << int(CpuFan) << false << 300.0 << 300.0 << "RPM";
    QTest::newRow("usage ignores the unit") << int(GpuUsage) << false << 95.0 << 95.0 << "%";
}

void AlertRulesTest::unitSwitch()
{
    QFETCH(int, channel);
    QFETCH(bool, celsius);
    QFETCH(double, storedValue);
    QFETCH(double, shownValue);
    QFETCH(QString, unit);
    QCOMPARE(HistoryChannels::shown(channel, storedValue, celsius), shownValue);
    QVERIFY(std::abs(HistoryChannels::stored(channel, shownValue, celsius) - storedValue) < 1e-9);
    QCOMPARE(HistoryChannels::unitSign(channel, celsius), unit);
}

void AlertRulesTest::eventTexts()
{
    AlertEvent event{HistoryChannels::CpuTemperature, 92.4, 85, false, 10};
    QCOMPARE(AlertTexts::message(event, true),
             QString::fromUtf8("CPU Temperature 92.4 \u2103 above 85 \u2103 for 10 s"));
    QCOMPARE(AlertTexts::programArguments(event, false),
             QStringList({"cpuTemperature", "198.3", QString::fromUtf8("\u2109")}));
    AlertEvent fan{HistoryChannels::GpuFan, 0, 300, true, 5};
    QCOMPARE(AlertTexts::message(fan, false), QString("GPU Fan 0 RPM below 300 RPM for 5 s"));
}
