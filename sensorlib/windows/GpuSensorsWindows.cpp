#include "GpuSensorsWindows.h"
#include "DevicePower.h"
#include "GpuAdapters.h"
#include "SystemLibrary.h"

#include <memory>

namespace hwsensors {

namespace {

template <typename Function> bool resolve(HMODULE library, const char *name, Function &out)
{
    out = reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(library, name)));
    return out != nullptr;
}

// Looked up at run time: wine's gdi32 has none of them, and a static import of a missing
// entry point would stop the whole library from loading.
bool loadKernelThunks(kmt::Functions &out)
{
    const HMODULE gdi32 = loadSystemLibrary(L"gdi32.dll");
    if (!gdi32)
        return false;
    kmt::Functions functions{};
    if (!resolve(gdi32, "D3DKMTEnumAdapters2", functions.enumAdapters2) ||
        !resolve(gdi32, "D3DKMTQueryAdapterInfo", functions.queryAdapterInfo) ||
        !resolve(gdi32, "D3DKMTCloseAdapter", functions.closeAdapter))
        return false;
    out = functions;
    return true;
}

// Every GPU engine's utilisation. A rate counter has values from its second collection on,
// so the query is collected once now and the first pass already reads a load.
EngineSampler engineSampler(const Pdh *pdh)
{
    if (!pdh)
        return {};
    auto query = std::make_shared<PdhQuery>(*pdh);
    const int counter = query->addCounter(L"\\GPU Engine(*)\\Utilization Percentage");
    if (counter < 0)
        return {};
    query->collect();
    auto instances = std::make_shared<std::vector<PdhInstance>>();
    return [query, counter, instances](EngineLoads &loads) {
        if (!query->collect() || !query->instances(counter, *instances))
            return false;
        for (const PdhInstance &instance : *instances)
            loads.add(instance.name, instance.value);
        return true;
    };
}

} // namespace

std::vector<Sensor> buildGpuSensors(NvmlSession::Opener nvml, const Pdh *pdh)
{
    kmt::Functions thunks{};
    const bool hasThunks = loadKernelThunks(thunks);
    return buildAdapterSensors(hasThunks ? &thunks : nullptr, engineSampler(pdh), std::move(nvml),
                               displayPowerLookup(CfgMgrFunctions::load()));
}

} // namespace hwsensors
