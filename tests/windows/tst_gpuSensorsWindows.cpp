// The Windows library's GPU sensors as the cross-compiled build runs them. Wine's gdi32 lacks
// the kernel thunks and wine knows no GPU engine counters, so the real entry point must find
// no GPU without failing; the fake thunk table then stands in for a driver.
#include "../sensors/support/FakeThunks.h"
#include "GpuAdapters.h"
#include "GpuSensorsWindows.h"
#include "winTestMain.h"

#include <memory>
#include <windows.h>

using namespace fakethunks;

namespace {

void realThunksUnderWine()
{
    const HMODULE gdi32 = LoadLibraryW(L"gdi32.dll");
    WCHECK(gdi32 != nullptr);
    const bool hasThunks = GetProcAddress(gdi32, "D3DKMTEnumAdapters2") != nullptr;
    const std::unique_ptr<Pdh> pdh = Pdh::load();
    for (const Pdh *withPdh :
         {static_cast<const Pdh *>(pdh.get()), static_cast<const Pdh *>(nullptr)}) {
        std::vector<Sensor> gpus = buildGpuSensors(nullptr, withPdh);
        if (!hasThunks)
            WCHECK(gpus.empty());
        for (Sensor &gpu : gpus)
            gpu.prepare(); // whatever wine offers, reading it must not fail
    }
}

// The cross-compiled calls through the table, with this target's structure layouts.
void fakeThunks()
{
    FakeThunks thunks;
    fake = &thunks;
    thunks.adapters = {basicRenderDriver(), discreteCard()};
    {
        std::vector<Sensor> gpus = buildAdapterSensors(&fakeFunctions, {}, nullptr);
        WCHECK(thunks.closed.size() == 1); // the software adapter
        WCHECK(gpus.size() == 1);
        if (gpus.size() != 1)
            return;
        Sensor &gpu = gpus[0];
        WCHECK(gpu.name == "GPU [#0]: NVIDIA GeForce RTX 3080");
        thunks.adapters[1].perf.temperature = 612;
        gpu.prepare();
        WCHECK(valueOf(gpu, Temperature, "GPU Temperature") == 61.2);
        WCHECK(valueOf(gpu, Fan, "GPU Fan1") == 1200);
        WCHECK(valueOf(gpu, Clock, "GPU Clock") == 1905);
        WCHECK(valueOf(gpu, Clock, "GPU Memory Clock") == 9501);
        WCHECK(gpu.readings[Power].empty());
        WCHECK(gpu.readings[Usage].empty()); // no engine counters
    }
    WCHECK(thunks.closed.size() == 2);
    fake = nullptr;
}

} // namespace

int main()
{
    realThunksUnderWine();
    fakeThunks();
    return wintestSummary("tst_gpuSensorsWindows");
}
