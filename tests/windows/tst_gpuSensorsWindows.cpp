// The Windows library's GPU sensors as the cross-compiled build runs them. Wine's gdi32 lacks
// the kernel thunks and wine knows no GPU engine counters, so the real entry point must find
// no GPU without failing; a fake thunk table then stands in for a driver.
#include "GpuAdapters.h"
#include "GpuSensorsWindows.h"
#include "winTestMain.h"

#include <cstring>
#include <memory>
#include <windows.h>

using namespace hwsensors;

namespace {

constexpr kmt::NtStatus kNotSupported = static_cast<kmt::NtStatus>(0xC00000BBu);
constexpr kmt::Handle kCard = 0x40000000;
constexpr kmt::Handle kSoftware = 0x40000040;
int closedCount = 0;
uint32_t temperatureTenths = 584;

kmt::NtStatus HWSENSORS_KMT_CALL fakeEnum(kmt::EnumAdapters2 *request)
{
    if (!request->adapters) {
        request->numAdapters = 4;
        return 0;
    }
    request->adapters[0] = {};
    request->adapters[0].adapter = kCard;
    request->adapters[0].adapterLuid.lowPart = 0xC0DE;
    request->adapters[1] = {};
    request->adapters[1].adapter = kSoftware;
    request->numAdapters = 2;
    return 0;
}

template <typename Data> kmt::NtStatus give(const kmt::QueryAdapterInfo *request, const Data &data)
{
    if (request->privateDriverDataSize != sizeof(Data))
        return kNotSupported;
    std::memcpy(request->privateDriverData, &data, sizeof(Data));
    return 0;
}

kmt::NtStatus HWSENSORS_KMT_CALL fakeQuery(const kmt::QueryAdapterInfo *request)
{
    using namespace kmt::adapterType;
    const bool card = request->adapter == kCard;
    switch (request->type) {
    case kmt::QueryType::AdapterType:
        return give(request, card ? renderSupported : renderSupported | softwareDevice);
    case kmt::QueryType::DriverDescription: {
        kmt::DriverDescriptionInfo description{};
        std::memcpy(description.driverDescription, u"Radeon RX 7600", 15 * sizeof(char16_t));
        return give(request, description);
    }
    case kmt::QueryType::AdapterPerfData: {
        kmt::AdapterPerfDataInfo perf{};
        perf.temperature = temperatureTenths;
        perf.fanRpm = 850;
        perf.memoryFrequency = 2'250'000'000ull;
        return give(request, perf);
    }
    case kmt::QueryType::AdapterPerfDataCaps: {
        kmt::AdapterPerfDataCapsInfo caps{};
        caps.maxFanRpm = 3300;
        return give(request, caps);
    }
    case kmt::QueryType::NodePerfData: {
        kmt::NodePerfDataInfo node{};
        node.frequency = 2'655'000'000ull;
        return give(request, node);
    }
    default:
        return kNotSupported;
    }
}

kmt::NtStatus HWSENSORS_KMT_CALL fakeClose(const kmt::CloseAdapter *)
{
    ++closedCount;
    return 0;
}

double valueOf(const Sensor &sensor, Kind kind, const char *name)
{
    for (const Reading &reading : sensor.readings[kind])
        if (reading.name == name)
            return reading.value;
    return -1;
}

void realThunksUnderWine()
{
    const HMODULE gdi32 = LoadLibraryW(L"gdi32.dll");
    WCHECK(gdi32 != nullptr);
    const bool hasThunks = GetProcAddress(gdi32, "D3DKMTEnumAdapters2") != nullptr;
    const std::unique_ptr<Pdh> pdh = Pdh::load();
    std::vector<Sensor> gpus = buildGpuSensors(nullptr, pdh.get());
    if (!hasThunks)
        WCHECK(gpus.empty());
    for (Sensor &gpu : gpus)
        gpu.prepare(); // whatever wine offers, reading it must not fail
    // Without pdh.dll too.
    gpus = buildGpuSensors(nullptr, nullptr);
    if (!hasThunks)
        WCHECK(gpus.empty());
}

void fakeThunks()
{
    const kmt::Functions functions{fakeEnum, fakeQuery, fakeClose};
    {
        std::vector<Sensor> gpus = buildAdapterSensors(&functions, {}, nullptr);
        WCHECK(closedCount == 1); // the software adapter
        WCHECK(gpus.size() == 1);
        if (gpus.size() != 1)
            return;
        Sensor &gpu = gpus[0];
        WCHECK(gpu.name == "GPU [#0]: Radeon RX 7600");
        temperatureTenths = 612;
        gpu.prepare();
        WCHECK(valueOf(gpu, Temperature, "GPU Temperature") == 61.2);
        WCHECK(valueOf(gpu, Fan, "GPU Fan1") == 850);
        WCHECK(valueOf(gpu, Clock, "GPU Clock") == 2655);
        WCHECK(valueOf(gpu, Clock, "GPU Memory Clock") == 2250);
        WCHECK(gpu.readings[Power].empty());
        WCHECK(gpu.readings[Usage].empty()); // no engine counters
    }
    WCHECK(closedCount == 2);
}

} // namespace

int main()
{
    realThunksUnderWine();
    fakeThunks();
    return wintestSummary("tst_gpuSensorsWindows");
}
