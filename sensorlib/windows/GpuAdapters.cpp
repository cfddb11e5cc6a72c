#include "GpuAdapters.h"
#include "NvmlSessionWindows.h"

#include <algorithm>
#include <iterator>
#include <memory>

namespace hwsensors {

namespace {

// Far above any machine; guards against a count that is garbage.
constexpr uint32_t kMaxAdapters = 256;

// An open adapter and its latest performance data; closed with the last sensor reading it.
class OpenAdapter
{
public:
    OpenAdapter(const kmt::Functions &functions, kmt::Handle handle)
        : kmt(functions), handle(handle)
    {
    }
    ~OpenAdapter()
    {
        const kmt::CloseAdapter request{handle};
        kmt.closeAdapter(&request);
    }
    OpenAdapter(const OpenAdapter &) = delete;
    OpenAdapter &operator=(const OpenAdapter &) = delete;

    template <typename Data> bool query(kmt::QueryType type, Data &data) const
    {
        kmt::QueryAdapterInfo request{};
        request.adapter = handle;
        request.type = type;
        request.privateDriverData = &data;
        request.privateDriverDataSize = static_cast<uint32_t>(sizeof(Data));
        return kmt::succeeded(kmt.queryAdapterInfo(&request));
    }

    // One query of each kind per pass, shared by the readings.
    void refresh(bool adapterData, bool nodeData)
    {
        if (adapterData) {
            perf = {};
            perfValid = query(kmt::QueryType::AdapterPerfData, perf);
        }
        if (nodeData) {
            node = {}; // node 0: the 3D engine
            nodeValid = query(kmt::QueryType::NodePerfData, node);
        }
    }

    kmt::AdapterPerfDataInfo perf{};
    bool perfValid = false;
    kmt::NodePerfDataInfo node{};
    bool nodeValid = false;

private:
    kmt::Functions kmt;
    kmt::Handle handle;
};

// One engine sample serves every adapter in a pass: an adapter asking a second time starts
// the next pass with a new sample.
class SharedEngineLoads
{
public:
    explicit SharedEngineLoads(EngineSampler sampler) : sampler(std::move(sampler)) {}

    size_t addReader()
    {
        lastRead.push_back(0);
        return lastRead.size() - 1;
    }

