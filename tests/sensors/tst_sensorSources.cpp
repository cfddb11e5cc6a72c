#include "gui/SourceEntries.h"
#include "sensors/SensorSources.h"
#include "sensors/SourceSettings.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

Q_DECLARE_METATYPE(ReadingKind)

namespace {

struct Reading
{
    const char *sensor;
    ReadingKind kind;
    const char *name;
    double value;
};

constexpr auto T = ReadingKind::Temperature;
constexpr auto F = ReadingKind::Fan;
constexpr auto P = ReadingKind::Power;
constexpr auto C = ReadingKind::Clock;
constexpr auto U = ReadingKind::Usage;

// One pass as the sensor thread drives the picker: sensors in order, each reading offered
// with the walk's own acceptance test.
struct Pass
{
    SensorReadings readings;
    unsigned missing = 0;
};

Pass runPass(SensorSourcePicker &picker, const std::vector<Reading> &walk)
{
    Pass pass;
    picker.startPass(pass.readings);
    const char *current = nullptr;
    for (size_t i = 0; i < walk.size(); ++i) {
        const Reading &r = walk[i];
        if (!current || std::strcmp(current, r.sensor) != 0) {
            current = r.sensor;
            picker.startSensor(current);
        }
        picker.offer(r.kind, r.name, r.value, r.value >= 1.0, int(i), pass.readings);
    }
    pass.missing = picker.finishPass(pass.readings);
    return pass;
}

SourceChoices choose(int value, const QString &text)
{
    SourceChoices choices;
    choices.overrides[size_t(value)] = text;
    return choices;
}

int valueOf(const char *key)
{
    return SensorSources::valueIndex(QLatin1String(key));
}

// Two GPUs, the integrated one first, as on many laptops and some desktops.
const std::vector<Reading> twoGpus = {
    {"CPU", T, "CPU (Tctl/Tdie)", 71},  {"CPU", T, "CPU (Tccd1)", 64},
    {"CPU", U, "Total CPU Usage", 12},  {"iGPU", T, "GPU Temperature", 48},
    {"iGPU", U, "GPU Core Load", 3},    {"iGPU", P, "IGPU Power", 4},
    {"dGPU", T, "GPU Temperature", 57}, {"dGPU", U, "GPU Core Load", 0},
    {"dGPU", C, "GPU Clock", 1875},     {"dGPU", F, "GPU Fan1", 1650},
};

} // namespace

class tst_sensorSources : public QObject
{
    Q_OBJECT
private slots:
    void textForm_data();
    void textForm();
    void roundTrip_data();
    void roundTrip();
    void saneRange_data();
    void saneRange();
    void noChoicesIsTheNameTables();
    void overridePicked_data();
    void overridePicked();
    void missingOverrideFallsBackAndIsReportedOnce();
    void gpuCardTiesTheGpuValues();
    void gpuCardMissingFallsBack();
    void dialogEntries();
    void storeReportsUnsavedChoices_data();
    void storeReportsUnsavedChoices();
};

void tst_sensorSources::textForm_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<ReadingKind>("kind");
    QTest::addColumn<QString>("reading");

    QTest::newRow("plain") << "CPU/temperature/CPU Package" << true << "CPU" << T << "CPU Package";
    QTest::newRow("slash in reading")
        << "CPU/temperature/CPU (Tctl\\/Tdie)" << true << "CPU" << T << "CPU (Tctl/Tdie)";
    QTest::newRow("slash in sensor")
        << "GPU [#0]: A\\/B/fan/GPU Fan1" << true << "GPU [#0]: A/B" << F << "GPU Fan1";
    QTest::newRow("empty sensor allowed")
        << "/usage/Total CPU Usage" << true << "" << U << "Total CPU Usage";
    QTest::newRow("unescaped slash: four parts")
        << "CPU/temperature/CPU (Tctl/Tdie)" << false << "" << T << "";
    QTest::newRow("two parts") << "CPU/temperature" << false << "" << T << "";
    QTest::newRow("empty reading") << "CPU/temperature/" << false << "" << T << "";
    QTest::newRow("empty text") << "" << false << "" << T << "";
    QTest::newRow("unknown kind") << "CPU/voltage/Vcore" << false << "" << T << "";
    QTest::newRow("trailing backslash") << "CPU/clock/Core 0 Clock\\" << false << "" << T << "";
    QTest::newRow("unknown escape") << "CPU/clock/Core\\n0" << false << "" << T << "";
    QTest::newRow("NUL in name") << QString("CPU/clock/Core") + QChar(0) + "0" << false << "" << T
                                 << "";
    QTest::newRow("255 bytes fit")
        << "S/usage/" + QString(255, 'X') << true << "S" << U << QString(255, 'X');
    QTest::newRow("256 bytes never match")
        << "S/usage/" + QString(256, 'X') << false << "" << T << "";
    QTest::newRow("multibyte length counts bytes")
        << "S/usage/" + QString(128, QChar(0x00e9)) << false << "" << T << "";
}

