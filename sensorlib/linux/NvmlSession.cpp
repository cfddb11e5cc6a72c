#include "NvmlSession.h"
#include "DynamicLibrary.h"
#include "ValueFile.h"
#include "sysio/BoundedRead.h"

#include <algorithm>
#include <cctype>

namespace hwsensors {

namespace {

struct NvidiaDevice
{
    std::string address;
    std::string name;
};

// PCI devices bound to NVIDIA's driver; only core PCI attributes are read, never the GPU's.
std::vector<NvidiaDevice> nvidiaDevices(const SysRoot &root)
{
    std::vector<NvidiaDevice> devices;
    for (const std::string &address : root.list("/sys/bus/pci/devices")) {
        const std::string dir = "/sys/bus/pci/devices/" + address;
        if (root.readLine(dir + "/vendor") != "0x10de" ||
            !startsWith(root.readLine(dir + "/class"), "0x03"))
            continue;
        const std::string uevent = root.readAttribute(dir + "/uevent");
        if (uevent.find("DRIVER=nvidia\n") == std::string::npos)
            continue;
        std::string id = root.readLine(dir + "/device");
        id = startsWith(id, "0x") ? id.substr(2) : id;
        std::transform(id.begin(), id.end(), id.begin(), ::toupper);
        devices.push_back({address, "NVIDIA Graphics [10DE:" + id + "]"});
    }
    return devices;
}

std::string statusPath(const SysRoot &root, const std::string &address)
{
    return root.path("/sys/bus/pci/devices/" + address + "/power/runtime_status");
}

} // namespace

bool deviceAwake(bool statusRead, const std::string &status)
{
    return !statusRead || status == "active" || status == "unsupported";
}

NvmlStep nvmlStep(bool isOpen, bool anyAwake, bool openFailed)
{
    if (isOpen && !anyAwake)
        return NvmlStep::ShutDown;
    if (!isOpen && anyAwake && !openFailed)
        return NvmlStep::Open;
    return NvmlStep::Keep;
}

NvmlSession::NvmlSession(const SysRoot &root, Opener openLibrary) : opener(std::move(openLibrary))
{
    const std::vector<NvidiaDevice> devices = nvidiaDevices(root);
    for (const NvidiaDevice &found : devices) {
        list.push_back(Gpu{found.address, found.name, true});
        statusFiles.push_back(std::make_unique<ValueFile>(statusPath(root, found.address)));
    }
    awakeNow.assign(list.size(), false);
    bool anyAwake = devices.empty();
    for (size_t i = 0; i < list.size(); ++i)
        anyAwake = readAwake(i) || anyAwake;
    if (anyAwake)
        open();
    if (!library) {
        if (devices.empty() || anyAwake) {
            list.clear(); // no NVML here: the GPUs are not published through it
            statusFiles.clear();
            awakeNow.clear();
        }
        return;
    }
    // NVML names the GPUs; without any in view it lists them itself.
    const std::vector<Nvml::Gpu> &known = library->gpus();
    if (devices.empty()) {
        for (const Nvml::Gpu &gpu : known) {
            list.push_back(Gpu{gpu.pciAddress, gpu.name, false});
            statusFiles.push_back(gpu.pciAddress.empty() ? nullptr
                                                         : std::make_unique<ValueFile>(
                                                               statusPath(root, gpu.pciAddress)));
            awakeNow.push_back(false);
            readAwake(list.size() - 1);
        }
        open(); // maps the devices
    }
    double rpm = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (device[i] < 0)
            continue;
        const Nvml::Gpu &gpu = known[static_cast<size_t>(device[i])];
        list[i].name = gpu.name;
        list[i].fanRpm = !awakeNow[i] || (library->hasFanRpm() && library->fanRpm(gpu, rpm));
    }
}

std::shared_ptr<NvmlSession> NvmlSession::start(const SysRoot &root, Opener opener)
{
    return std::shared_ptr<NvmlSession>(new NvmlSession(root, std::move(opener)));
}

NvmlSession::~NvmlSession()
{
    shutDown();
}

bool NvmlSession::readAwake(size_t index)
{
    bool awake = true;
    if (statusFiles[index]) {
        std::string text;
        const bool read = statusFiles[index]->readUpTo(kAttributeLimit, text);
        awake = deviceAwake(read, trimmed(text));
    }
    awakeNow[index] = awake;
    return awake;
}

bool NvmlSession::awake(size_t index)
{
    if (index >= list.size())
        return false;
    const bool awake = readAwake(index);
    const bool anyAwake = std::find(awakeNow.begin(), awakeNow.end(), true) != awakeNow.end();
    switch (nvmlStep(isOpen(), anyAwake, openFailed)) {
    case NvmlStep::Open:
        open();
        break;
    case NvmlStep::ShutDown:
        shutDown();
        break;
    case NvmlStep::Keep:
        break;
    }
    if (!anyAwake)
        openFailed = false; // the next wake may try again
    return awake && isOpen() && device[index] >= 0;
}

bool NvmlSession::query(size_t index, bool (Nvml::*what)(const Nvml::Gpu &, double &) const,
                        double &value) const
{
    if (!library || index >= device.size() || device[index] < 0)
        return false;
    return (library.get()->*what)(library->gpus()[static_cast<size_t>(device[index])], value);
}

void NvmlSession::open()
{
    if (!library)
        library = opener ? opener() : nullptr;
    openFailed = !library;
    device.assign(list.size(), -1);
    if (!library)
        return;
    // Handles are new after every start: the GPUs are found again by their PCI address.
    const std::vector<Nvml::Gpu> &known = library->gpus();
    for (size_t i = 0; i < list.size(); ++i) {
        for (size_t g = 0; g < known.size(); ++g) {
            const bool same =
                list[i].pciAddress.empty() ? g == i : known[g].pciAddress == list[i].pciAddress;
            if (same)
                device[i] = static_cast<int>(g);
        }
    }
}

void NvmlSession::shutDown()
{
    if (!library)
        return;
    void *loaded = library->library();
    library.reset(); // nvmlShutdown: the driver may power the GPU down now
    closeVendorLibrary(loaded);
    device.assign(list.size(), -1);
}

} // namespace hwsensors
