#include "CpuCounters.h"
#include "sensors/getPcInfoThread.h"

#include <QtTest>

#include <QProcess>
#include <cmath>
#include <sys/resource.h>

using hwsensors::CpuTimes;

namespace {

const QString fixtures = QStringLiteral(TARNIX_SOURCE_DIR "/tests/sensors/fixtures");

struct Seen
{
    QString sensor;
    ReadingKind kind;
    QString name;
    double value;
};

bool copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    QDir().mkpath(to);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(source, target)) {
            return false;
        }
    }
    return true;
}

void writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    file.write(text + "\n");
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
}

// Adds 300 busy and 700 idle jiffies to the first line of /proc/stat: 30 % usage.
void advanceCpuTimes(const QString &root)
{
    const QString path = root + "/proc/stat";
    QList<QByteArray> lines = readFile(path).split('\n');
    QList<QByteArray> fields = lines[0].simplified().split(' ');
    fields[1] = QByteArray::number(fields[1].toULongLong() + 300);
    fields[4] = QByteArray::number(fields[4].toULongLong() + 700);
    lines[0] = fields.join(' ');
    writeFile(path, lines.join('\n'));
}

// A copy of a fixture tree, polled once by the sensor thread on the real library.
class FixtureMachine
{
public:
    explicit FixtureMachine(const QString &fixture)
    {
        root = qEnvironmentVariable("TARNIX_TEST_SCRATCH", QDir::tempPath()) + "/" + fixture +
               QString::number(++copies);
        QDir(root).removeRecursively();
        ok = copyTree(fixtures + "/" + fixture, root);
        qputenv("HWSENSORS_ROOT", QFile::encodeName(root));
        thread.setLibraryDirectory(QStringLiteral(TARNIX_BINARY_DIR));
        thread.setReadingObserver(
            [this](const char *sensor, ReadingKind kind, const char *name, double value) {
                seen.push_back(Seen{sensor, kind, name, value});
            });
    }
    ~FixtureMachine() { thread.stopPolling(); }

    int start()
    {
        int code = 1;
        QObject::connect(&thread, &getPcInfoThread::sigTheSdkInitStatus,
                         [&code](bool, int status) { code = status; });
        thread.initSdk();
        return code;
    }
    bool poll()
    {
        seen.clear();
        return thread.pollOnce();
    }
    const Seen *find(const QString &sensor, ReadingKind kind, const QString &name) const
    {
        for (const Seen &reading : seen)
            if (reading.sensor == sensor && reading.kind == kind && reading.name == name)
                return &reading;
        return nullptr;
    }
    int countFrom(const QString &sensor) const
    {
        return int(std::count_if(seen.begin(), seen.end(),
                                 [&](const Seen &r) { return r.sensor == sensor; }));
    }

    QString root;
    bool ok = false;
    getPcInfoThread thread;
    std::vector<Seen> seen;

private:
    static int copies;
};
int FixtureMachine::copies = 0;

// Starts the library on a fixture copy, lets usage and energy move, and polls once.
void pollFixture(FixtureMachine &machine)
{
    QVERIFY(machine.ok);
    QCOMPARE(machine.start(), 0);
    advanceCpuTimes(machine.root);
    const QString energy = machine.root + "/sys/class/powercap/intel-rapl:0/energy_uj";
    if (QFile::exists(energy))
        writeFile(energy, QByteArray::number(readFile(energy).toLongLong() + 2000000));
    QThread::msleep(200);
    QVERIFY(machine.poll());
}

const ReadingKind T = ReadingKind::Temperature;
const ReadingKind F = ReadingKind::Fan;
const ReadingKind P = ReadingKind::Power;
const ReadingKind C = ReadingKind::Clock;
const ReadingKind U = ReadingKind::Usage;

} // namespace

Q_DECLARE_METATYPE(ReadingKind)
Q_DECLARE_METATYPE(hwsensors::CpuinfoScan)

class tst_sensorLibrary : public QObject
{
    Q_OBJECT
private slots:
    void readings_data();
    void readings();
    void record_data();
    void record();
    void packagePowerAcrossCounterWrap();
    void suspendedGpuIsLeftAsleep();
    void missingRootIsAnError();
    void oversizedFiles_data();
    void oversizedFiles();
    void cpuCounters_data();
    void cpuCounters();
    void energyDelta_data();
    void energyDelta();
    void firstCpuinfoClock_data();
    void firstCpuinfoClock();
    void cpuinfoClockEachPass();
    void toolOutput();
    void toolSources_data();
    void toolSources();
    void toolWithNvml_data();
    void toolWithNvml();
    void toolUnsavedChoice_data();
    void toolUnsavedChoice();
};

