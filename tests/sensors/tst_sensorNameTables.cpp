#include "sensors/SensorNameTables.h"
#include "sensors/SensorSources.h"

#include <QtTest>

#include <cstring>

Q_DECLARE_METATYPE(ReadingKind)

namespace {
struct Offer
{
    ReadingKind kind;
    const char *name;
    double value;
};

// The picker with no choices set: the name tables alone, as every pass without overrides.
class TablePass
{
public:
    TablePass() { start(); }
    void start()
    {
        picker.startPass(readings);
        picker.startSensor("Sensor");
    }
    // Whether the reading filled a field.
    bool offer(ReadingKind kind, const char *name, double value)
    {
        const SensorReadings before = finished();
        picker.offer(kind, name, value, true, -1, readings);
        const SensorReadings after = finished();
        return std::memcmp(&before, &after, sizeof before) != 0;
    }
    SensorReadings finished()
    {
        SensorReadings copy = readings;
        SensorSourcePicker settled = picker;
        settled.finishPass(copy);
        return copy;
    }

private:
    SensorSourcePicker picker;
    SensorReadings readings;
};
} // namespace

// Matching on its own: which target an accepted reading fills, first match wins.
class tst_sensorNameTables : public QObject
{
    Q_OBJECT
private slots:
    void singleReading_data();
    void singleReading();
    void firstMatchWins();
    void markedTargetPassesToNext();
    void startPassClearsMarksAndFields();
};

void tst_sensorNameTables::singleReading_data()
{
    QTest::addColumn<ReadingKind>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("field"); // empty: nothing matches

    const auto T = ReadingKind::Temperature;
    const auto F = ReadingKind::Fan;
    const auto P = ReadingKind::Power;
    const auto C = ReadingKind::Clock;
    const auto U = ReadingKind::Usage;
    QTest::newRow("temp CPU") << T << "CPU"
                              << "cpuTemperature";
    QTest::newRow("temp CPU Temperature") << T << "CPU Temperature"
                                          << "cpuTemperature";
    QTest::newRow("temp CPU Package") << T << "CPU Package"
                                      << "cpuTemperature";
    QTest::newRow("temp Tctl/Tdie") << T << "CPU (Tctl/Tdie)"
                                    << "cpuTemperature";
    QTest::newRow("temp equality, not containment") << T << "CPU Package #2"
                                                    << "";
    QTest::newRow("temp case") << T << "cpu package"
                               << "";
    QTest::newRow("temp named CPU Fan") << T << "CPU Fan"
                                        << "";
    QTest::newRow("gpu temp") << T << "GPU Temperature"
                              << "gpuTemperature";
    QTest::newRow("gpu diode") << T << "GPU Thermal Diode"
                               << "gpuTemperature";
    QTest::newRow("gpu TS0") << T << "GPU TS0 (DispIO)"
                             << "gpuTemperature";
    QTest::newRow("board") << T << "Motherboard"
                           << "boardTemperature";
    QTest::newRow("pch") << T << "PCH Temperature"
                         << "boardTemperature";
    QTest::newRow("xhci") << T << "Chipset 1 (xHCI)"
                          << "boardTemperature";
    QTest::newRow("fan CPU") << F << "CPU"
                             << "cpuFan";
    QTest::newRow("fan CPU Fan") << F << "CPU Fan"
                                 << "cpuFan";
    QTest::newRow("fan SYSFANIN") << F << "SYSFANIN"
                                  << "cpuFan";
    QTest::newRow("fan CPUFANIN0") << F << "CPUFANIN0"
                                   << "cpuFan";
    QTest::newRow("fan CPUFANIN1") << F << "CPUFANIN1"
                                   << "";
    QTest::newRow("gpu fan plain") << F << "GPU Fan"
                                   << "gpuFan";
    QTest::newRow("gpu fan1") << F << "GPU Fan1"
                              << "gpuFan";
    QTest::newRow("gpu fan7 with prefix") << F << "Card GPU Fan7"
                                          << "gpuFan";
    QTest::newRow("gpu fan lower case") << F << "gpu fan1"
                                        << "";
    QTest::newRow("gpu fan as temperature") << T << "GPU Fan1"
                                            << "";
    QTest::newRow("cpu power") << P << "CPU Package Power"
                               << "cpuPower";
    QTest::newRow("cpu power contained") << P << "CPU Package Power (SVI2)"
                                         << "";
    QTest::newRow("gpu power total") << P << "GPU Power (Total)"
                                     << "gpuPower";
    QTest::newRow("gpu asic") << P << "GPU ASIC Power"
                              << "gpuPower";
    QTest::newRow("tgp") << P << "Total Graphics Power (TGP)"
                         << "gpuPower";
    QTest::newRow("vddcr gfx") << P << "GPU Core Power (VDDCR_GFX)"
                               << "gpuPower";
    QTest::newRow("vddcr soc") << P << "GPU SoC Power (VDDCR_SOC)"
                               << "gpuPower";
    QTest::newRow("igpu") << P << "IGPU Power"
                          << "gpuPower";
    QTest::newRow("core 0 clock") << C << "Core 0 Clock"
                                  << "cpuClock";
    QTest::newRow("prefixed core 0") << C << "P-core 0 Clock"
                                     << "cpuClock";
    QTest::newRow("suffixed core 0") << C << "Core 0 Clock (perf #1/1)"
                                     << "cpuClock";
    QTest::newRow("core 10 clock") << C << "Core 10 Clock"
                                   << "";
    QTest::newRow("CORE 0 clock") << C << "CORE 0 Clock"
                                  << "";
    QTest::newRow("gpu clock") << C << "GPU Clock"
                               << "gpuClock";
    QTest::newRow("gpu clock contained") << C << "GPU Clock (Effective)"
                                         << "";
    QTest::newRow("memory clock") << C << "Memory Clock"
                                  << "memoryClock";
    QTest::newRow("gpu memory clock") << C << "GPU Memory Clock"
                                      << "";
    QTest::newRow("total cpu usage") << U << "Total CPU Usage"
                                     << "cpuUsage";
    QTest::newRow("gpu core load") << U << "GPU Core Load"
                                   << "gpuUsage";
    QTest::newRow("gpu d3d") << U << "GPU D3D Usage"
                             << "gpuUsage";
    QTest::newRow("usage name as clock") << C << "Total CPU Usage"
                                         << "";
}

