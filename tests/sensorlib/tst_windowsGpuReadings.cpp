// The Windows library's GPU sensors without Windows: the reading rules, and the adapter
// builder driven through a fake kernel-thunk table and fake engine samples.
#include "../sensors/support/FakeThunks.h"
#include "GpuAdapters.h"
#include "GpuReadings.h"
#include "Nvml.h"

#include <QtTest>

#include <dlfcn.h>

using namespace hwsensors;
using namespace fakethunks;

namespace {

// Engine samples handed out one per call; an empty entry is a sample without values.
struct ScriptedSampler
{
    std::vector<std::vector<std::pair<std::wstring, double>>> samples;
    int calls = 0;
    EngineSampler sampler()
    {
        return [this](EngineLoads &loads) {
            const size_t index = static_cast<size_t>(calls++);
            if (index >= samples.size() || samples[index].empty())
                return false;
            for (const auto &instance : samples[index])
                loads.add(instance.first, instance.second);
            return true;
        };
    }
};

std::wstring engine(uint32_t luidLow, int phys, int eng, int pid = 4)
{
    wchar_t name[96];
    std::swprintf(name, 96, L"pid_%d_luid_0x00000000_0x%08X_phys_%d_eng_%d_engtype_3D", pid,
                  luidLow, phys, eng);
    return name;
}

} // namespace

using Instances = QVector<QPair<QString, double>>;
Q_DECLARE_METATYPE(Instances)

class TestWindowsGpuReadings : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void engineInstance_data();
    void engineInstance();
    void busiestEngine_data();
    void busiestEngine();
    void nvmlMatching_data();
    void nvmlMatching();
    void utf16Names_data();
    void utf16Names();
    void buildsOneSensorPerHardwareAdapter();
    void readingsFollowThePerformanceData();
    void loadIsEmptyUntilASampleHasValues();
    void namesFallBack();
    void nvmlFillsTheGaps_data();
    void nvmlFillsTheGaps();
    void noAdaptersNoSensors();

private:
    FakeThunks thunks;
};

void TestWindowsGpuReadings::init()
{
    thunks = FakeThunks();
    fake = &thunks;
}

void TestWindowsGpuReadings::cleanup()
{
    fake = nullptr;
}

void TestWindowsGpuReadings::engineInstance_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<uint>("high");
    QTest::addColumn<uint>("low");
    QTest::addColumn<uint>("phys");
    QTest::addColumn<uint>("eng");

    QTest::newRow("3D engine") << "pid_1234_luid_0x00000000_0x0000D1F2_phys_0_eng_3_engtype_3D"
                               << true << 0u << 0xD1F2u << 0u << 3u;
    QTest::newRow("high part and lower-case hex")
        << "pid_8_luid_0x0000000a_0x0001bcde_phys_0_eng_12_engtype_Copy" << true << 0xAu << 0x1BCDEu
        << 0u << 12u;
    QTest::newRow("second physical adapter")
        << "pid_8_luid_0x00000000_0x0000D1F2_phys_1_eng_0_engtype_3D" << true << 0u << 0xD1F2u << 1u
        << 0u;
    QTest::newRow("no phys field") << "pid_8_luid_0x00000000_0x0000D1F2_eng_5_engtype_VideoDecode"
                                   << true << 0u << 0xD1F2u << 0u << 5u;
    QTest::newRow("no luid") << "pid_8_phys_0_eng_3_engtype_3D" << false << 0u << 0u << 0u << 0u;
    QTest::newRow("luid without digits")
        << "pid_8_luid_0x_0x0000D1F2_phys_0_eng_3" << false << 0u << 0u << 0u << 0u;
    QTest::newRow("luid half of nine digits")
        << "pid_8_luid_0x000000000_0x0000D1F2_phys_0_eng_3" << false << 0u << 0u << 0u << 0u;
    QTest::newRow("not hex") << "pid_8_luid_0x00000000_0x0000G1F2_phys_0_eng_3" << false << 0u << 0u
                             << 0u << 0u;
    QTest::newRow("no engine") << "pid_8_luid_0x00000000_0x0000D1F2_phys_0_engtype_3D" << false
                               << 0u << 0u << 0u << 0u;
    QTest::newRow("engine with trailing letters")
        << "pid_8_luid_0x00000000_0x0000D1F2_phys_0_eng_3x" << false << 0u << 0u << 0u << 0u;
    QTest::newRow("malformed phys")
        << "pid_8_luid_0x00000000_0x0000D1F2_phys_x_eng_3" << false << 0u << 0u << 0u << 0u;
}