void tst_sensorLibrary::readings_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<ReadingKind>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("value"); // 0: must not be published with a value

    const QString intel = "intel-desktop";
    const QString intelGpu = "GPU [#0]: Intel Graphics [8086:3E98]";
    QTest::newRow("intel package") << intel << "CPU" << T << "CPU Package" << 45.0;
    QTest::newRow("intel core temp") << intel << "CPU" << T << "Core 1" << 44.0;
    QTest::newRow("intel zone unused") << intel << "CPU" << T << "CPU" << 0.0;
    QTest::newRow("intel usage") << intel << "CPU" << U << "Total CPU Usage" << 30.0;
    QTest::newRow("intel cpufreq") << intel << "CPU" << C << "Core 0 Clock" << 4700.0;
    QTest::newRow("intel core 7") << intel << "CPU" << C << "Core 7 Clock" << 4350.0;
    QTest::newRow("intel SYSTIN") << intel << "Motherboard" << T << "Motherboard" << 33.0;
    QTest::newRow("intel CPUTIN") << intel << "Motherboard" << T << "CPUTIN" << 40.5;
    QTest::newRow("intel fan2 is CPU") << intel << "Motherboard" << F << "CPU Fan" << 1234.0;
    QTest::newRow("intel fan1") << intel << "Motherboard" << F << "fan1" << 812.0;
    QTest::newRow("intel fan2 not twice") << intel << "Motherboard" << F << "fan2" << 0.0;
    QTest::newRow("intel igpu clock") << intel << intelGpu << C << "GPU Clock" << 1150.0;
    QTest::newRow("intel nvme") << intel << "nvme" << T << "Composite" << 38.85;
    QTest::newRow("intel pch") << intel << "pch_cannonlake" << T << "temp1" << 52.0;
    QTest::newRow("intel acpitz chip") << intel << "acpitz" << T << "temp1" << 27.8;

    const QString amd = "amd-desktop";
    const QString radeon = "GPU [#0]: AMD Radeon Graphics [1002:73BF]";
    const QString nouveau = "GPU [#1]: NVIDIA Graphics [10DE:1C82]";
    QTest::newRow("amd tctl") << amd << "CPU" << T << "CPU (Tctl/Tdie)" << 61.25;
    QTest::newRow("amd ccd") << amd << "CPU" << T << "Tccd1" << 55.0;
    QTest::newRow("amd usage") << amd << "CPU" << U << "Total CPU Usage" << 30.0;
    QTest::newRow("amd core 0") << amd << "CPU" << C << "Core 0 Clock" << 4850.0;
    QTest::newRow("amd ite fan1") << amd << "Motherboard" << F << "CPU Fan" << 1100.0;
    QTest::newRow("amd ite fan2") << amd << "Motherboard" << F << "fan2" << 650.0;
    QTest::newRow("amd edge") << amd << radeon << T << "GPU Temperature" << 52.0;
    QTest::newRow("amd junction") << amd << radeon << T << "GPU Hot Spot Temperature" << 60.0;
    QTest::newRow("amd busy") << amd << radeon << U << "GPU Core Load" << 97.0;
    QTest::newRow("amd sclk") << amd << radeon << C << "GPU Clock" << 2400.0;
    QTest::newRow("amd mclk") << amd << radeon << C << "GPU Memory Clock" << 1000.0;
    QTest::newRow("amd average power") << amd << radeon << P << "GPU Power (Total)" << 187.0;
    QTest::newRow("amd gpu fan") << amd << radeon << F << "GPU Fan1" << 1450.0;
    QTest::newRow("nouveau temp") << amd << nouveau << T << "GPU Temperature" << 48.0;
    QTest::newRow("nouveau fan") << amd << nouveau << F << "GPU Fan1" << 900.0;
    QTest::newRow("amdgpu chip not repeated") << amd << "amdgpu" << T << "temp1" << 0.0;

    const QString laptop = "laptop";
    QTest::newRow("laptop pkg zone") << laptop << "CPU" << T << "CPU" << 57.0;
    QTest::newRow("laptop clock") << laptop << "CPU" << C << "Core 0 Clock" << 3400.0;
    QTest::newRow("laptop usage") << laptop << "CPU" << U << "Total CPU Usage" << 30.0;
    QTest::newRow("laptop igpu") << laptop << "GPU [#1]: Intel Graphics [8086:5917]" << C
                                 << "GPU Clock" << 300.0;
    QTest::newRow("laptop ec fan") << laptop << "thinkpad" << F << "fan1" << 2900.0;

    const QString vm = "vm";
    QTest::newRow("vm usage") << vm << "CPU" << U << "Total CPU Usage" << 30.0;
    QTest::newRow("vm cpuinfo clock") << vm << "CPU" << C << "Core 0 Clock" << 2299.998;
    // Without cpufreq only the first record of /proc/cpuinfo is read.
    QTest::newRow("vm no second clock") << vm << "CPU" << C << "Core 1 Clock" << 0.0;
}