void tst_sensorSources::textForm()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    SensorSources::ReadingRef ref;
    QCOMPARE(SensorSources::parse(text, &ref), ok);
    if (!ok)
        return;
    QFETCH(QString, sensor);
    QFETCH(ReadingKind, kind);
    QFETCH(QString, reading);
    QCOMPARE(ref.sensor, sensor);
    QCOMPARE(ref.kind, kind);
    QCOMPARE(ref.reading, reading);
}

void tst_sensorSources::roundTrip_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QString>("reading");
    QTest::newRow("slashes everywhere") << "/a//b/"
                                        << "//";
    QTest::newRow("backslash before slash") << "x\\/y"
                                            << "\\";
    QTest::newRow("unicode") << QString::fromUtf8("GPU ° №1") << QString::fromUtf8("Température");
}

void tst_sensorSources::roundTrip()
{
    QFETCH(QString, sensor);
    QFETCH(QString, reading);
    const QString text = SensorSources::format({sensor, ReadingKind::Clock, reading});
    SensorSources::ReadingRef back;
    QVERIFY2(SensorSources::parse(text, &back), qPrintable(text));
    QCOMPARE(back.sensor, sensor);
    QCOMPARE(back.reading, reading);
    QCOMPARE(back.kind, ReadingKind::Clock);
}

void tst_sensorSources::saneRange_data()
{
    QTest::addColumn<ReadingKind>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("sane");
    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("temp -40") << T << -40.0 << true;
    QTest::newRow("temp below -40") << T << -40.5 << false;
    QTest::newRow("temp 150") << T << 150.0 << true;
    QTest::newRow("temp above 150") << T << 150.1 << false;
    QTest::newRow("temp nan") << T << nan << false;
    QTest::newRow("usage 100") << U << 100.0 << true;
    QTest::newRow("usage above 100") << U << 100.01 << false;
    QTest::newRow("fan 0") << F << 0.0 << true;
    QTest::newRow("fan negative") << F << -1.0 << false;
    QTest::newRow("clock nan") << C << nan << false;
    QTest::newRow("power infinite") << P << inf << false;
}

void tst_sensorSources::saneRange()
{
    QFETCH(ReadingKind, kind);
    QFETCH(double, value);
    QFETCH(bool, sane);
    QCOMPARE(SensorSources::inSaneRange(kind, value), sane);
}

void tst_sensorSources::noChoicesIsTheNameTables()
{
    SensorSourcePicker picker;
    const Pass pass = runPass(picker, {{"CPU", T, "CPU Package", 200},    // out of range
                                       {"CPU", T, "CPU (Tctl/Tdie)", 66}, // takes the place
                                       {"CPU", U, "Total CPU Usage", 140},
                                       {"CPU", U, "Total CPU Usage", 0.5},
                                       {"GPU", T, "GPU Temperature", 55}});
    QCOMPARE(pass.readings.cpuTemperature, 66.0f);
    QCOMPARE(pass.readings.cpuUsage, 0.0f);
    QCOMPARE(pass.readings.gpuTemperature, 55.0f);
    QCOMPARE(pass.missing, 0u);
    QCOMPARE(picker.reason(valueOf("cpuTemperature")), SensorSources::Reason::Table);
    QCOMPARE(picker.chosenCandidate(valueOf("cpuTemperature")), 1);
    QCOMPARE(picker.reason(valueOf("cpuUsage")), SensorSources::Reason::None);
    QCOMPARE(picker.chosenCandidate(valueOf("cpuUsage")), -1);
}

