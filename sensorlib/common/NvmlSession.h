#pragma once
// NVIDIA's management library, open only while a GPU it serves is awake. An open NVML keeps
// an NVIDIA GPU from powering down and any query wakes a sleeping one, so it is shut down and
// unloaded once every such GPU sleeps, and opened again on the first wake. The platform hands
// in its NVIDIA GPUs and how to read their power state without touching them.
#include "Nvml.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hwsensors {

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
    /// True while the GPU may be touched; empty: always awake.
    using AwakeCheck = std::function<bool()>;
    struct Gpu
    {
        std::string pciAddress; // "0000:01:00.0"; empty when unknown (always awake)
        std::string name;
        bool fanRpm = false; // publishes "GPU Fan1"
    };
    /// For each of our GPUs, the index of its NVML device or -1.
    using Matcher = std::function<std::vector<int>(const std::vector<Gpu> &ours,
                                                   const std::vector<Nvml::Gpu> &)>;

    /// What the platform knows of NVIDIA's GPUs without asking NVML.
    struct View
    {
        std::vector<Gpu> gpus; // the ones in view, in the order they are published
        std::function<AwakeCheck(const std::string &pciAddress)> awakeCheck;
        Matcher match; // empty: the same PCI address
    };

    /// NVML is opened now only when one of \a view's GPUs is awake, or when none is listed
    /// (no driver in view): NVML's own GPUs are then the list. The GPUs in view keep their
    /// places at the front; empty gpus(): no NVML sensors.
    static std::shared_ptr<NvmlSession> start(View view, Opener opener);
    ~NvmlSession();
    NvmlSession(const NvmlSession &) = delete;
    NvmlSession &operator=(const NvmlSession &) = delete;

    const std::vector<Gpu> &gpus() const { return list; }
    bool isOpen() const { return library != nullptr; }
    /// Reads GPU \a index's power state and opens or shuts NVML down as the states of all
    /// its GPUs ask; true while that GPU is awake and NVML serves it.
    bool awake(size_t index);
    /// GPU \a index's power state as the last awake() call read it.
    bool gpuAwake(size_t index) const { return index < awakeNow.size() && awakeNow[index]; }
    /// Asks NVML about GPU \a index; false while it is shut or does not know the GPU.
    bool query(size_t index, bool (Nvml::*what)(const Nvml::Gpu &, double &) const,
               double &value) const;

private:
    NvmlSession(View view, Opener opener);
    void addGpu(Gpu gpu);
    bool readAwake(size_t index);
    void open();
    void shutDown();

    Opener opener;
    View view;
    std::unique_ptr<Nvml> library;
    bool openFailed = false;
    std::vector<Gpu> list;
    std::vector<AwakeCheck> checks;
    std::vector<bool> awakeNow;
    std::vector<int> device; // index into library->gpus(), -1 when it has none
};

} // namespace hwsensors