void tst_sensorLibrary::readings()
{
    QFETCH(QString, fixture);
    QFETCH(QString, sensor);
    QFETCH(ReadingKind, kind);
    QFETCH(QString, name);
    QFETCH(double, value);

    FixtureMachine machine(fixture);
    pollFixture(machine);
    const Seen *found = machine.find(sensor, kind, name);
    if (value == 0) {
        QVERIFY2(!found, qPrintable(name));
        return;
    }
    QVERIFY2(found, qPrintable(sensor + " / " + name));
    QVERIFY2(std::fabs(found->value - value) < 1e-6, qPrintable(QString::number(found->value)));
}

void tst_sensorLibrary::record_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QVector<float>>("expected"); // cpuPower: -1 means "measured, above 1"
    QTest::newRow("intel-desktop")
        << "intel-desktop" << QVector<float>{45, 30, 4700, -1, 1234, 0, 0, 1150, 0, 0, 33, 0};
    QTest::newRow("amd-desktop") << "amd-desktop"
                                 << QVector<float>{61.25f, 30,   4850, -1,   1100, 52,
                                                   97,     2400, 187,  1450, 0,    0};
    QTest::newRow("laptop") << "laptop"
                            << QVector<float>{57, 30, 3400, 0, 0, 0, 0, 300, 0, 0, 0, 0};
    QTest::newRow("vm") << "vm" << QVector<float>{0, 30, 2299.998f, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

void tst_sensorLibrary::record()
{
    QFETCH(QString, fixture);
    QFETCH(QVector<float>, expected);

    FixtureMachine machine(fixture);
    pollFixture(machine);
    const SensorReadings r = machine.thread.getSensorReadings();
    const QVector<float> got{r.cpuTemperature, r.cpuUsage,       r.cpuClock,         r.cpuPower,
                             r.cpuFan,         r.gpuTemperature, r.gpuUsage,         r.gpuClock,
                             r.gpuPower,       r.gpuFan,         r.boardTemperature, r.memoryClock};
    for (int i = 0; i < got.size(); ++i) {
        if (expected[i] < 0) {
            // 2 J over a little more than the 200 ms wait.
            QVERIFY2(got[i] > 1 && got[i] <= 10.01f, qPrintable(QString::number(got[i])));
            continue;
        }
        QVERIFY2(qFuzzyCompare(got[i] + 1, expected[i] + 1),
                 qPrintable(QString("field %1: %2").arg(i).arg(got[i])));
    }
}

void tst_sensorLibrary::packagePowerAcrossCounterWrap()
{
    FixtureMachine machine("intel-desktop");
    QVERIFY(machine.ok);
    const QString zone = machine.root + "/sys/class/powercap/intel-rapl:0";
    const qint64 range = readFile(zone + "/max_energy_range_uj").toLongLong();
    writeFile(zone + "/energy_uj", QByteArray::number(range - 1000000));
    QCOMPARE(machine.start(), 0);
    writeFile(zone + "/energy_uj", "1000000");
    QThread::msleep(200);
    QVERIFY(machine.poll());
    const Seen *power = machine.find("CPU", P, "CPU Package Power");
    QVERIFY(power);
    QVERIFY2(power->value > 1 && power->value <= 10.01, qPrintable(QString::number(power->value)));
}

void tst_sensorLibrary::suspendedGpuIsLeftAsleep()
{
    FixtureMachine machine("laptop");
    pollFixture(machine);
    const QString sleeping = "GPU [#0]: AMD Radeon Graphics [1002:6900]";
    QCOMPARE(machine.countFrom(sleeping), 0);
    QCOMPARE(machine.thread.getSensorReadings().gpuTemperature, 0.0f);
    // Once awake it is read like any other card.
    writeFile(machine.root + "/sys/class/drm/card1/device/power/runtime_status", "active");
    QVERIFY(machine.poll());
    QVERIFY(machine.find(sleeping, T, "GPU Temperature"));
    QCOMPARE(machine.thread.getSensorReadings().gpuTemperature, 44.0f);
    QCOMPARE(machine.thread.getSensorReadings().gpuUsage, 55.0f);
}

void tst_sensorLibrary::missingRootIsAnError()
{
    FixtureMachine machine("vm");
    qputenv("HWSENSORS_ROOT", QFile::encodeName(machine.root + "/not-there"));
    QCOMPARE(machine.start(), -2);
    QVERIFY(!machine.poll());
}

void tst_sensorLibrary::oversizedFiles_data()
{
    QTest::addColumn<QString>("file"); // grown to 1 GB behind its own content
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<ReadingKind>("kind");
    QTest::addColumn<QString>("name"); // still published

    const QString radeon = "GPU [#0]: AMD Radeon Graphics [1002:73BF]";
    QTest::newRow("chip name") << "sys/class/hwmon/hwmon0/name"
                               << "CPU" << T << "CPU (Tctl/Tdie)";
    QTest::newRow("reading label") << "sys/class/hwmon/hwmon0/temp1_label"
                                   << "CPU" << T << "CPU (Tctl/Tdie)";
    QTest::newRow("/proc/stat") << "proc/stat"
                                << "CPU" << U << "Total CPU Usage";
    QTest::newRow("/proc/cpuinfo") << "proc/cpuinfo"
                                   << "CPU" << C << "Core 0 Clock";
    QTest::newRow("card uevent") << "sys/class/drm/card0/device/uevent" << radeon << T
                                 << "GPU Temperature";
}

// A file of 1 GB where a short one belongs (a broken driver, a FUSE mount) costs the library
// a page of reading, not seconds and gigabytes.
void tst_sensorLibrary::oversizedFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, sensor);
    QFETCH(ReadingKind, kind);
    QFETCH(QString, name);

    FixtureMachine machine("amd-desktop");
    QVERIFY(machine.ok);
    QFile big(machine.root + "/" + file);
    QVERIFY2(big.exists(), qPrintable(big.fileName()));
    QVERIFY(big.resize(qint64(1) << 30)); // sparse: no disk space taken
    QCOMPARE(machine.start(), 0);
    if (file == "proc/stat") {
        // Usage is published once the counters move: the first line rewritten in place.
        QVERIFY(big.open(QIODevice::ReadWrite));
        QList<QByteArray> fields = big.readLine().simplified().split(' ');
        fields[1] = QByteArray::number(fields[1].toULongLong() + 300);
        fields[4] = QByteArray::number(fields[4].toULongLong() + 700);
        QVERIFY(big.seek(0));
        big.write(fields.join(' ') + '\n');
        big.close();
    }
    QVERIFY(machine.poll());
    QVERIFY(machine.find(sensor, kind, name));
    rusage usage{};
    QVERIFY(getrusage(RUSAGE_SELF, &usage) == 0);
    QVERIFY2(usage.ru_maxrss < 200 * 1024, qPrintable(QString::number(usage.ru_maxrss)));
}

