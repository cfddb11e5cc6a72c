// Sleeping GPUs stay asleep: a fixture sysfs whose runtime_status goes active, suspended and
// active again, NVIDIA's library stood in for by a double that logs every call, and every
// file the library reads counted.
#include "Builders.h"
#include "DynamicLibrary.h"
#include "NvmlSession.h"
#include "ValueFile.h"

#include <QtTest>

#include <dlfcn.h>

using namespace hwsensors;

namespace {

const char *const kFakeNvml = TARNIX_BINARY_DIR "/tests/fake-nvml/libnvidia-ml.so.1";
constexpr int kPassesPerHour = 3600;

std::vector<std::string> reads; // every file the library read, full paths
void noteRead(const std::string &path)
{
    reads.push_back(path);
}

bool write(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text + "\n") > 0;
}

// Files below a device folder whose reading reaches the device or its driver. The power
// state and the PCI core's own attributes are answered by the kernel without waking it.
int deviceReads(const QString &deviceDir)
{
    static const QStringList harmless = {"/power/runtime_status", "/uevent", "/vendor", "/device",
                                         "/class"};
    int count = 0;
    for (const std::string &path : reads) {
        const QString file = QString::fromStdString(path);
        if (file.startsWith(deviceDir + "/") && !harmless.contains(file.mid(deviceDir.size())))
            ++count;
    }
    return count;
}

int readsOf(const QString &suffix)
{
    return int(std::count_if(reads.begin(), reads.end(), [&](const std::string &path) {
        return QString::fromStdString(path).endsWith(suffix);
    }));
}

const Reading *find(const Sensor &sensor, Kind kind, const char *name)
{
    for (const Reading &reading : sensor.readings[kind])
        if (reading.name == name)
            return &reading;
    return nullptr;
}

bool nvmlLoaded()
{
    void *handle = dlopen(kFakeNvml, RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

} // namespace

class tst_gpuPower : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void awakeFromStatus_data();
    void awakeFromStatus();
    void nvmlFollowsTheGpu();
    void nvmlShutsDownAfterTheLastGpu();
    void nvmlNotOpenedForASleepingGpu();
    void sleepingAmdgpuIsNotRead_data();
    void sleepingAmdgpuIsNotRead();
    void drivesOnlyThroughTemperatureInputs();

private:
    QString pciDevice(int bus) const
    {
        return root +
               QStringLiteral("/sys/bus/pci/devices/0000:%1:00.0").arg(bus, 2, 10, QChar('0'));
    }
    void addNvidiaGpu(int bus, const char *status);
    void setStatus(int bus, const char *status)
    {
        QVERIFY(write(pciDevice(bus) + "/power/runtime_status", status));
    }
    QStringList nvmlCalls() const;
    std::vector<Sensor> build()
    {
        return buildGpuSensors(SysRoot(root.toStdString()),
                               [] { return Nvml::open(openVendorLibrary(kFakeNvml)); });
    }

    QTemporaryDir dir;
    QString root;
    QString callLog;
};

void tst_gpuPower::init()
{
    QVERIFY(dir.isValid());
    root = dir.path() + "/" + QTest::currentTestFunction() + "/" +
           (QTest::currentDataTag() ? QTest::currentDataTag() : "");
    QDir(root).removeRecursively();
    QVERIFY(QDir().mkpath(root + "/sys/class/drm"));
    callLog = root + "/nvml-calls";
    qputenv("FAKE_NVML_CALLS", QFile::encodeName(callLog));
    qputenv("FAKE_NVML_GPUS", "1");
    reads.clear();
    setFileReadObserver(noteRead);
}

void tst_gpuPower::cleanup()
{
    setFileReadObserver(nullptr);
    QVERIFY(!nvmlLoaded()); // shut down and unloaded with the last sensor
}

void tst_gpuPower::addNvidiaGpu(int bus, const char *status)
{
    const QString device = pciDevice(bus);
    QVERIFY(write(device + "/vendor", "0x10de"));
    QVERIFY(write(device + "/device", "0x2786"));
    QVERIFY(write(device + "/class", "0x030000"));
    QVERIFY(write(device + "/uevent", "DRIVER=nvidia\nPCI_CLASS=30000"));
    setStatus(bus, status);
    // Its DRM card: read through NVML only.
    const QString card = root + QStringLiteral("/sys/class/drm/card%1/device").arg(bus);
    QVERIFY(write(card + "/uevent", "DRIVER=nvidia"));
    QVERIFY(write(card + "/power/runtime_status", status));
}