    bool busiest(size_t reader, const AdapterLuid &luid, double &percent)
    {
        if (lastRead[reader] == generation) {
            loads.clear();
            valid = sampler(loads);
            ++generation;
        }
        lastRead[reader] = generation;
        return valid && loads.busiest(luid, percent);
    }

private:
    EngineSampler sampler;
    EngineLoads loads;
    bool valid = false;
    uint64_t generation = 0;
    std::vector<uint64_t> lastRead;
};

struct Adapter
{
    std::shared_ptr<OpenAdapter> open;
    AdapterLuid luid;
    uint32_t typeFlags = 0;
    AdapterIdentity identity;
    uint32_t deviceId = 0;
};

std::vector<kmt::AdapterInfo> enumerate(const kmt::Functions &kmt)
{
    constexpr kmt::NtStatus bufferTooSmall = static_cast<kmt::NtStatus>(0xC0000023u);
    // An adapter can arrive between the count and the list: count again then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        kmt::EnumAdapters2 request{};
        if (!kmt::succeeded(kmt.enumAdapters2(&request)) || request.numAdapters == 0)
            return {};
        std::vector<kmt::AdapterInfo> list(std::min(request.numAdapters, kMaxAdapters));
        request.numAdapters = static_cast<uint32_t>(list.size());
        request.adapters = list.data();
        const kmt::NtStatus status = kmt.enumAdapters2(&request);
        if (status == bufferTooSmall)
            continue;
        if (!kmt::succeeded(status))
            return {};
        list.resize(std::min<size_t>(request.numAdapters, list.size()));
        return list;
    }
    return {};
}

std::string adapterName(const Adapter &adapter)
{
    // The description needs Windows 10 1903; the registry string is older.
    auto description = std::make_unique<kmt::DriverDescriptionInfo>();
    if (adapter.open->query(kmt::QueryType::DriverDescription, *description)) {
        std::string name = utf8FromUtf16(description->driverDescription,
                                         std::size(description->driverDescription));
        if (!name.empty())
            return name;
    }
    auto registry = std::make_unique<kmt::AdapterRegistryInfo>();
    if (adapter.open->query(kmt::QueryType::AdapterRegistryInfo, *registry)) {
        std::string name =
            utf8FromUtf16(registry->adapterString, std::size(registry->adapterString));
        if (!name.empty())
            return name;
    }
    return fallbackAdapterName(adapter.identity.vendorId, adapter.deviceId);
}

// Adapters that are real GPUs, with what identifies them; the others are closed again.
std::vector<Adapter> hardwareAdapters(const kmt::Functions &kmt)
{
    std::vector<Adapter> adapters;
    for (const kmt::AdapterInfo &info : enumerate(kmt)) {
        Adapter adapter;
        adapter.open = std::make_shared<OpenAdapter>(kmt, info.adapter);
        adapter.luid.high = static_cast<uint32_t>(info.adapterLuid.highPart);
        adapter.luid.low = info.adapterLuid.lowPart;
        if (!adapter.open->query(kmt::QueryType::AdapterType, adapter.typeFlags) ||
            !isGpuAdapter(adapter.typeFlags))
            continue;
        kmt::QueryDeviceIds ids{};
        if (adapter.open->query(kmt::QueryType::PhysicalAdapterDeviceIds, ids)) {
            adapter.identity.vendorId = ids.vendorId;
            adapter.deviceId = ids.deviceId;
        }
        kmt::AdapterAddressInfo address{};
        if (adapter.open->query(kmt::QueryType::AdapterAddress, address)) {
            adapter.identity.hasLocation = true;
            adapter.identity.location.bus = address.busNumber;
            adapter.identity.location.device = address.deviceNumber;
            adapter.identity.location.function = address.functionNumber;
        }
        adapters.push_back(std::move(adapter));
    }
    return adapters;
}

using NvmlQuery = bool (Nvml::*)(const Nvml::Gpu &, double &) const;

// One GPU of the NVML session; its samples have no value while NVML is shut.
struct NvmlSource
{
    std::shared_ptr<NvmlSession> session;
    size_t index = 0;
    explicit operator bool() const { return session != nullptr; }
    std::function<bool(double &)> sample(NvmlQuery query) const
    {
        return [session = session, index = index, query](double &value) {
            return session->query(index, query, value);
        };
    }
    // Each pass asks the session first, so NVML opens and shuts as the GPUs wake and sleep.
    PowerCheck awake() const
    {
        return [session = session, index = index] {
            session->awake(index);
            return session->gpuAwake(index);
        };
    }
};

// Which readings the thunks gave, so NVML only fills the gaps.
struct ThunkReadings
{
    bool temperature = false;
    bool fan = false;
    bool clock = false;
    bool memoryClock = false;
};

// A reading of the adapter's latest performance data; no value once a query fails.
template <typename Value>
std::function<bool(double &)> thunkSample(const std::shared_ptr<OpenAdapter> &open, bool node,
                                          Value value)
{
    return [open, node, value](double &out) {
        out = value(*open);
        return node ? open->nodeValid : open->perfValid;
    };
}

// What the driver offers, asked once at the start of an awake adapter.
ThunkReadings probeThunks(OpenAdapter &open)
{
    kmt::AdapterPerfDataCapsInfo caps{};
    const bool hasCaps = open.query(kmt::QueryType::AdapterPerfDataCaps, caps);
    open.refresh(true, true);
    const kmt::AdapterPerfDataInfo &perf = open.perf;
    ThunkReadings found;
    found.temperature = open.perfValid &&
                        hasTemperatureReading(hasCaps ? caps.temperatureMax : 0, perf.temperature);
    found.fan = open.perfValid && hasCaps && hasFanReading(caps.maxFanRpm);
    found.clock = open.nodeValid && hasClockReading(open.node.maxFrequency, open.node.frequency);
    found.memoryClock =
        open.perfValid && hasClockReading(perf.maxMemoryFrequency, perf.memoryFrequency);
    return found;
}

// An adapter asleep at the start is not asked what it offers: every reading is listed, and
// one the driver lacks reads as no value once it wakes.
ThunkReadings addThunkReadings(Sensor &sensor, const std::shared_ptr<OpenAdapter> &open, bool awake)
{
    const ThunkReadings found = awake ? probeThunks(*open) : ThunkReadings{true, true, true, true};
    if (found.temperature)
        sensor.add(Temperature, "GPU Temperature",
                   thunkSample(open, false, [](const OpenAdapter &a) {
                       return celsiusFromTenths(a.perf.temperature);
                   }));
    if (found.fan)
        sensor.add(Fan, "GPU Fan1", thunkSample(open, false, [](const OpenAdapter &a) {
                       return static_cast<double>(a.perf.fanRpm);
                   }));
    if (found.clock)
        sensor.add(Clock, "GPU Clock", thunkSample(open, true, [](const OpenAdapter &a) {
                       return megahertzFromHertz(a.node.frequency);
                   }));
    if (found.memoryClock)
        sensor.add(Clock, "GPU Memory Clock", thunkSample(open, false, [](const OpenAdapter &a) {
                       return megahertzFromHertz(a.perf.memoryFrequency);
                   }));
    const bool adapterData = found.temperature || found.fan || found.memoryClock;
    const bool nodeData = found.clock;
    if (adapterData || nodeData)
        sensor.refresh = [open, adapterData, nodeData] { open->refresh(adapterData, nodeData); };
    return found;
}

// NVML fills what the thunks lack and adds the power in watts and the fan's duty cycle.
void addNvmlReadings(Sensor &sensor, const NvmlSource &nvml, const ThunkReadings &thunks)
{
    if (!thunks.temperature)
        sensor.add(Temperature, "GPU Temperature", nvml.sample(&Nvml::temperature));
    if (!thunks.clock)
        sensor.add(Clock, "GPU Clock", nvml.sample(&Nvml::graphicsClock));
    if (!thunks.memoryClock)
        sensor.add(Clock, "GPU Memory Clock", nvml.sample(&Nvml::memoryClock));
    sensor.add(Power, "GPU Power (Total)", nvml.sample(&Nvml::power));
    // The duty cycle is a percentage: a name with "GPU Fan" in it would be read as RPM.
    sensor.add(Usage, "GPU Cooler Duty", nvml.sample(&Nvml::fanPercent));
    // Probed by the session while awake at the start; listed unprobed while asleep.
    if (!thunks.fan && nvml.session->gpus()[nvml.index].fanRpm)
        sensor.add(Fan, "GPU Fan1", nvml.sample(&Nvml::fanRpm));
}

PowerCheck powerCheck(const PowerLookup &power, const AdapterIdentity &identity)
{
    return power && identity.hasLocation ? power(identity.location) : PowerCheck();
}

Sensor adapterSensor(const Adapter &adapter, const std::shared_ptr<SharedEngineLoads> &loads,
                     const NvmlSource &nvml, const PowerLookup &power)
{
    Sensor sensor;
    sensor.awake = nvml ? nvml.awake() : powerCheck(power, adapter.identity);
    const bool awake = !sensor.awake || sensor.awake();
    const ThunkReadings thunks = addThunkReadings(sensor, adapter.open, awake);
    if (loads) {
        const size_t reader = loads->addReader();
        const AdapterLuid luid = adapter.luid;
        sensor.add(Usage, "GPU Core Load", [loads, reader, luid](double &value) {
            return loads->busiest(reader, luid, value);
        });
    } else if (nvml) {
        sensor.add(Usage, "GPU Core Load", nvml.sample(&Nvml::utilization));
    }
    if (nvml)
        addNvmlReadings(sensor, nvml, thunks);
    return sensor;
}

// An NVIDIA GPU that is no display adapter (a compute card in TCC mode): NVML only.
Sensor nvmlOnlySensor(const NvmlSource &nvml)
{
    Sensor sensor;
    sensor.name = nvml.session->gpus()[nvml.index].name;
    sensor.awake = nvml.awake();
    sensor.add(Usage, "GPU Core Load", nvml.sample(&Nvml::utilization));
    addNvmlReadings(sensor, nvml, ThunkReadings());
    return sensor;
}

} // namespace