void tst_sensorLibrary::cpuCounters_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<double>("usage");
    QTest::newRow("busy half") << "cpu  100 0 0 300 0 0 0 0 0 0"
                               << "cpu  150 0 50 380 20 0 0 0 0 0" << 50.0;
    QTest::newRow("iowait counts as idle") << "cpu  100 0 0 300 0 0 0 0"
                                           << "cpu  110 0 0 300 90 0 0 0" << 10.0;
    QTest::newRow("steal is busy") << "cpu  0 0 0 0 0 0 0 0"
                                   << "cpu  0 0 0 50 0 0 0 50" << 50.0;
    QTest::newRow("guest not counted twice") << "cpu  0 0 0 0 0 0 0 0 0 0"
                                             << "cpu  50 0 0 50 0 0 0 0 50 0" << 50.0;
    QTest::newRow("no time passed keeps previous") << "cpu  1 2 3 4"
                                                   << "cpu  1 2 3 4" << 12.5;
    QTest::newRow("counters reset keeps previous") << "cpu  500 0 0 500"
                                                   << "cpu  10 0 0 10" << 12.5;
    QTest::newRow("idle beyond total is zero") << "cpu  100 0 0 100 0"
                                               << "cpu  90 0 0 200 0" << 0.0;
    QTest::newRow("per-cpu line is not the total") << "cpu0 1 1 1 1"
                                                   << "cpu0 9 9 9 9" << 12.5;
    QTest::newRow("three fields are no sample") << "cpu  1 2 3"
                                                << "cpu  9 9 9" << 12.5;
    QTest::newRow("a word ends the fields") << "cpu  100 0 0 300 x 70"
                                            << "cpu  150 0 0 350 x 90" << 50.0;
    QTest::newRow("a field past 64 bits ends them")
        << "cpu  100 0 0 300 99999999999999999999999"
        << "cpu  150 0 0 350 99999999999999999999999" << 50.0;
}

