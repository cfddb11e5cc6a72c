// The Alerts dialog: thresholds and margins shown in the chosen unit, handed back in °C.
#include "gui/AlertsDialog.h"
#include "history/HistoryChannels.h"

#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestAlertsDialog : public QObject
{
    Q_OBJECT
private slots:
    void unitsRoundTrip_data();
    void unitsRoundTrip();
};

void TestAlertsDialog::unitsRoundTrip_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<bool>("celsius");
    QTest::addColumn<double>("shownThreshold");
    QTest::addColumn<double>("shownMargin");
    QTest::addColumn<QString>("suffix");
    using namespace HistoryChannels;
    QTest::newRow("°C") << int(CpuTemperature) << true << 85.0 << 5.0 << " \u2103";
    QTest::newRow("°F: a margin is a difference")
        << int(CpuTemperature) << false << 185.0 << 9.0 << " \u2109";
    QTest::newRow("fan in °F mode") << int(CpuFan) << false << 85.0 << 5.0 << " RPM";
}

void TestAlertsDialog::unitsRoundTrip()
{
    QFETCH(int, channel);
    QFETCH(bool, celsius);
    QFETCH(double, shownThreshold);
    QFETCH(double, shownMargin);
    QFETCH(QString, suffix);
    AlertsDialog dialog{AppConfig(), QFont()};
    AlertSettings alerts;
    AlertRule rule;
    rule.channel = channel;
    rule.threshold = 85;
    rule.margin = 5;
    rule.holdSeconds = 12;
    rule.below = HistoryChannels::alertsBelow(channel);
    alerts.rules << rule;
    alerts.program = QStringLiteral("/usr/local/bin/on-alert");
    dialog.setSettings(alerts, RecordSettings{true, QStringLiteral("/data/rec"), 3}, celsius);

    const QList<QDoubleSpinBox *> boxes = dialog.findChildren<QDoubleSpinBox *>();
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes[0]->value(), shownThreshold);
    QCOMPARE(boxes[1]->value(), shownMargin);
    QCOMPARE(boxes[0]->suffix(), suffix);

    qRegisterMetaType<AlertSettings>("AlertSettings");
    qRegisterMetaType<RecordSettings>("RecordSettings");
    QSignalSpy saved(&dialog, &AlertsDialog::sigSaved);
    for (QPushButton *button : dialog.findChildren<QPushButton *>())
        if (button->objectName() == QLatin1String("pushButton_AlertsSave"))
            button->click();
    QCOMPARE(saved.size(), 1);
    const AlertSettings back = saved[0][0].value<AlertSettings>();
    QCOMPARE(back.rules.size(), 1);
    QVERIFY(std::abs(back.rules[0].threshold - 85) < 1e-9);
    QVERIFY(std::abs(back.rules[0].margin - 5) < 1e-9);
    QCOMPARE(back.rules[0].holdSeconds, 12);
    QCOMPARE(back.rules[0].below, rule.below);
    QCOMPARE(back.program, alerts.program);
    const RecordSettings record = saved[0][1].value<RecordSettings>();
    QVERIFY(record.enabled);
    QCOMPARE(record.folder, QStringLiteral("/data/rec"));
    QCOMPARE(record.retentionDays, 3);
}

QTEST_MAIN(TestAlertsDialog)
#include "tst_alertsDialog.moc"
