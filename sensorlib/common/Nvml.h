#pragma once
// NVIDIA's management library, loaded at run time; absent when the driver is not installed.
#include <memory>
#include <string>
#include <vector>

namespace hwsensors {

class Nvml
{
public:
    struct Gpu
    {
        void *handle = nullptr;
        std::string name;
        std::string pciAddress; // "0000:01:00.0", for the runtime power state
    };

    /// nullptr when the library or one of its entry points is missing or it fails to start.
    static std::unique_ptr<Nvml> open();
    /// The same with a library already loaded (tests load a stand-in by its path); a library
    /// that fails is unloaded again.
    static std::unique_ptr<Nvml> open(void *library);
    ~Nvml();
    Nvml(const Nvml &) = delete;
    Nvml &operator=(const Nvml &) = delete;

    const std::vector<Gpu> &gpus() const { return devices; }
    /// The loaded library: after this object shut it down, its owner may unload it.
    void *library() const;
    bool temperature(const Gpu &gpu, double &celsius) const;
    bool utilization(const Gpu &gpu, double &percent) const;
    bool graphicsClock(const Gpu &gpu, double &mhz) const;
    bool memoryClock(const Gpu &gpu, double &mhz) const;
    bool power(const Gpu &gpu, double &watts) const;
    bool fanPercent(const Gpu &gpu, double &percent) const;
    bool hasFanRpm() const;
    bool fanRpm(const Gpu &gpu, double &rpm) const;

private:
    struct Api;
    Nvml();
    std::unique_ptr<Api> api;
    bool started = false;
    std::vector<Gpu> devices;
};

} // namespace hwsensors