void tst_sensorLibrary::cpuCounters()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(double, usage);
    const CpuTimes a = hwsensors::parseCpuTimes(before.toStdString() + "\ncpu0 1 2 3 4\n");
    const CpuTimes b = hwsensors::parseCpuTimes(after.toStdString() + "\ncpu0 1 2 3 4\n");
    QCOMPARE(hwsensors::cpuUsagePercent(a, b, 12.5), usage);
}

void tst_sensorLibrary::firstCpuinfoClock_data()
{
    using hwsensors::CpuinfoScan;
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("atEnd");
    QTest::addColumn<CpuinfoScan>("scan");
    QTest::addColumn<int>("processor");
    QTest::addColumn<double>("mhz");

    const QByteArray head = "processor\t: 0\nvendor_id\t: GenuineIntel\n";
    QTest::newRow("x86 record") << head + "cpu MHz\t\t: 2299.998\ncache size\t: 8192 KB\n"
                                << false << CpuinfoScan::Found << 0 << 2299.998;
    QTest::newRow("cut before the clock")
        << head + "model name\t: QEMU" << false << CpuinfoScan::NeedMore << 0 << 0.0;
    // The read may stop inside the number: "2299" of "2299.998" is no clock yet.
    QTest::newRow("cut inside the clock")
        << head + "cpu MHz\t\t: 2299" << false << CpuinfoScan::NeedMore << 0 << 0.0;
    QTest::newRow("file ends after the clock")
        << head + "cpu MHz\t\t: 2299" << true << CpuinfoScan::Found << 0 << 2299.0;
    QTest::newRow("first record has none") << QByteArray("processor\t: 0\nBogoMIPS\t: 48.00\n\n"
                                                         "processor\t: 1\ncpu MHz\t\t: 1800\n")
                                           << false << CpuinfoScan::NoClock << 0 << 0.0;
    QTest::newRow("next record without blank line") << QByteArray("processor : 0\nprocessor : 1\n"
                                                                  "cpu MHz : 1800\n")
                                                    << false << CpuinfoScan::NoClock << 0 << 0.0;
    QTest::newRow("first online processor") << QByteArray("processor\t: 2\ncpu MHz\t\t: 3400.5\n")
                                            << false << CpuinfoScan::Found << 2 << 3400.5;
    QTest::newRow("clock before processor") << QByteArray("cpu MHz : 1800\nprocessor : 0\n\n")
                                            << false << CpuinfoScan::NoClock << 0 << 0.0;
    QTest::newRow("no number") << QByteArray("processor : x\ncpu MHz : 1800\n") << false
                               << CpuinfoScan::NoClock << -1 << 0.0;
    QTest::newRow("empty file") << QByteArray() << true << CpuinfoScan::NoClock << -1 << 0.0;
}

void tst_sensorLibrary::firstCpuinfoClock()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, atEnd);
    QFETCH(hwsensors::CpuinfoScan, scan);
    QFETCH(int, processor);
    QFETCH(double, mhz);
    int gotProcessor = -5;
    double gotMhz = 0;
    QCOMPARE(hwsensors::firstCpuinfoClock(text.constData(), size_t(text.size()), atEnd,
                                          gotProcessor, gotMhz),
             scan);
    if (scan != hwsensors::CpuinfoScan::NeedMore)
        QCOMPARE(gotProcessor, processor);
    if (scan == hwsensors::CpuinfoScan::Found)
        QCOMPARE(gotMhz, mhz);
}

