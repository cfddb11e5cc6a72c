#pragma once
// A fake of the kernel thunks for the GPU sensor tests, on Linux and under wine: scripted
// adapters behind the three entry points, with the calls they received.
#include "D3dkmt.h"
#include "SensorModel.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace fakethunks {

using namespace hwsensors;

// A scripted set of adapters behind the three thunks.
struct FakeAdapter
{
    kmt::Handle handle = 0;
    uint32_t luidLow = 0;
    uint32_t typeFlags = kmt::adapterType::renderSupported;
    uint32_t vendorId = 0;
    uint32_t deviceId = 0;
    std::u16string description;
    std::u16string registryName;
    bool hasAddress = true;
    uint32_t bus = 0;
    bool hasPerf = true;
    kmt::AdapterPerfDataInfo perf{};
    bool hasCaps = true;
    kmt::AdapterPerfDataCapsInfo caps{};
    bool hasNode = true;
    kmt::NodePerfDataInfo node{};
};

struct FakeThunks
{
    std::vector<FakeAdapter> adapters;
    bool enumFails = false;
    int listTooSmall = 0; // times the list call fails as if an adapter had just arrived
    std::vector<kmt::Handle> closed;
    int perfQueries = 0; // adapter performance data
    int nodeQueries = 0; // node performance data
};

// The sizes d3dkmthk.h gives these records; the kernel refuses a request of any other size.
inline constexpr uint32_t kNodePerfDataBytes = 56;
inline constexpr uint32_t kAdapterPerfDataBytes = 64;
inline constexpr uint32_t kAdapterPerfDataCapsBytes = 40;

inline FakeThunks *fake = nullptr;
inline constexpr kmt::NtStatus kNotSupported = static_cast<kmt::NtStatus>(0xC00000BBu);

inline kmt::NtStatus HWSENSORS_KMT_CALL fakeEnum(kmt::EnumAdapters2 *request)
{
    if (fake->enumFails)
        return kNotSupported;
    if (!request->adapters) {
        request->numAdapters = 16;
        return 0;
    }
    if (fake->listTooSmall > 0) {
        --fake->listTooSmall;
        return static_cast<kmt::NtStatus>(0xC0000023u);
    }
    uint32_t n = 0;
    for (const FakeAdapter &adapter : fake->adapters) {
        kmt::AdapterInfo &info = request->adapters[n++];
        info = {};
        info.adapter = adapter.handle;
        info.adapterLuid.lowPart = adapter.luidLow;
    }
    request->numAdapters = n;
    return 0;
}

template <typename Data>
inline kmt::NtStatus give(const kmt::QueryAdapterInfo *request, const Data &data)
{
    if (request->privateDriverDataSize != sizeof(Data))
        return kNotSupported;
    std::memcpy(request->privateDriverData, &data, sizeof(Data));
    return 0;
}

// Answers only a request of the documented size, whatever the caller's record looks like.
template <typename Data>
inline kmt::NtStatus giveDocumented(const kmt::QueryAdapterInfo *request, const Data &data,
                                    uint32_t documentedBytes)
{
    if (request->privateDriverDataSize != documentedBytes)
        return kNotSupported;
    std::memcpy(request->privateDriverData, &data, std::min<size_t>(sizeof(Data), documentedBytes));
    return 0;
}

inline kmt::NtStatus giveName(const kmt::QueryAdapterInfo *request, const std::u16string &name)
{
    if (name.empty() || (name.size() + 1) * sizeof(char16_t) > request->privateDriverDataSize)
        return kNotSupported;
    auto *text = static_cast<char16_t *>(request->privateDriverData);
    std::memcpy(text, name.data(), name.size() * sizeof(char16_t));
    text[name.size()] = u'\0';
    return 0;
}