void TestWindowsGpuReadings::engineInstance()
{
    QFETCH(QString, name);
    QFETCH(bool, ok);
    EngineId id;
    id.engine = 77;
    QCOMPARE(parseEngineInstance(name.toStdWString(), id), ok);
    if (!ok) {
        QCOMPARE(id.engine, 77u); // left alone
        return;
    }
    QFETCH(uint, high);
    QFETCH(uint, low);
    QFETCH(uint, phys);
    QFETCH(uint, eng);
    QCOMPARE(id.luid.high, high);
    QCOMPARE(id.luid.low, low);
    QCOMPARE(id.physical, phys);
    QCOMPARE(id.engine, eng);
}

void TestWindowsGpuReadings::busiestEngine_data()
{
    QTest::addColumn<Instances>("instances");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("load");

    const auto name = [](uint32_t luid, int phys, int eng, int pid) {
        return QString::fromStdWString(engine(luid, phys, eng, pid));
    };
    QTest::newRow("processes summed per engine") << Instances{{name(0xD1F2, 0, 0, 10), 30},
                                                              {name(0xD1F2, 0, 0, 11), 25},
                                                              {name(0xD1F2, 0, 1, 10), 40}}
                                                 << true << 55.0;
    QTest::newRow("busiest engine, not the sum of engines")
        << Instances{{name(0xD1F2, 0, 0, 10), 20},
                     {name(0xD1F2, 0, 3, 10), 35},
                     {name(0xD1F2, 0, 5, 12), 30}}
        << true << 35.0;
    QTest::newRow("other adapter's engines ignored")
        << Instances{{name(0xD1F2, 0, 0, 10), 10}, {name(0xE0A1, 0, 0, 10), 90}} << true << 10.0;
    QTest::newRow("physical adapters are separate engines")
        << Instances{{name(0xD1F2, 0, 0, 10), 30}, {name(0xD1F2, 1, 0, 10), 30}} << true << 30.0;
    QTest::newRow("clamped to 100")
        << Instances{{name(0xD1F2, 0, 0, 10), 70}, {name(0xD1F2, 0, 0, 11), 45}} << true << 100.0;
    QTest::newRow("negative clamped to 0")
        << Instances{{name(0xD1F2, 0, 0, 10), -3}} << true << 0.0;
    QTest::newRow("not a number ignored")
        << Instances{{name(0xD1F2, 0, 0, 10), qQNaN()}, {name(0xD1F2, 0, 1, 10), 12}} << true
        << 12.0;
    QTest::newRow("adapter missing from the sample")
        << Instances{{name(0xE0A1, 0, 0, 10), 50}} << false << 0.0;
    QTest::newRow("empty sample") << Instances{} << false << 0.0;
}

void TestWindowsGpuReadings::busiestEngine()
{
    QFETCH(Instances, instances);
    QFETCH(bool, ok);
    QFETCH(double, load);
    EngineLoads loads;
    loads.add(engine(0xD1F2, 0, 0, 99), 80); // a stale sample, cleared below
    loads.clear();
    for (const auto &instance : instances)
        loads.add(instance.first.toStdWString(), instance.second);
    double percent = -1;
    QCOMPARE(loads.busiest(AdapterLuid{0, 0xD1F2}, percent), ok);
    if (ok)
        QCOMPARE(percent, load);
}

void TestWindowsGpuReadings::nvmlMatching_data()
{
    QTest::addColumn<QVector<int>>("buses"); // -1: no address known
    QTest::addColumn<QVector<uint>>("vendors");
    QTest::addColumn<QStringList>("nvml");
    QTest::addColumn<QVector<int>>("expected");

    QTest::newRow("by bus") << QVector<int>{0, 1, 2} << QVector<uint>{0x8086, 0x10DE, 0x10DE}
                            << QStringList{"0000:02:00.0", "0000:01:00.0"}
                            << QVector<int>{-1, 1, 0};
    QTest::newRow("by order when addresses are missing")
        << QVector<int>{-1, -1, -1} << QVector<uint>{0x10DE, 0x8086, 0x10DE}
        << QStringList{"0000:01:00.0", "0000:02:00.0"} << QVector<int>{0, -1, 1};
    QTest::newRow("bus matches first, the rest by order")
        << QVector<int>{-1, 3} << QVector<uint>{0x10DE, 0x10DE}
        << QStringList{"0000:03:00.0", "0000:04:00.0"} << QVector<int>{1, 0};
    QTest::newRow("more NVIDIA adapters than NVML GPUs")
        << QVector<int>{-1, -1} << QVector<uint>{0x10DE, 0x10DE} << QStringList{"0000:01:00.0"}
        << QVector<int>{0, -1};
    QTest::newRow("never an AMD card") << QVector<int>{-1} << QVector<uint>{0x1002}
                                       << QStringList{"0000:01:00.0"} << QVector<int>{-1};
}

