// The once-a-second GPU load work of the Windows sensor library: every "GPU Engine" counter
// instance parsed and summed per engine, then the busiest engine of each adapter. Run by hand.
#include "GpuReadings.h"

#include <QtTest>

#include <cwchar>
#include <string>
#include <vector>

using namespace hwsensors;

class BenchGpuEngineLoads : public QObject
{
    Q_OBJECT
private slots:
    void sample_data();
    void sample();
};

void BenchGpuEngineLoads::sample_data()
{
    QTest::addColumn<int>("processes");
    // A desktop has a few dozen processes on the GPU; a busy one a few hundred.
    QTest::newRow("40 processes") << 40;
    QTest::newRow("400 processes") << 400;
}

void BenchGpuEngineLoads::sample()
{
    QFETCH(int, processes);
    const uint32_t luids[] = {0xD1F2, 0xE0A1};
    std::vector<std::wstring> names;
    for (int pid = 0; pid < processes; ++pid) {
        for (uint32_t luid : luids) {
            for (int eng = 0; eng < 10; ++eng) {
                wchar_t name[96];
                std::swprintf(name, 96, L"pid_%d_luid_0x00000000_0x%08X_phys_0_eng_%d_engtype_3D",
                              4000 + pid, luid, eng);
                names.emplace_back(name);
            }
        }
    }
    EngineLoads loads;
    double total = 0;
    QBENCHMARK
    {
        loads.clear();
        for (size_t i = 0; i < names.size(); ++i)
            loads.add(names[i], static_cast<double>(i % 7));
        for (uint32_t luid : luids) {
            double percent = 0;
            if (loads.busiest(AdapterLuid{0, luid}, percent))
                total += percent;
        }
    }
    QVERIFY(total > 0);
}

QTEST_APPLESS_MAIN(BenchGpuEngineLoads)
#include "bench_gpuEngineLoads.moc"
