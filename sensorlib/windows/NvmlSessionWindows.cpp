#include "NvmlSessionWindows.h"

#include <cstdio>

namespace hwsensors {

namespace {

AdapterIdentity nvidiaIdentity(const std::string &pciAddress)
{
    AdapterIdentity identity;
    identity.vendorId = kNvidiaVendorId;
    identity.hasLocation = parsePciAddress(pciAddress, identity.location);
    return identity;
}

std::vector<int> matchByLocation(const std::vector<NvmlSession::Gpu> &ours,
                                 const std::vector<Nvml::Gpu> &known)
{
    std::vector<AdapterIdentity> identities;
    for (const NvmlSession::Gpu &gpu : ours)
        identities.push_back(nvidiaIdentity(gpu.pciAddress));
    std::vector<std::string> addresses;
    for (const Nvml::Gpu &gpu : known)
        addresses.push_back(gpu.pciAddress);
    return matchNvmlGpus(identities, addresses);
}

} // namespace

std::string pciAddressText(const PciLocation &location)
{
    if (location.bus > 0xFF || location.device > 0x1F || location.function > 7)
        return std::string(); // garbage: better unknown than matched to the wrong GPU
    char text[16];
    std::snprintf(text, sizeof(text), "0000:%02x:%02x.%x", static_cast<unsigned>(location.bus),
                  static_cast<unsigned>(location.device), static_cast<unsigned>(location.function));
    return text;
}

NvmlSession::View nvidiaView(const std::vector<AdapterIdentity> &adapters, PowerLookup power)
{
    NvmlSession::View view;
    for (const AdapterIdentity &adapter : adapters) {
        if (adapter.vendorId != kNvidiaVendorId)
            continue;
        const std::string address = adapter.hasLocation ? pciAddressText(adapter.location) : "";
        view.gpus.push_back({address, std::string(), true});
    }
    view.awakeCheck = [power](const std::string &address) {
        const AdapterIdentity identity = nvidiaIdentity(address);
        return power && identity.hasLocation ? power(identity.location) : NvmlSession::AwakeCheck();
    };
    view.match = matchByLocation;
    return view;
}

} // namespace hwsensors