void tst_sensorNameTables::singleReading()
{
    QFETCH(ReadingKind, kind);
    QFETCH(QString, name);
    QFETCH(QString, field);

    TablePass pass;
    const bool taken = pass.offer(kind, name.toUtf8().constData(), 42.5);
    QCOMPARE(taken, !field.isEmpty());

    for (const SensorReadingField &entry : readingFields(pass.finished()))
        QCOMPARE(entry.value, field == entry.name ? 42.5f : 0.0f);
}

void tst_sensorNameTables::firstMatchWins()
{
    const Offer offers[] = {{ReadingKind::Temperature, "CPU Package", 45.0},
                            {ReadingKind::Temperature, "CPU (Tctl/Tdie)", 50.0},
                            {ReadingKind::Clock, "Core 0 Clock", 4700},
                            {ReadingKind::Clock, "core 0 Clock", 3000},
                            {ReadingKind::Fan, "GPU Fan1", 1500},
                            {ReadingKind::Fan, "GPU Fan2", 1700}};
    TablePass pass;
    for (const Offer &offer : offers)
        pass.offer(offer.kind, offer.name, offer.value);
    const SensorReadings readings = pass.finished();
    QCOMPARE(readings.cpuTemperature, 45.0f);
    QCOMPARE(readings.cpuClock, 4700.0f);
    QCOMPARE(readings.gpuFan, 1500.0f);
}

void tst_sensorNameTables::markedTargetPassesToNext()
{
    // "CPU" is in both fan tables' reach only through cpuFan; a second one goes nowhere.
    TablePass pass;
    QVERIFY(pass.offer(ReadingKind::Fan, "CPU", 900));
    QVERIFY(!pass.offer(ReadingKind::Fan, "CPU Fan", 1000));
    QCOMPARE(pass.finished().cpuFan, 900.0f);
    QCOMPARE(pass.finished().gpuFan, 0.0f);
    // A marked target is skipped, not a stop: the next target of the kind still matches.
    QVERIFY(pass.offer(ReadingKind::Temperature, "CPU", 40));
    QVERIFY(pass.offer(ReadingKind::Temperature, "GPU Temperature", 60));
    QCOMPARE(pass.finished().gpuTemperature, 60.0f);
}

void tst_sensorNameTables::startPassClearsMarksAndFields()
{
    TablePass pass;
    pass.offer(ReadingKind::Usage, "Total CPU Usage", 12);
    pass.offer(ReadingKind::Power, "GPU ASIC Power", 80);
    pass.start();
    QCOMPARE(pass.finished().gpuPower, 0.0f);
    QVERIFY(pass.offer(ReadingKind::Usage, "Total CPU Usage", 30));
    QCOMPARE(pass.finished().cpuUsage, 30.0f);
}

QTEST_APPLESS_MAIN(tst_sensorNameTables)
#include "tst_sensorNameTables.moc"
