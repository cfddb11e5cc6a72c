#include "GpuReadings.h"

#include "D3dkmt.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hwsensors {

namespace {

int hexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// A field ends at the end of the name or at the next '_'.
bool fieldEnds(std::wstring_view name, size_t at)
{
    return at == name.size() || name[at] == L'_';
}

// "0x" and one to eight hex digits at \a at; \a at moves past them.
bool readHex32(std::wstring_view name, size_t &at, uint32_t &out)
{
    if (name.compare(at, 2, L"0x") != 0 && name.compare(at, 2, L"0X") != 0)
        return false;
    size_t i = at + 2;
    uint32_t value = 0;
    int digits = 0;
    for (; i < name.size() && hexDigit(name[i]) >= 0; ++i, ++digits) {
        if (digits == 8)
            return false;
        value = value << 4 | static_cast<uint32_t>(hexDigit(name[i]));
    }
    if (digits == 0 || !fieldEnds(name, i))
        return false;
    out = value;
    at = i;
    return true;
}

// Decimal digits right after \a key (searched from \a from), ending the field.
bool readNumberAfter(std::wstring_view name, std::wstring_view key, size_t from, uint32_t &out)
{
    const size_t found = name.find(key, from);
    if (found == std::wstring_view::npos)
        return false;
    size_t i = found + key.size();
    uint64_t value = 0;
    const size_t start = i;
    for (; i < name.size() && name[i] >= L'0' && name[i] <= L'9'; ++i) {
        value = value * 10 + static_cast<uint64_t>(name[i] - L'0');
        if (value > UINT32_MAX)
            return false;
    }
    if (i == start || !fieldEnds(name, i))
        return false;
    out = static_cast<uint32_t>(value);
    return true;
}

} // namespace

bool parseEngineInstance(std::wstring_view name, EngineId &out)
{
    const std::wstring_view key = L"luid_";
    const size_t luid = name.find(key);
    if (luid == std::wstring_view::npos)
        return false;
    size_t at = luid + key.size();
    EngineId id;
    if (!readHex32(name, at, id.luid.high) || at == name.size())
        return false;
    ++at; // the '_' between the two halves
    if (!readHex32(name, at, id.luid.low))
        return false;
    // Older builds leave out "phys_N": one physical adapter.
    if (name.find(L"_phys_", at) != std::wstring_view::npos &&
        !readNumberAfter(name, L"_phys_", at, id.physical))
        return false;
    if (!readNumberAfter(name, L"_eng_", at, id.engine))
        return false;
    out = id;
    return true;
}

void EngineLoads::add(std::wstring_view instanceName, double percent)
{
    EngineId id;
    if (!std::isfinite(percent) || !parseEngineInstance(instanceName, id))
        return;
    for (Engine &engine : engines) {
        if (engine.id.luid == id.luid && engine.id.physical == id.physical &&
            engine.id.engine == id.engine) {
            engine.sum += percent;
            return;
        }
    }
    engines.push_back(Engine{id, percent});
}

bool EngineLoads::busiest(const AdapterLuid &luid, double &percent) const
{
    bool found = false;
    double highest = 0;
    for (const Engine &engine : engines) {
        if (!(engine.id.luid == luid))
            continue;
        highest = found ? std::max(highest, engine.sum) : engine.sum;
        found = true;
    }
    if (!found)
        return false;
    // Per-process shares of one engine can add up to a little more than the whole.
    percent = std::clamp(highest, 0.0, 100.0);
    return true;
}

bool isGpuAdapter(uint32_t typeFlags)
{
    using namespace kmt::adapterType;
    return !(typeFlags & softwareDevice) && (typeFlags & (renderSupported | computeOnly));
}

bool isIntegratedAdapter(uint32_t typeFlags, uint32_t vendorId)
{
    using namespace kmt::adapterType;
    constexpr uint32_t intel = 0x8086;
    if (typeFlags & hybridIntegrated)
        return true;
    return vendorId == intel && !(typeFlags & hybridDiscrete);
}

double celsiusFromTenths(uint32_t tenths)
{
    return tenths / 10.0;
}

double megahertzFromHertz(uint64_t hertz)
{
    return static_cast<double>(hertz) / 1e6;
}

bool hasFanReading(uint32_t maxFanRpm)
{
    return maxFanRpm > 0;
}

bool hasTemperatureReading(uint32_t temperatureMaxTenths, uint32_t temperatureTenths)
{
    return temperatureMaxTenths > 0 || temperatureTenths > 0;
}

bool hasClockReading(uint64_t maxHertz, uint64_t hertz)
{
    return maxHertz > 0 || hertz > 0;
}

bool parsePciAddress(const std::string &text, PciLocation &out)
{
    unsigned domain = 0, bus = 0, device = 0, function = 0;
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%x:%x:%x.%x%n", &domain, &bus, &device, &function, &consumed) !=
            4 ||
        static_cast<size_t>(consumed) != text.size() || bus > 0xFF || device > 0x1F || function > 7)
        return false;
    out.bus = bus;
    out.device = device;
    out.function = function;
    return true;
}

uint32_t pciDevNodeAddress(const PciLocation &location)
{
    return (location.device << 16) | location.function;
}

bool adapterAwake(bool stateRead, uint32_t mostRecentPowerState)
{
    return !stateRead || mostRecentPowerState == kPowerDeviceUnspecified ||
           mostRecentPowerState == kPowerDeviceD0;
}

std::vector<int> matchNvmlGpus(const std::vector<AdapterIdentity> &adapters,
                               const std::vector<std::string> &nvmlPciAddresses)
{
    std::vector<int> match(adapters.size(), -1);
    std::vector<bool> taken(nvmlPciAddresses.size(), false);
    for (size_t a = 0; a < adapters.size(); ++a) {
        if (!adapters[a].hasLocation)
            continue;
        for (size_t g = 0; g < nvmlPciAddresses.size(); ++g) {
            PciLocation location;
            if (taken[g] || !parsePciAddress(nvmlPciAddresses[g], location))
                continue;
            if (location.bus == adapters[a].location.bus &&
                location.device == adapters[a].location.device) {
                match[a] = static_cast<int>(g);
                taken[g] = true;
                break;
            }
        }
    }
    size_t next = 0;
    for (size_t a = 0; a < adapters.size(); ++a) {
        if (match[a] >= 0 || adapters[a].vendorId != kNvidiaVendorId)
            continue;
        while (next < taken.size() && taken[next])
            ++next;
        if (next == taken.size())
            break;
        match[a] = static_cast<int>(next);
        taken[next] = true;
    }
    return match;
}

namespace {

void appendUtf8(std::string &out, uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

std::string utf8FromUtf16(const char16_t *text, size_t length)
{
    std::string out;
    for (size_t i = 0; i < length && text[i] != u'\0'; ++i) {
        uint32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        appendUtf8(out, code);
    }
    const size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

std::string fallbackAdapterName(uint32_t vendorId, uint32_t deviceId)
{
    const char *family = "Graphics";
    if (vendorId == 0x1002)
        family = "AMD Radeon Graphics";
    else if (vendorId == kNvidiaVendorId)
        family = "NVIDIA Graphics";
    else if (vendorId == 0x8086)
        family = "Intel Graphics";
    if (vendorId == 0)
        return family;
    char ids[24];
    std::snprintf(ids, sizeof(ids), " [%04X:%04X]", vendorId & 0xFFFFu, deviceId & 0xFFFFu);
    return family + std::string(ids);
}

std::string gpuSensorName(size_t index, const std::string &adapterName)
{
    return "GPU [#" + std::to_string(index) + "]: " + adapterName;
}

} // namespace hwsensors