// The clock is read again every pass, also where the first record's clock lies beyond the
// first short read, and belongs only to the processor that was first at start.
void tst_sensorLibrary::cpuinfoClockEachPass()
{
    FixtureMachine machine("vm");
    const QString cpuinfo = machine.root + "/proc/cpuinfo";
    const QByteArray flags = "flags\t\t: " + QByteArray(1500, 'x') + "\n";
    const auto record = [&](int processor, const QByteArray &mhz) {
        return "processor\t: " + QByteArray::number(processor) + "\n" + flags +
               "cpu MHz\t\t: " + mhz + "\n\n";
    };
    writeFile(cpuinfo, record(0, "1800.5") + record(1, "3000"));
    pollFixture(machine);
    const Seen *clock = machine.find("CPU", C, "Core 0 Clock");
    QVERIFY(clock);
    QCOMPARE(clock->value, 1800.5);
    QVERIFY(!machine.find("CPU", C, "Core 1 Clock"));

    writeFile(cpuinfo, record(0, "2400") + record(1, "3000"));
    QVERIFY(machine.poll());
    clock = machine.find("CPU", C, "Core 0 Clock");
    QVERIFY(clock);
    QCOMPARE(clock->value, 2400.0);

    writeFile(cpuinfo, record(1, "3000"));
    QVERIFY(machine.poll());
    QVERIFY(!machine.find("CPU", C, "Core 0 Clock"));
}

void tst_sensorLibrary::energyDelta_data()
{
    QTest::addColumn<double>("before");
    QTest::addColumn<double>("after");
    QTest::addColumn<double>("range");
    QTest::addColumn<double>("delta");
    QTest::newRow("forward") << 1000.0 << 4000.0 << 1e6 << 3000.0;
    QTest::newRow("wrap") << 999000.0 << 500.0 << 1e6 << 1500.0;
    QTest::newRow("wrap, range unknown") << 999000.0 << 500.0 << 0.0 << -1.0;
    QTest::newRow("before beyond range") << 2e6 << 500.0 << 1e6 << -1.0;
}

void tst_sensorLibrary::energyDelta()
{
    QFETCH(double, before);
    QFETCH(double, after);
    QFETCH(double, range);
    QFETCH(double, delta);
    QCOMPARE(hwsensors::energyDelta(before, after, range), delta);
}

namespace {
struct ToolRun
{
    int exitCode = -1;
    QStringList lines;
    QString errors;
};

ToolRun runTool(const QString &root, const QProcessEnvironment &extra = {},
                const QStringList &arguments = {})
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HWSENSORS_ROOT", root);
    for (const QString &key : extra.keys())
        env.insert(key, extra.value(key));
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral(TARNIX_BINARY_DIR "/tarnix-sensors"), arguments);
    ToolRun run;
    if (!tool.waitForFinished(20000))
        return run;
    run.exitCode = tool.exitCode();
    run.errors = QString::fromUtf8(tool.readAllStandardError());
    run.lines = QString::fromUtf8(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    return run;
}

ToolRun runTool(const QString &root, const QStringList &arguments)
{
    return runTool(root, QProcessEnvironment(), arguments);
}
} // namespace

void tst_sensorLibrary::toolOutput()
{
    const ToolRun run = runTool(fixtures + "/amd-desktop");
    QCOMPARE(run.exitCode, 0);
    QStringList fieldNames;
    for (const QString &line : run.lines) {
        const QStringList parts = line.split('\t');
        if (parts[0] == "field") {
            QCOMPARE(parts.size(), 3);
            fieldNames << parts[1];
            continue;
        }
        QVERIFY2(fieldNames.isEmpty(), "readings come before the fields");
        QCOMPARE(parts.size(), 5);
        QCOMPARE(parts[0], QString("reading"));
        QVERIFY(QStringList({"temperature", "fan", "power", "clock", "usage"}).contains(parts[2]));
        bool number = false;
        QVERIFY(parts[4].toDouble(&number) >= 1.0 && number);
    }
    QCOMPARE(fieldNames, QStringList({"cpuTemperature", "cpuUsage", "cpuClock", "cpuPower",
                                      "cpuFan", "gpuTemperature", "gpuUsage", "gpuClock",
                                      "gpuPower", "gpuFan", "boardTemperature", "memoryClock"}));
    QVERIFY(run.lines.contains(
        "reading\tGPU [#0]: AMD Radeon Graphics [1002:73BF]\tpower\tGPU Power (Total)\t187"));
    QVERIFY(run.lines.contains("field\tcpuTemperature\t61.25"));
    QVERIFY(run.lines.contains("field\tgpuFan\t1450"));

    // The library's error code comes out as the exit code.
    QCOMPARE(runTool(fixtures + "/no-such-machine").exitCode, 256 - 2);
}

