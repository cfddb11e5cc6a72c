#include "Builders.h"
#include "Nvml.h"
#include "NvmlSessionLinux.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace hwsensors {

namespace {

struct DrmCard
{
    std::string dir;       // /sys/class/drm/cardN
    std::string deviceDir; // its device/ folder
    std::string driver;
};

std::vector<DrmCard> listCards(const SysRoot &root)
{
    std::vector<DrmCard> cards;
    for (const std::string &entry : root.list("/sys/class/drm")) {
        // card0 is a card, card0-DP-1 one of its connectors.
        if (!startsWith(entry, "card") || entry.size() < 5 ||
            entry.find_first_not_of("0123456789", 4) != std::string::npos)
            continue;
        DrmCard card;
        card.dir = "/sys/class/drm/" + entry;
        card.deviceDir = card.dir + "/device";
        const std::string uevent = root.readAttribute(card.deviceDir + "/uevent");
        const size_t key = uevent.find("DRIVER=");
        if (key != std::string::npos) {
            const size_t end = uevent.find('\n', key);
            card.driver = uevent.substr(key + 7, end == std::string::npos ? end : end - key - 7);
        }
        cards.push_back(card);
    }
    return cards;
}

std::string pciId(const SysRoot &root, const std::string &file)
{
    const std::string text = root.readLine(file);
    return startsWith(text, "0x") ? text.substr(2) : text;
}

std::string upper(std::string text)
{
    for (char &c : text)
        if (c >= 'a' && c <= 'f')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string cardName(const SysRoot &root, const DrmCard &card, bool awake)
{
    // The driver's own file, read only while the card is awake; the PCI ids are the PCI core's.
    const std::string product = awake ? root.readLine(card.deviceDir + "/product_name") : "";
    if (!product.empty())
        return product;
    const char *family = "Graphics";
    if (card.driver == "amdgpu" || card.driver == "radeon")
        family = "AMD Radeon Graphics";
    else if (card.driver == "nouveau")
        family = "NVIDIA Graphics";
    else if (card.driver == "i915" || card.driver == "xe")
        family = "Intel Graphics";
    const std::string vendor = pciId(root, card.deviceDir + "/vendor");
    const std::string device = pciId(root, card.deviceDir + "/device");
    if (vendor.empty() || device.empty())
        return family;
    return std::string(family) + " [" + upper(vendor) + ":" + upper(device) + "]";
}

// amdgpu's labels, for a card whose labels were not read because it slept at the start.
std::string amdgpuLabel(const HwmonInput &input)
{
    if (input.label != input.attribute)
        return input.label;
    if (input.attribute == "temp2")
        return "junction";
    if (input.attribute == "temp3")
        return "mem";
    if (input.attribute == "freq2")
        return "mclk";
    return input.label;
}

void addHwmonReadings(Sensor &gpu, const HwmonChip &chip, bool amdgpu)
{
    for (const HwmonInput &input : chip.inputs) {
        const std::string label = amdgpu ? amdgpuLabel(input) : input.label;
        std::string name;
        if (input.kind == Temperature) {
            if (label == "edge" || input.attribute == "temp1")
                name = "GPU Temperature";
            else if (label == "junction")
                name = "GPU Hot Spot Temperature";
            else if (label == "mem")
                name = "GPU Memory Temperature";
        } else if (input.kind == Fan && input.attribute == "fan1") {
            name = "GPU Fan1";
        } else if (input.kind == Clock) {
            if (label == "sclk" || input.attribute == "freq1")
                name = "GPU Clock";
            else if (label == "mclk")
                name = "GPU Memory Clock";
        } else if (input.kind == Power && input.attribute == "power1") {
            name = "GPU Power (Total)";
        }
        if (name.empty())
            name = "GPU " + label;
        gpu.add(input.kind, name, fileSample(input.fullPath, input.scale));
    }
}

// Only files read by the hwmon and DRM drivers' value attributes; gpu_metrics, which makes
// amdgpu ask the card's firmware, never.
Sensor cardSensor(const SysRoot &root, const DrmCard &card, bool awake)
{
    Sensor gpu;
    const HwmonChip chip = deviceHwmonChip(root, card.deviceDir, awake);
    if (card.driver == "amdgpu" || card.driver == "nouveau" || card.driver == "radeon")
        addHwmonReadings(gpu, chip, card.driver == "amdgpu");
    if (root.exists(card.deviceDir + "/gpu_busy_percent"))
        gpu.add(Usage, "GPU Core Load",
                fileSample(root.path(card.deviceDir + "/gpu_busy_percent"), 1.0));
    if (root.exists(card.deviceDir + "/mem_busy_percent"))
        gpu.add(Usage, "GPU Memory Controller Load",
                fileSample(root.path(card.deviceDir + "/mem_busy_percent"), 1.0));
    if (card.driver == "i915") {
        std::string frequency = card.dir + "/gt_act_freq_mhz";
        if (!root.exists(frequency))
            frequency = card.dir + "/gt/gt0/rps_act_freq_mhz";
        if (root.exists(frequency))
            gpu.add(Clock, "GPU Clock", fileSample(root.path(frequency), 1.0));
    }
    return gpu;
}

// Binds an NVML query to one GPU of the session.
std::function<bool(double &)> nvmlSample(const std::shared_ptr<NvmlSession> &session, size_t gpu,
                                         bool (Nvml::*query)(const Nvml::Gpu &, double &) const)
{
    return [session, gpu, query](double &value) { return session->query(gpu, query, value); };
}

// Its readings keep their names while it sleeps; they have no value then.
Sensor nvmlSensor(const std::shared_ptr<NvmlSession> &session, size_t gpu)
{
    Sensor sensor;
    sensor.name = session->gpus()[gpu].name;
    sensor.awake = [session, gpu] { return session->awake(gpu); };
    sensor.add(Temperature, "GPU Temperature", nvmlSample(session, gpu, &Nvml::temperature));
    sensor.add(Usage, "GPU Core Load", nvmlSample(session, gpu, &Nvml::utilization));
    sensor.add(Clock, "GPU Clock", nvmlSample(session, gpu, &Nvml::graphicsClock));
    sensor.add(Clock, "GPU Memory Clock", nvmlSample(session, gpu, &Nvml::memoryClock));
    sensor.add(Power, "GPU Power (Total)", nvmlSample(session, gpu, &Nvml::power));
    // The duty cycle is a percentage: a name with "GPU Fan" in it would be read as RPM.
    sensor.add(Usage, "GPU Cooler Duty", nvmlSample(session, gpu, &Nvml::fanPercent));
    if (session->gpus()[gpu].fanRpm)
        sensor.add(Fan, "GPU Fan1", nvmlSample(session, gpu, &Nvml::fanRpm));
    return sensor;
}

} // namespace

std::vector<Sensor> buildGpuSensors(const SysRoot &root, NvmlSession::Opener nvml)
{
    // Discrete cards first, the integrated Intel one last: the card a user watches is the
    // one the window and the display show.
    std::vector<Sensor> discrete;
    std::vector<Sensor> integrated;
    for (const DrmCard &card : listCards(root)) {
        if (card.driver == "nvidia")
            continue; // read through NVML below, or not at all
        // Reading a sleeping GPU's sensors would wake it up; one not active is left alone.
        std::function<bool()> awake =
            runtimeStatusCheck(root.path(card.deviceDir + "/power/runtime_status"));
        const bool awakeNow = awake();
        Sensor gpu = cardSensor(root, card, awakeNow);
        gpu.awake = std::move(awake);
        gpu.name = cardName(root, card, awakeNow);
        if (gpu.empty())
            continue;
        (card.driver == "i915" ? integrated : discrete).push_back(std::move(gpu));
    }
    if (nvml) {
        const std::shared_ptr<NvmlSession> session =
            NvmlSession::start(nvidiaView(root), std::move(nvml));
        for (size_t gpu = 0; gpu < session->gpus().size(); ++gpu)
            discrete.push_back(nvmlSensor(session, gpu));
    }
    std::vector<Sensor> gpus = std::move(discrete);
    for (Sensor &gpu : integrated)
        gpus.push_back(std::move(gpu));
    for (size_t i = 0; i < gpus.size(); ++i)
        gpus[i].name = "GPU [#" + std::to_string(i) + "]: " + gpus[i].name;
    return gpus;
}

} // namespace hwsensors
