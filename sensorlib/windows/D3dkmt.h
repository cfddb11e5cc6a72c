#pragma once
// The parts of the kernel-mode thunk interface (gdi32's D3DKMT* entry points) that the GPU
// sensors use. mingw-w64 ships no d3dkmthk.h, so the structures are declared here with the
// layout Windows uses in both 32- and 64-bit processes. Only fixed-width types are used, so the
// adapter reader builds on Linux too and its tests drive it through a fake function table.
#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define HWSENSORS_KMT_CALL __stdcall
#else
#define HWSENSORS_KMT_CALL
#endif

namespace hwsensors {
namespace kmt {

using Handle = uint32_t;  // D3DKMT_HANDLE
using NtStatus = int32_t; // NTSTATUS: negative on failure

inline bool succeeded(NtStatus status)
{
    return status >= 0;
}

// 64-bit members are 8-byte aligned in 32-bit processes too (D3DKMT_ALIGN64).
#define HWSENSORS_KMT_ALIGN64 alignas(8)

struct Luid
{
    uint32_t lowPart;
    int32_t highPart;
};

struct AdapterInfo // D3DKMT_ADAPTERINFO
{
    Handle adapter;
    Luid adapterLuid;
    uint32_t numOfSources;
    int32_t precisePresentRegionsPreferred; // BOOL
};

struct EnumAdapters2 // D3DKMT_ENUMADAPTERS2
{
    uint32_t numAdapters;
    AdapterInfo *adapters;
};

struct CloseAdapter // D3DKMT_CLOSEADAPTER
{
    Handle adapter;
};

enum class QueryType : int32_t // KMTQUERYADAPTERINFOTYPE
{
    AdapterAddress = 6,
    AdapterRegistryInfo = 8,
    AdapterType = 15,
    PhysicalAdapterDeviceIds = 31,
    NodePerfData = 61,
    AdapterPerfData = 62,
    AdapterPerfDataCaps = 63,
    DriverDescription = 65,
};

struct QueryAdapterInfo // D3DKMT_QUERYADAPTERINFO
{
    Handle adapter;
    QueryType type;
    void *privateDriverData;
    uint32_t privateDriverDataSize;
};

/// D3DKMT_ADAPTERTYPE: a bit field in one UINT.
namespace adapterType {
constexpr uint32_t renderSupported = 1u << 0;
constexpr uint32_t softwareDevice = 1u << 2;
constexpr uint32_t hybridDiscrete = 1u << 4;
constexpr uint32_t hybridIntegrated = 1u << 5;
constexpr uint32_t computeOnly = 1u << 11;
} // namespace adapterType

struct AdapterAddressInfo // D3DKMT_ADAPTERADDRESS
{
    uint32_t busNumber;
    uint32_t deviceNumber;
    uint32_t functionNumber;
};

struct AdapterRegistryInfo // D3DKMT_ADAPTERREGISTRYINFO: four WCHAR[MAX_PATH]
{
    char16_t adapterString[260];
    char16_t biosString[260];
    char16_t dacType[260];
    char16_t chipType[260];
};

struct DriverDescriptionInfo // D3DKMT_DRIVER_DESCRIPTION
{
    char16_t driverDescription[4096];
};

struct QueryDeviceIds // D3DKMT_QUERY_DEVICE_IDS with its D3DKMT_DEVICE_IDS
{
    uint32_t physicalAdapterIndex;
    uint32_t vendorId;
    uint32_t deviceId;
    uint32_t subVendorId;
    uint32_t subSystemId;
    uint32_t revisionId;
    uint32_t busType;
};

struct NodePerfDataInfo // D3DKMT_NODE_PERFDATA
{
    uint32_t nodeOrdinal;
    uint32_t physicalAdapterIndex;
    HWSENSORS_KMT_ALIGN64 uint64_t frequency; // Hz
    HWSENSORS_KMT_ALIGN64 uint64_t maxFrequency;
    HWSENSORS_KMT_ALIGN64 uint64_t maxFrequencyOc;
    uint32_t voltage;
    uint32_t voltageMax;
    uint32_t voltageMaxOc;
    // d3dkmthk.h declares this or a `Reserved` of the same size in an #if/#else, never both:
    // the kernel rejects any size but 56.
    HWSENSORS_KMT_ALIGN64 uint64_t maxTransitionLatency;
};

struct AdapterPerfDataInfo // D3DKMT_ADAPTER_PERFDATA
{
    uint32_t physicalAdapterIndex;
    HWSENSORS_KMT_ALIGN64 uint64_t memoryFrequency; // Hz
    HWSENSORS_KMT_ALIGN64 uint64_t maxMemoryFrequency;
    HWSENSORS_KMT_ALIGN64 uint64_t maxMemoryFrequencyOc;
    HWSENSORS_KMT_ALIGN64 uint64_t memoryBandwidth;
    HWSENSORS_KMT_ALIGN64 uint64_t pcieBandwidth;
    uint32_t fanRpm;
    uint32_t power;       // tenths of a percent of the board's limit, not watts
    uint32_t temperature; // tenths of a degree Celsius
    uint8_t powerStateOverride;
};

struct AdapterPerfDataCapsInfo // D3DKMT_ADAPTER_PERFDATACAPS
{
    uint32_t physicalAdapterIndex;
    HWSENSORS_KMT_ALIGN64 uint64_t maxMemoryBandwidth;
    HWSENSORS_KMT_ALIGN64 uint64_t maxPcieBandwidth;
    uint32_t maxFanRpm;
    uint32_t temperatureMax; // tenths of a degree Celsius
    uint32_t temperatureWarning;
};

#undef HWSENSORS_KMT_ALIGN64

// The layouts Windows expects; a wrong one would have the kernel write past a buffer.
constexpr size_t kPointer = sizeof(void *);
static_assert(sizeof(Luid) == 8 && alignof(Luid) == 4, "LUID");
static_assert(sizeof(AdapterInfo) == 20, "D3DKMT_ADAPTERINFO");
static_assert(offsetof(EnumAdapters2, adapters) == kPointer, "D3DKMT_ENUMADAPTERS2");
static_assert(sizeof(EnumAdapters2) == 2 * kPointer, "D3DKMT_ENUMADAPTERS2");
static_assert(sizeof(QueryType) == 4, "KMTQUERYADAPTERINFOTYPE");
static_assert(offsetof(QueryAdapterInfo, privateDriverData) == 8, "D3DKMT_QUERYADAPTERINFO");
static_assert(offsetof(QueryAdapterInfo, privateDriverDataSize) == 8 + kPointer,
              "D3DKMT_QUERYADAPTERINFO");
static_assert(sizeof(QueryAdapterInfo) == (kPointer == 8 ? 24 : 16), "D3DKMT_QUERYADAPTERINFO");
static_assert(sizeof(AdapterAddressInfo) == 12, "D3DKMT_ADAPTERADDRESS");
static_assert(sizeof(AdapterRegistryInfo) == 4 * 260 * 2, "D3DKMT_ADAPTERREGISTRYINFO");
static_assert(sizeof(DriverDescriptionInfo) == 8192, "D3DKMT_DRIVER_DESCRIPTION");
static_assert(sizeof(QueryDeviceIds) == 28, "D3DKMT_QUERY_DEVICE_IDS");
static_assert(offsetof(NodePerfDataInfo, frequency) == 8, "D3DKMT_NODE_PERFDATA");
static_assert(offsetof(NodePerfDataInfo, voltage) == 32, "D3DKMT_NODE_PERFDATA");
static_assert(offsetof(NodePerfDataInfo, maxTransitionLatency) == 48, "D3DKMT_NODE_PERFDATA");
static_assert(sizeof(NodePerfDataInfo) == 56, "D3DKMT_NODE_PERFDATA");
static_assert(offsetof(AdapterPerfDataInfo, memoryFrequency) == 8, "D3DKMT_ADAPTER_PERFDATA");
static_assert(offsetof(AdapterPerfDataInfo, fanRpm) == 48, "D3DKMT_ADAPTER_PERFDATA");
static_assert(offsetof(AdapterPerfDataInfo, temperature) == 56, "D3DKMT_ADAPTER_PERFDATA");
static_assert(offsetof(AdapterPerfDataInfo, powerStateOverride) == 60, "D3DKMT_ADAPTER_PERFDATA");
static_assert(sizeof(AdapterPerfDataInfo) == 64, "D3DKMT_ADAPTER_PERFDATA");
static_assert(offsetof(AdapterPerfDataCapsInfo, maxFanRpm) == 24, "D3DKMT_ADAPTER_PERFDATACAPS");
static_assert(sizeof(AdapterPerfDataCapsInfo) == 40, "D3DKMT_ADAPTER_PERFDATACAPS");

/// The gdi32 entry points, resolved at run time (wine's gdi32 lacks them). Tests hand in
/// fakes; every member must be set.
struct Functions
{
    NtStatus(HWSENSORS_KMT_CALL *enumAdapters2)(EnumAdapters2 *request);
    NtStatus(HWSENSORS_KMT_CALL *queryAdapterInfo)(const QueryAdapterInfo *request);
    NtStatus(HWSENSORS_KMT_CALL *closeAdapter)(const CloseAdapter *request);
};

} // namespace kmt
} // namespace hwsensors