void tst_sensorLibrary::toolSources_data()
{
    QTest::addColumn<QStringList>("set");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("expected"); // lines of the --sources run that follows

    const QString amd = "GPU [#0]: AMD Radeon Graphics [1002:73BF]";
    const QString nvidia = "GPU [#1]: NVIDIA Graphics [10DE:1C82]";
    QTest::newRow("automatic")
        << QStringList() << 0
        << QStringList{
               "field\tcpuTemperature\t61.25",
               "source\tcpuTemperature\ttable\tCPU/temperature/CPU (Tctl\\/Tdie)\t",
               "candidate\tcpuTemperature\tchosen\tCPU/temperature/CPU (Tctl\\/Tdie)\t61.25",
               "candidate\tcpuTemperature\tusable\tCPU/temperature/Tccd1\t55",
               "source\tcpuPower\tnone\t\t"};
    QTest::newRow("die sensor")
        << QStringList{"--set", "cpuTemperature", "CPU/temperature/Tccd1"} << 0
        << QStringList{"field\tcpuTemperature\t55",
                       "source\tcpuTemperature\toverride\tCPU/temperature/Tccd1\tCPU/temperature/"
                       "Tccd1",
                       "candidate\tcpuTemperature\tchosen\tCPU/temperature/Tccd1\t55"};
    QTest::newRow("a reading below one is a true value")
        << QStringList{"--set", "cpuUsage", "CPU/usage/Total CPU Usage"} << 0
        << QStringList{"field\tcpuUsage\t0", "source\tcpuUsage\toverride\tCPU/usage/Total CPU "
                                             "Usage\tCPU/usage/Total CPU Usage"};
    QTest::newRow("second card") << QStringList{"--set", "gpuCard", nvidia} << 0
                                 << QStringList{"field\tgpuTemperature\t48",
                                                "field\tgpuFan\t900",
                                                "field\tgpuPower\t0",
                                                "source\tgpuPower\tnone\t\t",
                                                "card\t" + nvidia + "\tpresent",
                                                "source\tgpuFan\tcard\t" + nvidia +
                                                    "/fan/GPU Fan1\t"};
    QTest::newRow("gone hardware")
        << QStringList{"--set", "gpuFan", amd + "/fan/GPU Fan7"} << 0
        << QStringList{"field\tgpuFan\t1450",
                       "source\tgpuFan\ttable\t" + amd + "/fan/GPU Fan1\t" + amd + "/fan/GPU Fan7"};
    QTest::newRow("wrong kind") << QStringList{"--set", "cpuFan", "CPU/temperature/Tccd1"} << 2
                                << QStringList{"field\tcpuFan\t1100"};
    QTest::newRow("unknown value") << QStringList{"--set", "cpuVoltage", "CPU/clock/x"} << 2
                                   << QStringList{"field\tcpuTemperature\t61.25"};
}

void tst_sensorLibrary::toolSources()
{
    QFETCH(QStringList, set);
    QFETCH(int, exitCode);
    QFETCH(QStringList, expected);
    const QString root = fixtures + "/amd-desktop";
    if (!set.isEmpty()) {
        const ToolRun written = runTool(root, set);
        QCOMPARE(written.exitCode, exitCode);
        QVERIFY(written.lines.isEmpty());
        QCOMPARE(written.errors.isEmpty(), exitCode == 0);
    }
    const ToolRun run = runTool(root, QStringList{"--sources"});
    QCOMPARE(run.exitCode, 0);
    for (const QString &line : expected)
        QVERIFY2(run.lines.contains(line), qPrintable(line));
    // Twelve source lines, whatever was chosen.
    QCOMPARE(run.lines.filter(QRegularExpression("^source\t")).size(), 12);

    if (set.size() == 3 && exitCode == 0) {
        QCOMPARE(runTool(root, QStringList{"--reset", set.at(1)}).exitCode, 0);
        const ToolRun after = runTool(root, QStringList());
        QVERIFY(after.lines.contains("field\tcpuTemperature\t61.25"));
        QVERIFY(after.lines.contains("field\tgpuFan\t1450"));
        QVERIFY(after.lines.contains("field\tcpuUsage\t0"));
        // Without --sources the output is what it always was.
        QVERIFY(after.lines.filter(QRegularExpression("^(source|candidate|card)\t")).isEmpty());
    }
}

void tst_sensorLibrary::toolWithNvml_data()
{
    QTest::addColumn<bool>("suspended");
    QTest::newRow("awake") << false;
    QTest::newRow("runtime suspended") << true;
}