void tst_sensorSources::overridePicked_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<float>("expected");
    QTest::addColumn<int>("reason");

    const int override = int(SensorSources::Reason::Override);
    const int table = int(SensorSources::Reason::Table);
    QTest::newRow("Tccd instead of Tctl") << "cpuTemperature"
                                          << "CPU/temperature/CPU (Tccd1)" << 64.0f << override;
    QTest::newRow("a zero load is a true zero") << "gpuUsage"
                                                << "dGPU/usage/GPU Core Load" << 0.0f << override;
    QTest::newRow("same name, other sensor")
        << "gpuTemperature"
        << "dGPU/temperature/GPU Temperature" << 57.0f << override;
    QTest::newRow("wrong kind stays automatic") << "cpuTemperature"
                                                << "CPU/usage/Total CPU Usage" << 71.0f << table;
    QTest::newRow("unreadable stays automatic") << "cpuTemperature"
                                                << "CPU/temperature" << 71.0f << table;
    QTest::newRow("sensor name must match whole")
        << "gpuTemperature"
        << "dGP/temperature/GPU Temperature" << 48.0f << table;
}

void tst_sensorSources::overridePicked()
{
    QFETCH(QString, key);
    QFETCH(QString, choice);
    QFETCH(float, expected);
    QFETCH(int, reason);
    const int value = SensorSources::valueIndex(key);
    SensorSourcePicker picker;
    picker.setChoices(choose(value, choice));
    const Pass pass = runPass(picker, twoGpus);
    QCOMPARE(pass.readings.*SensorSources::valueField(value), expected);
    QCOMPARE(int(picker.reason(value)), reason);
    // The other values keep the tables' picks.
    QCOMPARE(pass.readings.cpuUsage, 12.0f);
    QCOMPARE(pass.readings.gpuClock, 1875.0f);
}

void tst_sensorSources::missingOverrideFallsBackAndIsReportedOnce()
{
    const int cpuTemperature = valueOf("cpuTemperature");
    SensorSourcePicker picker;
    picker.setChoices(choose(cpuTemperature, "CPU/temperature/CPU (Tccd2)"));
    const unsigned bit = 1u << cpuTemperature;

    Pass pass = runPass(picker, twoGpus);
    QCOMPARE(pass.readings.cpuTemperature, 71.0f);
    QCOMPARE(picker.reason(cpuTemperature), SensorSources::Reason::Table);
    QCOMPARE(pass.missing, bit);
    QCOMPARE(runPass(picker, twoGpus).missing, 0u);

    // Back, then gone again: worth a second line.
    std::vector<Reading> withTccd2 = twoGpus;
    withTccd2.push_back({"CPU", T, "CPU (Tccd2)", 69});
    pass = runPass(picker, withTccd2);
    QCOMPARE(pass.readings.cpuTemperature, 69.0f);
    QCOMPARE(pass.missing, 0u);
    QCOMPARE(runPass(picker, twoGpus).missing, bit);

    // An out-of-range value counts as missing.
    std::vector<Reading> insane = twoGpus;
    insane.push_back({"CPU", T, "CPU (Tccd2)", 255});
    picker.setChoices(choose(cpuTemperature, "CPU/temperature/CPU (Tccd2)"));
    pass = runPass(picker, insane);
    QCOMPARE(pass.readings.cpuTemperature, 71.0f);
    QCOMPARE(pass.missing, bit);
}

void tst_sensorSources::gpuCardTiesTheGpuValues()
{
    SensorSourcePicker picker;
    SourceChoices choices;
    choices.gpuCard = "dGPU";
    choices.overrides[size_t(valueOf("gpuFan"))] = "iGPU/fan/Case Fan";
    picker.setChoices(choices);
    std::vector<Reading> walk = twoGpus;
    walk.push_back({"iGPU", F, "Case Fan", 900});
    const Pass pass = runPass(picker, walk);
    QCOMPARE(pass.readings.gpuTemperature, 57.0f);
    QCOMPARE(pass.readings.gpuClock, 1875.0f);
    // The card's idle load is below the walk's threshold and its power is unknown: 0, never
    // the integrated GPU's figures.
    QCOMPARE(pass.readings.gpuUsage, 0.0f);
    QCOMPARE(pass.readings.gpuPower, 0.0f);
    QCOMPARE(picker.reason(valueOf("gpuPower")), SensorSources::Reason::None);
    QCOMPARE(picker.reason(valueOf("gpuTemperature")), SensorSources::Reason::Card);
    // A single reading chosen for a GPU value outranks the card.
    QCOMPARE(pass.readings.gpuFan, 900.0f);
    QCOMPARE(picker.reason(valueOf("gpuFan")), SensorSources::Reason::Override);
    // The CPU is not tied to the card.
    QCOMPARE(pass.readings.cpuTemperature, 71.0f);
    QCOMPARE(pass.missing, 0u);
}

