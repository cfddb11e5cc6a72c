// The arithmetic behind hwsensors.dll's readings, which builds on every platform.
#include "WindowsReadings.h"
#include "sensors/SensorNameTables.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace hwsensors;

Q_DECLARE_METATYPE(hwsensors::SystemTimes)
Q_DECLARE_METATYPE(hwsensors::ClockInputs)

namespace {

// Picowatt-hours in one joule.
constexpr double kPwhPerJoule = 1e12 / 3600;

// A raw SMBIOS data block as GetSystemFirmwareTable('RSMB') returns it: the 8-byte header
// (its length field set to `statedLength`, or the table's size when negative), then `table`.
QByteArray rawSmbios(const QByteArray &table, qint64 statedLength = -1)
{
    const quint32 length = statedLength < 0 ? quint32(table.size()) : quint32(statedLength);
    QByteArray raw("\x00\x03\x03\x00", 4);
    for (int i = 0; i < 4; ++i)
        raw += char(length >> (8 * i));
    return raw + table;
}

// A type 17 structure of 0x28 bytes (SMBIOS 2.8) for an 8 GiB module, without strings.
QByteArray memoryDevice(unsigned speed, unsigned configured)
{
    QByteArray area(0x28, '\0');
    area[0] = 17;
    area[1] = char(area.size());
    area[0x0C] = char(0x00);
    area[0x0D] = char(0x20); // 8192 MiB
    area[0x15] = char(speed & 0xff);
    area[0x16] = char(speed >> 8);
    area[0x20] = char(configured & 0xff);
    area[0x21] = char(configured >> 8);
    return area + QByteArray(2, '\0');
}

QByteArray emptySlot()
{
    QByteArray area(0x28, '\0');
    area[0] = 17;
    area[1] = char(area.size());
    return area + QByteArray(2, '\0');
}

QByteArray endOfTable()
{
    return QByteArray("\x7f\x04\x00\x00\x00\x00", 6);
}

} // namespace

class TstWindowsReadings : public QObject
{
    Q_OBJECT

private slots:
    void cpuUsage_data();
    void cpuUsage();
    void cpuClock_data();
    void cpuClock();
    void packagePower_data();
    void packagePower();
    void packageChannel_data();
    void packageChannel();
    void thermalZoneCelsius_data();
    void thermalZoneCelsius();
    void thermalZoneNeverTheCpu_data();
    void thermalZoneNeverTheCpu();
    void memoryClock_data();
    void memoryClock();
};

void TstWindowsReadings::cpuUsage_data()
{
    QTest::addColumn<SystemTimes>("before");
    QTest::addColumn<SystemTimes>("after");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("percent");
    // Kernel time includes the idle time: 1000 ticks of which 750 idle is 25 % busy.
    QTest::newRow("idle counted in kernel")
        << SystemTimes{0, 0, 0} << SystemTimes{750, 800, 200} << true << 25.0;
    QTest::newRow("fully busy") << SystemTimes{100, 500, 500} << SystemTimes{100, 900, 900} << true
                                << 100.0;
    QTest::newRow("fully idle") << SystemTimes{0, 0, 0} << SystemTimes{400, 400, 0} << true << 0.0;
    QTest::newRow("idle above kernel+user clamps to 0")
        << SystemTimes{0, 0, 0} << SystemTimes{500, 300, 100} << true << 0.0;
    QTest::newRow("no time passed: the first sample")
        << SystemTimes{5, 10, 10} << SystemTimes{5, 10, 10} << false << 0.0;
    QTest::newRow("counter stepped back")
        << SystemTimes{50, 100, 100} << SystemTimes{60, 90, 200} << false << 0.0;
    QTest::newRow("large counters keep precision")
        << SystemTimes{uint64_t(1) << 60, uint64_t(3) << 60, uint64_t(1) << 60}
        << SystemTimes{(uint64_t(1) << 60) + 100, (uint64_t(3) << 60) + 150,
                       (uint64_t(1) << 60) + 50}
        << true << 50.0;
}

void TstWindowsReadings::cpuUsage()
{
    QFETCH(SystemTimes, before);
    QFETCH(SystemTimes, after);
    QFETCH(bool, valid);
    QFETCH(double, percent);
    double value = -1;
    QCOMPARE(cpuUsagePercent(before, after, value), valid);
    if (valid)
        QCOMPARE(value, percent);
}