void tst_sensorLibrary::toolWithNvml()
{
    QFETCH(bool, suspended);
    FixtureMachine machine("vm");
    QVERIFY(machine.ok);
    if (suspended) {
        const QString device = machine.root + "/sys/bus/pci/devices/0000:01:00.0";
        QDir().mkpath(device + "/power");
        writeFile(device + "/vendor", "0x10de");
        writeFile(device + "/device", "0x2786");
        writeFile(device + "/class", "0x030000");
        writeFile(device + "/uevent", "DRIVER=nvidia");
        writeFile(device + "/power/runtime_status", "suspended");
    }
    QProcessEnvironment extra;
    extra.insert("LD_LIBRARY_PATH", QStringLiteral(TARNIX_BINARY_DIR "/tests/fake-nvml"));
    extra.insert("HWSENSORS_NVML", "1");
    const ToolRun run = runTool(machine.root, extra);
    QCOMPARE(run.exitCode, 0);
    const QString gpu = "reading\tGPU [#0]: NVIDIA GeForce RTX 4070\t";
    const QStringList gpuLines = run.lines.filter(gpu);
    if (suspended) {
        QVERIFY2(gpuLines.isEmpty(), qPrintable(gpuLines.join('|')));
        return;
    }
    QCOMPARE(gpuLines,
             QStringList({gpu + "temperature\tGPU Temperature\t51", gpu + "fan\tGPU Fan1\t1500",
                          gpu + "power\tGPU Power (Total)\t123.456", gpu + "clock\tGPU Clock\t2505",
                          gpu + "usage\tGPU Core Load\t33", gpu + "clock\tGPU Memory Clock\t10501",
                          gpu + "usage\tGPU Cooler Duty\t40"}));
    QVERIFY(run.lines.contains("field\tgpuFan\t1500"));
    QVERIFY(run.lines.contains("field\tgpuPower\t123.456"));
}

void tst_sensorLibrary::toolUnsavedChoice_data()
{
    QTest::addColumn<QString>("blocker"); // what stands in the way of the settings file
    QTest::addColumn<QStringList>("command");

    const QStringList set{"--set", "cpuTemperature", "CPU/temperature/Tccd1"};
    const QStringList reset{"--reset", "gpuCard"};
    QTest::newRow("writable: saved") << "none" << set;
    QTest::newRow("config folder is a file, set") << "config file" << set;
    QTest::newRow("settings file is a folder, reset") << "settings folder" << reset;
    QTest::newRow("read-only settings file, set") << "read-only file" << set;
    QTest::newRow("read-only settings file, reset") << "read-only file" << reset;
    QTest::newRow("read-only settings folder, set") << "read-only folder" << set;
}

void tst_sensorLibrary::toolUnsavedChoice()
{
    QFETCH(QString, blocker);
    QFETCH(QStringList, command);
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    QString config = scratch.path() + "/config";
    const QString folder = config + "/MyCompanyKelmar";
    const QString file = folder + "/Tarnix.conf";
    const QByteArray before = "[Sources]\ngpuCard=GPU [#1]\n";
    QVERIFY(QDir().mkpath(folder));
    if (blocker == "config file") {
        config = scratch.path() + "/plain";
        QVERIFY(QFile(config).open(QIODevice::WriteOnly));
    } else if (blocker == "settings folder") {
        QVERIFY(QDir().mkpath(file));
    } else {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(before) == before.size());
    }
    // Root ignores file modes: the immutable attribute blocks writes for root too.
    const QString locked = blocker.endsWith("file") ? file : folder;
    const bool immutable =
        blocker.startsWith("read-only") && QProcess::execute("chattr", {"+i", locked}) == 0;
    auto unlock = qScopeGuard([&] {
        if (immutable)
            QProcess::execute("chattr", {"-i", locked});
    });
    if (blocker.startsWith("read-only") && !immutable)
        QSKIP("the immutable attribute is not supported here");

    QProcessEnvironment env;
    env.insert("XDG_CONFIG_HOME", config);
    const ToolRun run = runTool(fixtures + "/amd-desktop", env, command);
    QVERIFY(run.lines.isEmpty());
    if (blocker == "none") {
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.errors, QString());
        QSettings saved(file, QSettings::IniFormat);
        QCOMPARE(saved.value("Sources/cpuTemperature").toString(), command.at(2));
        return;
    }
    QCOMPARE(run.exitCode, 1);
    const QString expectedFile = config + "/MyCompanyKelmar/Tarnix.conf";
    QCOMPARE(run.errors, "tarnix-sensors: nothing saved: cannot write " + expectedFile + "\n");
    if (blocker.startsWith("read-only")) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
}

QTEST_MAIN(tst_sensorLibrary)
#include "tst_sensorLibrary.moc"