inline kmt::NtStatus HWSENSORS_KMT_CALL fakeQuery(const kmt::QueryAdapterInfo *request)
{
    const FakeAdapter *found = nullptr;
    for (const FakeAdapter &adapter : fake->adapters)
        if (adapter.handle == request->adapter)
            found = &adapter;
    if (!found)
        return kNotSupported;
    const FakeAdapter &a = *found;
    switch (request->type) {
    case kmt::QueryType::AdapterType:
        return give(request, a.typeFlags);
    case kmt::QueryType::PhysicalAdapterDeviceIds: {
        kmt::QueryDeviceIds ids{};
        ids.vendorId = a.vendorId;
        ids.deviceId = a.deviceId;
        return give(request, ids);
    }
    case kmt::QueryType::AdapterAddress:
        return a.hasAddress ? give(request, kmt::AdapterAddressInfo{a.bus, 0, 0}) : kNotSupported;
    case kmt::QueryType::DriverDescription:
        return giveName(request, a.description);
    case kmt::QueryType::AdapterRegistryInfo:
        return giveName(request, a.registryName);
    case kmt::QueryType::AdapterPerfData:
        ++fake->perfQueries;
        return a.hasPerf ? giveDocumented(request, a.perf, kAdapterPerfDataBytes) : kNotSupported;
    case kmt::QueryType::AdapterPerfDataCaps:
        return a.hasCaps ? giveDocumented(request, a.caps, kAdapterPerfDataCapsBytes)
                         : kNotSupported;
    case kmt::QueryType::NodePerfData:
        ++fake->nodeQueries;
        return a.hasNode ? giveDocumented(request, a.node, kNodePerfDataBytes) : kNotSupported;
    }
    return kNotSupported;
}

inline kmt::NtStatus HWSENSORS_KMT_CALL fakeClose(const kmt::CloseAdapter *request)
{
    fake->closed.push_back(request->adapter);
    return 0;
}

inline const kmt::Functions fakeFunctions{fakeEnum, fakeQuery, fakeClose};

inline FakeAdapter discreteCard()
{
    FakeAdapter a;
    a.handle = 0x40000000;
    a.luidLow = 0xD1F2;
    a.vendorId = 0x10DE;
    a.deviceId = 0x2206;
    a.description = u"NVIDIA GeForce RTX 3080";
    a.bus = 1;
    a.perf.temperature = 653;
    a.perf.fanRpm = 1200;
    a.perf.memoryFrequency = 9'501'000'000ull;
    a.perf.maxMemoryFrequency = 9'501'000'000ull;
    a.perf.power = 455; // 45.5 % of the limit, not watts
    a.caps.maxFanRpm = 3000;
    a.caps.temperatureMax = 930;
    a.node.frequency = 1'905'000'000ull;
    a.node.maxFrequency = 2'100'000'000ull;
    return a;
}

inline FakeAdapter integratedIntel()
{
    FakeAdapter a;
    a.handle = 0x40000040;
    a.luidLow = 0xE0A1;
    a.vendorId = 0x8086;
    a.deviceId = 0x4680;
    a.description = u"Intel(R) UHD Graphics 770";
    a.bus = 0;
    a.perf = {}; // no temperature, fan or memory clock of its own
    a.caps = {};
    a.node.frequency = 0; // idle
    a.node.maxFrequency = 1'450'000'000ull;
    return a;
}

inline FakeAdapter basicRenderDriver()
{
    FakeAdapter a;
    a.handle = 0x40000080;
    a.luidLow = 0xF00D;
    a.typeFlags = kmt::adapterType::renderSupported | kmt::adapterType::softwareDevice;
    a.vendorId = 0x1414;
    a.description = u"Microsoft Basic Render Driver";
    return a;
}

inline const Reading *findReading(const Sensor &sensor, Kind kind, const std::string &name)
{
    for (const Reading &reading : sensor.readings[kind])
        if (reading.name == name)
            return &reading;
    return nullptr;
}

inline double valueOf(const Sensor &sensor, Kind kind, const std::string &name)
{
    const Reading *reading = findReading(sensor, kind, name);
    return reading ? reading->value : -1;
}

} // namespace fakethunks