void TestWindowsGpuReadings::nvmlMatching()
{
    QFETCH(QVector<int>, buses);
    QFETCH(QVector<uint>, vendors);
    QFETCH(QStringList, nvml);
    QFETCH(QVector<int>, expected);
    std::vector<AdapterIdentity> adapters;
    for (int i = 0; i < buses.size(); ++i) {
        AdapterIdentity identity;
        identity.hasLocation = buses[i] >= 0;
        identity.location.bus = static_cast<uint32_t>(std::max(buses[i], 0));
        identity.vendorId = vendors[i];
        adapters.push_back(identity);
    }
    std::vector<std::string> addresses;
    for (const QString &address : nvml)
        addresses.push_back(address.toStdString());
    const std::vector<int> match = matchNvmlGpus(adapters, addresses);
    QCOMPARE(QVector<int>(match.begin(), match.end()), expected);
}

void TestWindowsGpuReadings::utf16Names_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("utf8");

    QTest::newRow("spaces trimmed")
        << "  Radeon RX 7800 XT " << 64 << QByteArray("Radeon RX 7800 XT");
    QTest::newRow("stops at the length") << "NVIDIA GeForce" << 6 << QByteArray("NVIDIA");
    QTest::newRow("surrogate pair")
        << QString::fromUtf8("GPU \xF0\x9F\x8E\xAE") << 64 << QByteArray("GPU \xF0\x9F\x8E\xAE");
    QTest::newRow("lone surrogate")
        << QString(QChar(0xD800)) + "x" << 64 << QByteArray("\xEF\xBF\xBDx");
}

void TestWindowsGpuReadings::utf16Names()
{
    QFETCH(QString, text);
    QFETCH(int, length);
    QFETCH(QByteArray, utf8);
    std::u16string units(reinterpret_cast<const char16_t *>(text.utf16()),
                         static_cast<size_t>(text.size()));
    units.resize(std::max<size_t>(units.size(), 64), u'\0');
    QCOMPARE(QByteArray::fromStdString(utf8FromUtf16(units.data(), static_cast<size_t>(length))),
             utf8);
}

void TestWindowsGpuReadings::buildsOneSensorPerHardwareAdapter()
{
    thunks.adapters = {integratedIntel(), basicRenderDriver(), discreteCard()};
    {
        const std::vector<Sensor> gpus = buildAdapterSensors(&fakeFunctions, {}, nullptr);
        QCOMPARE(gpus.size(), size_t(2));
        QCOMPARE(QString::fromStdString(gpus[0].name), "GPU [#0]: NVIDIA GeForce RTX 3080");
        QCOMPARE(QString::fromStdString(gpus[1].name), "GPU [#1]: Intel(R) UHD Graphics 770");
        // The software adapter is closed at once, the others stay open for their sensors.
        QCOMPARE(thunks.closed, std::vector<kmt::Handle>{basicRenderDriver().handle});
        // Power there is a share of a limit: never published as watts.
        QVERIFY(gpus[0].readings[Power].empty());
        // The integrated GPU states no temperature, fan or memory clock.
        QVERIFY(gpus[1].readings[Temperature].empty());
        QVERIFY(gpus[1].readings[Fan].empty());
        QVERIFY(!findReading(gpus[1], Clock, "GPU Memory Clock"));
        QVERIFY(findReading(gpus[1], Clock, "GPU Clock")); // idle at 0 Hz, its maximum stated
    }
    QCOMPARE(thunks.closed.size(), size_t(3));
}

