#pragma once
// The rules that turn what Windows reports about graphics adapters into readings: engine
// instance names, the busiest-engine load, which values an adapter really has, unit
// conversions, NVML matching and names. Free of Win32 so the Linux tests call them directly.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hwsensors {

/// An adapter's locally unique id: changes across reboots and driver updates, so it only
/// joins two sources read in the same session.
struct AdapterLuid
{
    uint32_t high = 0;
    uint32_t low = 0;
    bool operator==(const AdapterLuid &other) const
    {
        return high == other.high && low == other.low;
    }
};

/// One engine of one adapter, parsed from a "GPU Engine" counter instance name such as
/// "pid_1234_luid_0x00000000_0x0000D1F2_phys_0_eng_3_engtype_3D".
struct EngineId
{
    AdapterLuid luid;
    uint32_t physical = 0; // linked adapters: the physical GPU within the LUID
    uint32_t engine = 0;
};

/// False for a name without a well-formed "luid_0x…_0x…" and "eng_N" part.
bool parseEngineInstance(std::wstring_view name, EngineId &out);

/// The load of each adapter from one sample of every engine instance: the instances (one per
/// process and engine) are summed per engine, and the busiest engine is the adapter's load.
class EngineLoads
{
public:
    void clear() { engines.clear(); }
    /// Malformed names are ignored.
    void add(std::wstring_view instanceName, double percent);
    /// The busiest engine of \a luid, within 0..100; false when the sample has no engine of it
    /// (a rate counter's first sample, an adapter without engines).
    bool busiest(const AdapterLuid &luid, double &percent) const;

private:
    struct Engine
    {
        EngineId id;
        double sum;
    };
    std::vector<Engine> engines;
};

/// D3DKMT_ADAPTERTYPE flags: a real GPU renders or computes; software adapters such as the
/// Basic Render Driver and display-only adapters are left out.
bool isGpuAdapter(uint32_t typeFlags);

/// Integrated GPUs are listed after the discrete ones, as the Linux library does.
bool isIntegratedAdapter(uint32_t typeFlags, uint32_t vendorId);

/// Tenths of a degree Celsius to degrees.
double celsiusFromTenths(uint32_t tenths);
/// Hertz to megahertz.
double megahertzFromHertz(uint64_t hertz);

/// Drivers without a fan reading report FanRPM 0 all the time: only a driver that states a
/// maximum has one.
bool hasFanReading(uint32_t maxFanRpm);
/// Drivers without a sensor leave the temperature and its limit at 0.
bool hasTemperatureReading(uint32_t temperatureMaxTenths, uint32_t temperatureTenths);
/// A clock with neither a maximum nor a current value is not reported by the driver.
bool hasClockReading(uint64_t maxHertz, uint64_t hertz);

/// A PCI location as NVML and the adapter address give it.
struct PciLocation
{
    uint32_t bus = 0;
    uint32_t device = 0;
    uint32_t function = 0;
};

/// The configuration manager's address of a PCI device: device number and function.
uint32_t pciDevNodeAddress(const PciLocation &location);

/// DEVICE_POWER_STATE values as CM_POWER_DATA.PD_MostRecentPowerState gives them.
constexpr uint32_t kPowerDeviceUnspecified = 0;
constexpr uint32_t kPowerDeviceD0 = 1;

/// Whether an adapter may be queried: only in D0. A state that could not be read, or is
/// unspecified, counts as awake, as on machines without runtime power management.
bool adapterAwake(bool stateRead, uint32_t mostRecentPowerState);

/// Parses NVML's "0000:01:00.0" (domain:bus:device.function, hexadecimal).
bool parsePciAddress(const std::string &text, PciLocation &out);

/// What is known of an adapter for matching it to an NVML GPU.
struct AdapterIdentity
{
    bool hasLocation = false;
    PciLocation location;
    uint32_t vendorId = 0;
};

constexpr uint32_t kNvidiaVendorId = 0x10DE;

/// For each adapter, the index of its NVML GPU or -1. Adapters are matched by PCI bus and
/// device first; NVIDIA adapters left without a match then take the unmatched NVML GPUs in
/// order. Each NVML GPU is matched at most once.
std::vector<int> matchNvmlGpus(const std::vector<AdapterIdentity> &adapters,
                               const std::vector<std::string> &nvmlPciAddresses);

/// UTF-16 text up to its first NUL (or \a length units) as UTF-8, surrounding spaces removed;
/// unpaired surrogates become U+FFFD.
std::string utf8FromUtf16(const char16_t *text, size_t length);

/// A name for an adapter whose driver gives none, as the Linux library names such cards.
std::string fallbackAdapterName(uint32_t vendorId, uint32_t deviceId);

/// "GPU [#n]: name".
std::string gpuSensorName(size_t index, const std::string &adapterName);

} // namespace hwsensors
