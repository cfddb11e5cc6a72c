#pragma once
// NVIDIA's management library, open only while a GPU it serves is awake. An open NVML keeps
// an NVIDIA GPU from runtime-suspending and any query wakes a suspended one, so it is shut
// down and unloaded once every such GPU sleeps, and opened again on the first wake. The power
// state comes from the PCI device's power/runtime_status, which the kernel answers without
// waking the device.
#include "Nvml.h"
#include "SysRoot.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hwsensors {

class ValueFile;

/// Whether a device may be touched, from its power/runtime_status: only while "active". A
/// device without runtime power management (no file, "unsupported") is always on.
bool deviceAwake(bool statusRead, const std::string &status);

enum class NvmlStep
{
    Keep,
    Open,
    ShutDown
};

/// Open NVML when a GPU is awake, unless opening already failed during this wake; shut it
/// down when none is.
NvmlStep nvmlStep(bool isOpen, bool anyAwake, bool openFailed);

class NvmlSession
{
public:
    using Opener = std::function<std::unique_ptr<Nvml>()>;
    struct Gpu
    {
        std::string pciAddress; // "0000:01:00.0"; empty when unknown (always awake)
        std::string name;
        bool fanRpm = false; // publishes "GPU Fan1"
    };

    /// The NVIDIA GPUs of \a root's PCI devices. NVML is opened now only when one of them is
    /// awake, or when none is listed (no driver in view). Empty gpus(): no NVML sensors.
    static std::shared_ptr<NvmlSession> start(const SysRoot &root, Opener opener);
    ~NvmlSession();
    NvmlSession(const NvmlSession &) = delete;
    NvmlSession &operator=(const NvmlSession &) = delete;

    const std::vector<Gpu> &gpus() const { return list; }
    bool isOpen() const { return library != nullptr; }
    /// Reads GPU \a index's power state and opens or shuts NVML down as the states of all
    /// its GPUs ask; true while that GPU is awake and NVML serves it.
    bool awake(size_t index);
    /// Asks NVML about GPU \a index; false while it is shut or does not know the GPU.
    bool query(size_t index, bool (Nvml::*what)(const Nvml::Gpu &, double &) const,
               double &value) const;

private:
    NvmlSession(const SysRoot &root, Opener opener);
    bool readAwake(size_t index);
    void open();
    void shutDown();

    Opener opener;
    std::unique_ptr<Nvml> library;
    bool openFailed = false;
    std::vector<Gpu> list;
    std::vector<std::unique_ptr<ValueFile>> statusFiles; // null: no runtime power management
    std::vector<bool> awakeNow;
    std::vector<int> device; // index into library->gpus(), -1 when it has none
};

} // namespace hwsensors