void TestWindowsGpuReadings::readingsFollowThePerformanceData()
{
    FakeAdapter card = discreteCard();
    card.caps.maxFanRpm = 0;   // a driver without a fan reading reports FanRPM anyway
    card.perf.temperature = 0; // read at 0 once, yet the driver states a limit
    thunks.adapters = {card, discreteCard()};
    thunks.adapters[1].handle = 0x40000100;
    thunks.adapters[1].luidLow = 0xAAAA;
    std::vector<Sensor> gpus = buildAdapterSensors(&fakeFunctions, {}, nullptr);
    QCOMPARE(gpus.size(), size_t(2));
    QVERIFY(gpus[0].readings[Fan].empty());
    QCOMPARE(gpus[1].readings[Fan].size(), size_t(1));
    QVERIFY(findReading(gpus[0], Temperature, "GPU Temperature"));

    Sensor &gpu = gpus[1];
    const int queriesBefore = thunks.perfQueries;
    gpu.prepare();
    QCOMPARE(thunks.perfQueries, queriesBefore + 1); // one query serves every reading
    QCOMPARE(valueOf(gpu, Temperature, "GPU Temperature"), 65.3);
    QCOMPARE(valueOf(gpu, Fan, "GPU Fan1"), 1200.0);
    QCOMPARE(valueOf(gpu, Clock, "GPU Clock"), 1905.0);
    QCOMPARE(valueOf(gpu, Clock, "GPU Memory Clock"), 9501.0);

    thunks.adapters[1].perf.temperature = 711;
    thunks.adapters[1].node.frequency = 300'000'000ull;
    gpu.prepare();
    QCOMPARE(valueOf(gpu, Temperature, "GPU Temperature"), 71.1);
    QCOMPARE(valueOf(gpu, Clock, "GPU Clock"), 300.0);

    // A query failing later reads as no value rather than the previous one.
    thunks.adapters[1].hasPerf = false;
    gpu.prepare();
    QCOMPARE(valueOf(gpu, Temperature, "GPU Temperature"), 0.0);
    QCOMPARE(valueOf(gpu, Clock, "GPU Memory Clock"), 0.0);
    QCOMPARE(valueOf(gpu, Clock, "GPU Clock"), 300.0);
}

void TestWindowsGpuReadings::loadIsEmptyUntilASampleHasValues()
{
    FakeAdapter second = discreteCard();
    second.handle = 0x40000100;
    second.luidLow = 0xAAAA;
    thunks.adapters = {discreteCard(), second};
    ScriptedSampler script;
    script.samples = {{},
                      {{engine(0xD1F2, 0, 0, 10), 30},
                       {engine(0xD1F2, 0, 0, 11), 21},
                       {engine(0xAAAA, 0, 4, 10), 64}},
                      {{engine(0xD1F2, 0, 0, 10), 5}}};
    std::vector<Sensor> gpus = buildAdapterSensors(&fakeFunctions, script.sampler(), nullptr);
    QCOMPARE(gpus.size(), size_t(2));
    QCOMPARE(script.calls, 0);

    // First pass: no values yet, and the reading says so rather than reading 0.
    const Reading *load = findReading(gpus[0], Usage, "GPU Core Load");
    QVERIFY(load);
    double value = -1;
    QVERIFY(!load->sample(value));
    gpus[1].prepare();
    QCOMPARE(script.calls, 1);

    // Second pass: one sample serves both adapters, each with its busiest engine.
    gpus[0].prepare();
    gpus[1].prepare();
    QCOMPARE(script.calls, 2);
    QCOMPARE(valueOf(gpus[0], Usage, "GPU Core Load"), 51.0);
    QCOMPARE(valueOf(gpus[1], Usage, "GPU Core Load"), 64.0);

    // Third pass: the second adapter is missing from the sample.
    gpus[0].prepare();
    gpus[1].prepare();
    QCOMPARE(script.calls, 3);
    QCOMPARE(valueOf(gpus[0], Usage, "GPU Core Load"), 5.0);
    QCOMPARE(valueOf(gpus[1], Usage, "GPU Core Load"), 0.0);
}

void TestWindowsGpuReadings::namesFallBack()
{
    FakeAdapter registryOnly = discreteCard();
    registryOnly.description.clear();
    registryOnly.registryName = u"AMD Radeon RX 6600 ";
    FakeAdapter nameless = discreteCard();
    nameless.handle = 0x40000100;
    nameless.description.clear();
    nameless.vendorId = 0x1002;
    nameless.deviceId = 0x73ff;
    thunks.adapters = {registryOnly, nameless};
    const std::vector<Sensor> gpus = buildAdapterSensors(&fakeFunctions, {}, nullptr);
    QCOMPARE(gpus.size(), size_t(2));
    QCOMPARE(QString::fromStdString(gpus[0].name), "GPU [#0]: AMD Radeon RX 6600");
    QCOMPARE(QString::fromStdString(gpus[1].name), "GPU [#1]: AMD Radeon Graphics [1002:73FF]");
    QCOMPARE(QString::fromStdString(fallbackAdapterName(0, 0)), "Graphics");
}