void TstWindowsReadings::cpuClock_data()
{
    QTest::addColumn<ClockInputs>("inputs");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("mhz");
    auto counters = [](bool perfValid, double perf, bool freqValid, double freq, double max) {
        ClockInputs in;
        in.countersPresent = true;
        in.performanceValid = perfValid;
        in.performancePercent = perf;
        in.frequencyValid = freqValid;
        in.frequencyMhz = freq;
        in.maxMhz = max;
        return in;
    };
    ClockInputs noCounters;
    noCounters.maxMhz = 3400;
    QTest::newRow("boosting above 100 %")
        << counters(true, 135, true, 3600, 3600) << true << 4860.0;
    QTest::newRow("slowed down") << counters(true, 50, true, 3000, 3000) << true << 1500.0;
    QTest::newRow("first sample of the rate counter stays empty")
        << counters(false, 0, true, 3000, 3000) << false << 0.0;
    QTest::newRow("counters present but frequency unread: no fallback")
        << counters(true, 100, false, 0, 3000) << false << 0.0;
    QTest::newRow("zero frequency") << counters(true, 100, true, 0, 3000) << false << 0.0;
    QTest::newRow("no counters: the maximum clock") << noCounters << true << 3400.0;
    QTest::newRow("no counters, no power information") << ClockInputs{} << false << 0.0;
}

void TstWindowsReadings::cpuClock()
{
    QFETCH(ClockInputs, inputs);
    QFETCH(bool, valid);
    QFETCH(double, mhz);
    double value = -1;
    QCOMPARE(cpuClockMhz(inputs, value), valid);
    if (valid)
        QCOMPARE(value, mhz);
}

void TstWindowsReadings::packagePower_data()
{
    QTest::addColumn<quint64>("before");
    QTest::addColumn<quint64>("after");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("watts");
    const quint64 fiftyJoules = quint64(std::llround(50 * kPwhPerJoule));
    const quint64 top = std::numeric_limits<quint64>::max();
    QTest::newRow("50 J in one second")
        << quint64(1e13) << quint64(1e13) + fiftyJoules << 1.0 << true << 50.0;
    QTest::newRow("50 J in two seconds") << quint64(0) << fiftyJoules << 2.0 << true << 25.0;
    QTest::newRow("idle package") << quint64(7) << quint64(7) << 1.0 << true << 0.0;
    QTest::newRow("wrap at 2^64") << top - fiftyJoules / 2 + 1 << fiftyJoules / 2 << 1.0 << true
                                  << 50.0;
    QTest::newRow("counter reset") << quint64(5e15) << quint64(1e9) << 1.0 << false << 0.0;
    QTest::newRow("implausible jump") << quint64(0) << quint64(1e16) << 1.0 << false << 0.0;
    QTest::newRow("no time passed") << quint64(0) << fiftyJoules << 0.0 << false << 0.0;
}

void TstWindowsReadings::packagePower()
{
    QFETCH(quint64, before);
    QFETCH(quint64, after);
    QFETCH(double, seconds);
    QFETCH(bool, valid);
    QFETCH(double, watts);
    double value = -1;
    QCOMPARE(energyWatts(before, after, seconds, value), valid);
    if (valid)
        QVERIFY2(std::fabs(value - watts) < 1e-6, qPrintable(QString::number(value)));
}

void TstWindowsReadings::packageChannel_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("package");
    QTest::newRow("Intel package") << "RAPL_Package0_PKG" << true;
    QTest::newRow("as PDH lists it") << "rapl_package0_pkg" << true;
    QTest::newRow("second socket") << "RAPL_Package1_PKG" << true;
    QTest::newRow("cores") << "RAPL_Package0_PP0" << false;
    QTest::newRow("one core") << "rapl_package0_core0_core" << false;
    QTest::newRow("graphics") << "RAPL_Package0_PP1" << false;
    QTest::newRow("memory") << "RAPL_Package0_DRAM" << false;
    QTest::newRow("platform") << "RAPL_Package0_PSYS" << false;
    QTest::newRow("suffix not at the end") << "rapl_pkg_core" << false;
    QTest::newRow("PKG without separator") << "PKG" << false;
    QTest::newRow("unnamed AMD channel") << "" << false;
}

void TstWindowsReadings::packageChannel()
{
    QFETCH(QString, name);
    QFETCH(bool, package);
    QCOMPARE(isPackageChannel(name.toStdWString().c_str()), package);
}

