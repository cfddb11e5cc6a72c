#include "NvmlSession.h"
#include "DynamicLibrary.h"

#include <algorithm>

namespace hwsensors {

namespace {

// NVML's GPUs found again by their PCI address; one without an address by its place.
std::vector<int> sameAddress(const std::vector<NvmlSession::Gpu> &ours,
                             const std::vector<Nvml::Gpu> &known)
{
    std::vector<int> device(ours.size(), -1);
    for (size_t i = 0; i < ours.size(); ++i) {
        for (size_t g = 0; g < known.size(); ++g) {
            const bool same =
                ours[i].pciAddress.empty() ? g == i : known[g].pciAddress == ours[i].pciAddress;
            if (same)
                device[i] = static_cast<int>(g);
        }
    }
    return device;
}

} // namespace

NvmlStep nvmlStep(bool isOpen, bool anyAwake, bool openFailed)
{
    if (isOpen && !anyAwake)
        return NvmlStep::ShutDown;
    if (!isOpen && anyAwake && !openFailed)
        return NvmlStep::Open;
    return NvmlStep::Keep;
}

NvmlSession::NvmlSession(View platform, Opener openLibrary)
    : opener(std::move(openLibrary)), view(std::move(platform))
{
    if (!view.match)
        view.match = sameAddress;
    const std::vector<Gpu> inView = std::move(view.gpus);
    for (const Gpu &gpu : inView)
        addGpu(gpu);
    bool anyAwake = inView.empty();
    for (size_t i = 0; i < list.size(); ++i)
        anyAwake = readAwake(i) || anyAwake;
    if (anyAwake)
        open();
    if (!library) {
        if (inView.empty() || anyAwake) {
            list.clear(); // no NVML here: the GPUs are not published through it
            checks.clear();
            awakeNow.clear();
        }
        return;
    }
    // NVML names the GPUs; without any in view it lists them itself.
    const std::vector<Nvml::Gpu> &known = library->gpus();
    if (inView.empty()) {
        for (const Nvml::Gpu &gpu : known) {
            addGpu(Gpu{gpu.pciAddress, gpu.name, false});
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

std::shared_ptr<NvmlSession> NvmlSession::start(View view, Opener opener)
{
    return std::shared_ptr<NvmlSession>(new NvmlSession(std::move(view), std::move(opener)));
}

NvmlSession::~NvmlSession()
{
    shutDown();
}

void NvmlSession::addGpu(Gpu gpu)
{
    checks.push_back(view.awakeCheck ? view.awakeCheck(gpu.pciAddress) : AwakeCheck());
    list.push_back(std::move(gpu));
    awakeNow.push_back(false);
}

bool NvmlSession::readAwake(size_t index)
{
    const bool awake = !checks[index] || checks[index]();
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
    device = view.match(list, library->gpus());
    device.resize(list.size(), -1);
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