QStringList tst_gpuPower::nvmlCalls() const
{
    QFile file(callLog);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

void tst_gpuPower::awakeFromStatus_data()
{
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("awake");
    QTest::newRow("active") << true << "active" << true;
    QTest::newRow("suspended") << true << "suspended" << false;
    QTest::newRow("resuming") << true << "resuming" << false;
    QTest::newRow("no runtime power management") << true << "unsupported" << true;
    QTest::newRow("no status file") << false << "" << true;
}

void tst_gpuPower::awakeFromStatus()
{
    QFETCH(bool, read);
    QFETCH(QString, status);
    QFETCH(bool, awake);
    QCOMPARE(deviceAwake(read, status.toStdString()), awake);
}

void tst_gpuPower::nvmlFollowsTheGpu()
{
    addNvidiaGpu(1, "active");
    {
        std::vector<Sensor> gpus = build();
        QCOMPARE(gpus.size(), size_t(1));
        Sensor &gpu = gpus[0];
        QCOMPARE(gpu.name, std::string("GPU [#0]: NVIDIA GeForce RTX 4070"));
        QCOMPARE(nvmlCalls().count("nvmlInit_v2"), 1);
        gpu.prepare();
        QCOMPARE(find(gpu, Temperature, "GPU Temperature")->value, 51.0);

        // Suspended: one shutdown, the library unloaded, then nothing for an hour.
        setStatus(1, "suspended");
        gpu.prepare();
        QCOMPARE(nvmlCalls().count("nvmlShutdown"), 1);
        QVERIFY(!nvmlLoaded());
        const int callsAsleep = nvmlCalls().size();
        reads.clear();
        for (int pass = 0; pass < kPassesPerHour; ++pass)
            gpu.prepare();
        qInfo("NVIDIA GPU asleep for an hour: %d NVML calls, %d reads of its files",
              int(nvmlCalls().size() - callsAsleep), deviceReads(pciDevice(1)));
        QCOMPARE(nvmlCalls().size(), callsAsleep);
        QCOMPARE(deviceReads(pciDevice(1)), 0);
        QCOMPARE(readsOf("/power/runtime_status"), kPassesPerHour);
        // The names stay, without values.
        QCOMPARE(find(gpu, Temperature, "GPU Temperature")->value, 0.0);
        QCOMPARE(find(gpu, Power, "GPU Power (Total)")->value, 0.0);

        // Awake again: opened anew, read anew.
        setStatus(1, "active");
        gpu.prepare();
        QCOMPARE(nvmlCalls().count("nvmlInit_v2"), 2);
        QCOMPARE(find(gpu, Temperature, "GPU Temperature")->value, 51.0);
        QCOMPARE(find(gpu, Power, "GPU Power (Total)")->value, 123.456);
    }
    QCOMPARE(nvmlCalls().count("nvmlShutdown"), 2); // with the sensors
}

void tst_gpuPower::nvmlShutsDownAfterTheLastGpu()
{
    qputenv("FAKE_NVML_GPUS", "2");
    addNvidiaGpu(1, "active");
    addNvidiaGpu(2, "active");
    std::vector<Sensor> gpus = build();
    QCOMPARE(gpus.size(), size_t(2));
    const auto pass = [&gpus] {
        for (Sensor &gpu : gpus)
            gpu.prepare();
    };
    pass();
    setStatus(1, "suspended");
    pass();
    QCOMPARE(nvmlCalls().count("nvmlShutdown"), 0); // the second still runs
    QCOMPARE(find(gpus[0], Temperature, "GPU Temperature")->value, 0.0);
    QCOMPARE(find(gpus[1], Temperature, "GPU Temperature")->value, 51.0);
    setStatus(2, "suspended");
    const int before = nvmlCalls().size();
    for (int i = 0; i < 10; ++i)
        pass();
    QCOMPARE(nvmlCalls().count("nvmlShutdown"), 1);
    QCOMPARE(nvmlCalls().size(), before + 1);
    setStatus(2, "active");
    pass();
    QCOMPARE(nvmlCalls().count("nvmlInit_v2"), 2);
    QCOMPARE(find(gpus[0], Temperature, "GPU Temperature")->value, 0.0);
    QCOMPARE(find(gpus[1], Temperature, "GPU Temperature")->value, 51.0);
    gpus.clear();
}

void tst_gpuPower::nvmlNotOpenedForASleepingGpu()
{
    addNvidiaGpu(1, "suspended");
    std::vector<Sensor> gpus = build();
    QCOMPARE(nvmlCalls(), QStringList());
    QCOMPARE(gpus.size(), size_t(1));
    Sensor &gpu = gpus[0];
    QCOMPARE(gpu.name, std::string("GPU [#0]: NVIDIA Graphics [10DE:2786]"));
    QVERIFY(find(gpu, Fan, "GPU Fan1"));
    gpu.prepare();
    QCOMPARE(nvmlCalls(), QStringList());
    QCOMPARE(deviceReads(pciDevice(1)), 0);
    QCOMPARE(deviceReads(root + "/sys/class/drm/card1/device"), 0);
    setStatus(1, "active");
    gpu.prepare();
    QCOMPARE(find(gpu, Temperature, "GPU Temperature")->value, 51.0);
    QCOMPARE(find(gpu, Fan, "GPU Fan1")->value, 1500.0);
    gpus.clear();
    QCOMPARE(nvmlCalls().count("nvmlShutdown"), 1);
}

void tst_gpuPower::sleepingAmdgpuIsNotRead_data()
{
    QTest::addColumn<QString>("atStart");
    QTest::newRow("asleep at the start") << "suspended";
    QTest::newRow("awake at the start") << "active";
}

void tst_gpuPower::sleepingAmdgpuIsNotRead()
{
    QFETCH(QString, atStart);
    const QString device = root + "/sys/class/drm/card0/device";
    const QString hwmon = device + "/hwmon/hwmon4";
    QVERIFY(write(device + "/uevent", "DRIVER=amdgpu\nPCI_ID=1002:73BF"));
    QVERIFY(write(device + "/vendor", "0x1002"));
    QVERIFY(write(device + "/device", "0x73bf"));
    QVERIFY(write(device + "/power/runtime_status", atStart.toLatin1()));
    QVERIFY(write(device + "/gpu_busy_percent", "12"));
    QVERIFY(write(device + "/gpu_metrics", "binary"));
    QVERIFY(write(hwmon + "/name", "amdgpu"));
    const QList<QPair<QString, QByteArray>> files = {
        {"temp1_input", "40000"},       {"temp1_label", "edge"},      {"temp2_input", "48000"},
        {"temp2_label", "junction"},    {"freq1_input", "500000000"}, {"freq1_label", "sclk"},
        {"power1_average", "15000000"}, {"fan1_input", "900"}};
    for (const auto &file : files)
        QVERIFY(write(hwmon + "/" + file.first, file.second));

    std::vector<Sensor> gpus = buildGpuSensors(SysRoot(root.toStdString()), {});
    QCOMPARE(gpus.size(), size_t(1));
    Sensor &gpu = gpus[0];
    // The same names whether it slept at the start or not.
    for (const char *name : {"GPU Temperature", "GPU Hot Spot Temperature"})
        QVERIFY2(find(gpu, Temperature, name), name);
    QVERIFY(find(gpu, Clock, "GPU Clock") && find(gpu, Usage, "GPU Core Load"));
    if (atStart == "suspended")
        QCOMPARE(deviceReads(device), 0);
    QVERIFY(write(device + "/power/runtime_status", "suspended"));
    reads.clear();
    for (int pass = 0; pass < kPassesPerHour; ++pass)
        gpu.prepare();
    qInfo("amdgpu card asleep for an hour: %d reads of its files", deviceReads(device));
    QCOMPARE(deviceReads(device), 0);
    QCOMPARE(find(gpu, Temperature, "GPU Hot Spot Temperature")->value, 0.0);
    QVERIFY(write(device + "/power/runtime_status", "active"));
    gpu.prepare();
    QCOMPARE(find(gpu, Temperature, "GPU Hot Spot Temperature")->value, 48.0);
    QCOMPARE(find(gpu, Usage, "GPU Core Load")->value, 12.0);
    QCOMPARE(readsOf("/gpu_metrics"), 0);
}

void tst_gpuPower::drivesOnlyThroughTemperatureInputs()
{
    const QString chip = root + "/sys/class/hwmon/hwmon1";
    QVERIFY(write(chip + "/name", "nvme"));
    for (const char *file : {"temp1_input", "temp2_input"})
        QVERIFY(write(chip + "/" + file, "38850"));
    QVERIFY(write(chip + "/temp1_label", "Composite"));
    for (const char *file :
         {"temp1_min", "temp1_max", "temp1_crit", "temp1_alarm", "temp2_min", "temp2_max"})
        QVERIFY(write(chip + "/" + file, "84850"));
    std::vector<Sensor> sensors = buildChipSensors(listHwmonChips(SysRoot(root.toStdString())));
    QCOMPARE(sensors.size(), size_t(1));
    for (int pass = 0; pass < 3; ++pass)
        sensors[0].prepare();
    QCOMPARE(find(sensors[0], Temperature, "Composite")->value, 38.85);
    QCOMPARE(readsOf("_input"), 6);
    for (const char *never : {"_min", "_max", "_crit", "_alarm"})
        QVERIFY2(readsOf(never) == 0, never);
}

QTEST_GUILESS_MAIN(tst_gpuPower)
#include "tst_gpuPower.moc"