void TstWindowsReadings::thermalZoneCelsius_data()
{
    QTest::addColumn<double>("tenthsOfKelvin");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("celsius");
    QTest::newRow("the often constant 301 K") << 3010.0 << true << 27.85;
    QTest::newRow("freezing point") << 2731.5 << true << 0.0;
    QTest::newRow("hot") << 3731.5 << true << 100.0;
    QTest::newRow("no reading") << 0.0 << false << 0.0;
    QTest::newRow("negative") << -5.0 << false << 0.0;
    QTest::newRow("not a number") << std::nan("") << false << 0.0;
}

void TstWindowsReadings::thermalZoneCelsius()
{
    QFETCH(double, tenthsOfKelvin);
    QFETCH(bool, valid);
    QFETCH(double, celsius);
    double value = -1000;
    QCOMPARE(hwsensors::thermalZoneCelsius(tenthsOfKelvin, value), valid);
    if (valid)
        QVERIFY2(std::fabs(value - celsius) < 1e-9, qPrintable(QString::number(value)));
}

void TstWindowsReadings::thermalZoneNeverTheCpu_data()
{
    QTest::addColumn<QString>("instance");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::newRow("ACPI path kept") << "\\_TZ.TZ00" << 0 << "\\_TZ.TZ00";
    QTest::newRow("instance named CPU") << "CPU" << 1 << "Thermal Zone CPU";
    QTest::newRow("instance named CPU Package") << "CPU Package" << 0 << "Thermal Zone CPU Package";
    QTest::newRow("instance named CPU Temperature")
        << "CPU Temperature" << 0 << "Thermal Zone CPU Temperature";
    QTest::newRow("instance named CPU (Tctl/Tdie)")
        << "CPU (Tctl/Tdie)" << 0 << "Thermal Zone CPU (Tctl/Tdie)";
    QTest::newRow("unnamed instance") << "" << 2 << "Thermal Zone 2";
    QTest::newRow("non-ASCII replaced") << QString::fromUtf8("Zone\u00e9") << 0 << "Zone?";
}

// Whatever a zone instance is called, the polling thread's name tables never take it for
// the CPU's own temperature.
void TstWindowsReadings::thermalZoneNeverTheCpu()
{
    QFETCH(QString, instance);
    QFETCH(int, index);
    QFETCH(QString, name);
    const std::string reading = thermalZoneReadingName(instance.toStdWString().c_str(), index);
    QCOMPARE(QString::fromStdString(reading), name);
    const int target = SensorNameTables::findTarget(ReadingKind::Temperature, reading.c_str(), 0);
    QVERIFY(target < 0 || SensorNameTables::targetField(target) != &SensorReadings::cpuTemperature);
}

void TstWindowsReadings::memoryClock_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("mhz");
    QTest::newRow("DDR4-3200 running at 2933")
        << rawSmbios(memoryDevice(3200, 2933) + endOfTable()) << true << 1466.5;
    QTest::newRow("empty slot first")
        << rawSmbios(emptySlot() + memoryDevice(3200, 3200) + endOfTable()) << true << 1600.0;
    QTest::newRow("no configured speed: the rated one")
        << rawSmbios(memoryDevice(2400, 0) + endOfTable()) << true << 1200.0;
    QTest::newRow("no speed at all")
        << rawSmbios(memoryDevice(0, 0) + endOfTable()) << false << 0.0;
    QTest::newRow("no modules") << rawSmbios(endOfTable()) << false << 0.0;
    QTest::newRow("stated length past the data")
        << rawSmbios(memoryDevice(3200, 3200), 0x1000) << false << 0.0;
    QTest::newRow("stated length cuts the module off")
        << rawSmbios(memoryDevice(3200, 3200), 0x10) << false << 0.0;
    QTest::newRow("header only") << QByteArray("\x00\x03\x03\x00", 4) << false << 0.0;
}

void TstWindowsReadings::memoryClock()
{
    QFETCH(QByteArray, raw);
    QFETCH(bool, valid);
    QFETCH(double, mhz);
    double value = -1;
    QCOMPARE(memoryClockFromRawSmbios(reinterpret_cast<const unsigned char *>(raw.constData()),
                                      size_t(raw.size()), value),
             valid);
    if (valid)
        QCOMPARE(value, mhz);
}

QTEST_GUILESS_MAIN(TstWindowsReadings)
#include "tst_windowsReadings.moc"