void TestWindowsGpuReadings::noAdaptersNoSensors()
{
    FakeAdapter silent = discreteCard();
    silent.hasPerf = silent.hasCaps = silent.hasNode = false;
    thunks.adapters = {silent};
    QVERIFY(buildAdapterSensors(&fakeFunctions, {}, nullptr).empty());
    QCOMPARE(thunks.closed.size(), size_t(1)); // nothing to read: closed again

    thunks.adapters = {discreteCard()};
    thunks.listTooSmall = 1; // an adapter arriving between the count and the list
    QCOMPARE(buildAdapterSensors(&fakeFunctions, {}, nullptr).size(), size_t(1));
    thunks.listTooSmall = 5;
    QVERIFY(buildAdapterSensors(&fakeFunctions, {}, nullptr).empty());

    thunks.enumFails = true;
    ScriptedSampler script;
    QVERIFY(buildAdapterSensors(&fakeFunctions, script.sampler(), nullptr).empty());
    QVERIFY(buildAdapterSensors(nullptr, script.sampler(), nullptr).empty());
}

void TestWindowsGpuReadings::nvmlFillsTheGaps_data()
{
    QTest::addColumn<bool>("nvidiaAdapter");
    QTest::addColumn<bool>("perfData");
    QTest::addColumn<QStringList>("expected"); // sensor names, then "kind name value" lines

    QTest::newRow("thunk values first, NVML for power and the gated fan")
        << true << true
        << QStringList{"GPU [#0]: NVIDIA GeForce RTX 3080",
                       "0 GPU Temperature 65.3",
                       "1 GPU Fan1 1500",
                       "2 GPU Power (Total) 123.456",
                       "3 GPU Clock 1905",
                       "3 GPU Memory Clock 9501",
                       "4 GPU Cooler Duty 40",
                       "4 GPU Core Load 33"};
    QTest::newRow("NVML where the thunks give nothing")
        << true << false
        << QStringList{"GPU [#0]: NVIDIA GeForce RTX 3080",
                       "0 GPU Temperature 51",
                       "1 GPU Fan1 1500",
                       "2 GPU Power (Total) 123.456",
                       "3 GPU Clock 1905",
                       "3 GPU Memory Clock 10501",
                       "4 GPU Cooler Duty 40",
                       "4 GPU Core Load 33"};
    QTest::newRow("NVML GPU without an adapter listed before the integrated one")
        << false << true
        << QStringList{"GPU [#0]: NVIDIA GeForce RTX 4070",
                       "GPU [#1]: Intel(R) UHD Graphics 770",
                       "0 GPU Temperature 51",
                       "1 GPU Fan1 1500",
                       "2 GPU Power (Total) 123.456",
                       "3 GPU Clock 2505",
                       "3 GPU Memory Clock 10501",
                       "4 GPU Cooler Duty 40",
                       "4 GPU Core Load 33"};
}

void TestWindowsGpuReadings::nvmlFillsTheGaps()
{
    QFETCH(bool, nvidiaAdapter);
    QFETCH(bool, perfData);
    QFETCH(QStringList, expected);
    // Loaded under the name NVML is opened by, so Nvml::open() finds this stand-in.
    QVERIFY(dlopen(TARNIX_BINARY_DIR "/tests/fake-nvml/libnvidia-ml.so.1", RTLD_NOW));
    FakeAdapter card = discreteCard(); // on bus 1, as the NVML GPU
    card.caps.maxFanRpm = 0;
    card.hasPerf = perfData;
    thunks.adapters = {nvidiaAdapter ? card : integratedIntel()};
    std::vector<Sensor> gpus = buildAdapterSensors(&fakeFunctions, {}, [] { return Nvml::open(); });
    QStringList names;
    for (const Sensor &gpu : gpus)
        names << QString::fromStdString(gpu.name);
    QStringList lines;
    gpus[0].prepare();
    for (int kind = 0; kind < KindCount; ++kind)
        for (const Reading &reading : gpus[0].readings[kind])
            lines << QString("%1 %2 %3")
                         .arg(kind)
                         .arg(QString::fromStdString(reading.name))
                         .arg(reading.value);
    lines.sort();
    QCOMPARE(names + lines, expected);
}

QTEST_APPLESS_MAIN(TestWindowsGpuReadings)
#include "tst_windowsGpuReadings.moc"