std::vector<Sensor> buildAdapterSensors(const kmt::Functions *kmt, EngineSampler sampler,
                                        NvmlSession::Opener nvml, PowerLookup power)
{
    const std::vector<Adapter> adapters = kmt ? hardwareAdapters(*kmt) : std::vector<Adapter>();
    std::vector<AdapterIdentity> identities;
    for (const Adapter &adapter : adapters)
        identities.push_back(adapter.identity);
    // The NVIDIA adapters come first in the session's list, in adapter order. Without any in
    // view NVML is opened at the start and lists its GPUs itself, as on Linux: a compute card
    // beside an NVIDIA display adapter is then not published, but the sensor list never
    // depends on whether a GPU happened to sleep at the start.
    std::shared_ptr<NvmlSession> session;
    if (nvml)
        session = NvmlSession::start(nvidiaView(identities, power), std::move(nvml));
    const size_t served = session ? session->gpus().size() : 0;
    std::shared_ptr<SharedEngineLoads> loads;
    if (sampler)
        loads = std::make_shared<SharedEngineLoads>(std::move(sampler));

    std::vector<Sensor> discrete;
    std::vector<Sensor> integrated;
    size_t nvidia = 0;
    for (size_t i = 0; i < adapters.size(); ++i) {
        NvmlSource source;
        if (adapters[i].identity.vendorId == kNvidiaVendorId && nvidia++ < served)
            source = NvmlSource{session, nvidia - 1};
        Sensor sensor = adapterSensor(adapters[i], loads, source, power);
        if (sensor.empty())
            continue;
        sensor.name = adapterName(adapters[i]);
        const bool last = isIntegratedAdapter(adapters[i].typeFlags, adapters[i].identity.vendorId);
        (last ? integrated : discrete).push_back(std::move(sensor));
    }
    for (size_t g = nvidia; g < served; ++g)
        discrete.push_back(nvmlOnlySensor(NvmlSource{session, g}));
    std::vector<Sensor> gpus = std::move(discrete);
    for (Sensor &gpu : integrated)
        gpus.push_back(std::move(gpu));
    for (size_t i = 0; i < gpus.size(); ++i)
        gpus[i].name = gpuSensorName(i, gpus[i].name);
    return gpus;
}

} // namespace hwsensors