void tst_sensorSources::gpuCardMissingFallsBack()
{
    SensorSourcePicker picker;
    SourceChoices choices;
    choices.gpuCard = "eGPU";
    picker.setChoices(choices);
    const Pass pass = runPass(picker, twoGpus);
    QCOMPARE(pass.readings.gpuTemperature, 48.0f);
    QCOMPARE(pass.readings.gpuPower, 4.0f);
    QCOMPARE(picker.reason(valueOf("gpuTemperature")), SensorSources::Reason::Table);
    QCOMPARE(pass.missing, SensorSourcePicker::kCardBit);
    QCOMPARE(runPass(picker, twoGpus).missing, 0u);
}

void tst_sensorSources::dialogEntries()
{
    SourceReport report;
    for (const Reading &r : twoGpus)
        report.candidates.push_back({r.sensor, r.kind, r.name, r.value});
    report.candidates.push_back({"CPU", T, "CPU (Tctl/Tdie)", 72}); // a same-named second

    const QVector<SourceEntry> temps =
        SourceEntries::forValue(report, valueOf("cpuTemperature"), "CPU/temperature/Gone");
    QStringList choices;
    for (const SourceEntry &e : temps)
        choices << e.choice;
    QCOMPARE(choices,
             (QStringList{"", "CPU/temperature/CPU (Tctl\\/Tdie)", "CPU/temperature/CPU (Tccd1)",
                          "iGPU/temperature/GPU Temperature", "dGPU/temperature/GPU Temperature",
                          "CPU/temperature/Gone"}));
    QCOMPARE(temps.first().label, QString("Automatic"));
    QCOMPARE(temps.at(1).label, QString::fromUtf8("CPU (Tctl/Tdie)   71.0 ℃   ·   CPU"));
    QVERIFY(temps.last().label.contains("not found"));
    // While automatic, the first entry tells what the tables took.
    report.chosen[size_t(valueOf("cpuTemperature"))] = 0;
    QCOMPARE(SourceEntries::forValue(report, valueOf("cpuTemperature"), QString()).first().label,
             QString::fromUtf8("Automatic:  CPU (Tctl/Tdie)   71.0 ℃   ·   CPU"));

    // Cards: the sensors whose readings the tables take for a GPU value.
    QStringList cards;
    for (const SourceEntry &e : SourceEntries::forCard(report, QString()))
        cards << e.choice;
    QCOMPARE(cards, (QStringList{"", "iGPU", "dGPU"}));
}

void tst_sensorSources::storeReportsUnsavedChoices_data()
{
    QTest::addColumn<QString>("blocker");
    QTest::addColumn<bool>("saved");

    QTest::newRow("writable folder") << "none" << true;
    QTest::newRow("settings folder is a file") << "file" << false;
    QTest::newRow("immutable settings file") << "immutable" << false;
}

// The dialog's save and the tool's --set share this path: a write that did not reach the file
// must not pass as saved.
void tst_sensorSources::storeReportsUnsavedChoices()
{
    QFETCH(QString, blocker);
    QFETCH(bool, saved);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString config = dir.filePath("config");
    const QString file = config + "/MyCompanyKelmar/Tarnix.conf";
    QVERIFY(QDir().mkpath(QFileInfo(file).path()));
    bool immutable = false;
    if (blocker == "file") {
        config = dir.filePath("plain");
        QVERIFY(QFile(config).open(QIODevice::WriteOnly));
    } else if (blocker == "immutable") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("[Sources]\n") > 0);
        f.close();
        immutable = QProcess::execute("chattr", {"+i", file}) == 0;
        if (!immutable)
            QSKIP("the immutable attribute is not supported here");
    }
    auto undo = qScopeGuard([&] {
        if (immutable)
            QProcess::execute("chattr", {"-i", file});
    });
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    QCOMPARE(SourceSettings::fileName(), config + "/MyCompanyKelmar/Tarnix.conf");

    SourceChoices choices;
    choices.overrides[0] = "CPU/temperature/Tccd1";
    choices.gpuCard = "GPU [#1]: Card";
    QCOMPARE(SourceSettings::store(choices), saved);
    QCOMPARE(SourceSettings::storeOne("cpuFan", "Motherboard/fan/fan2"), saved);
    QCOMPARE(SourceSettings::storeOne("cpuVoltage", "x/clock/y"), false);
    const SourceChoices read = SourceSettings::load();
    QCOMPARE(read.overrides[0], saved ? choices.overrides[0] : QString());
    QCOMPARE(read.gpuCard, saved ? choices.gpuCard : QString());
}

QTEST_GUILESS_MAIN(tst_sensorSources)
#include "tst_sensorSources.moc"
