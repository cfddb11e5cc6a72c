#include "WindowsBuilders.h"
#include "WindowsReadings.h"

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace hwsensors {

namespace {

struct Zone
{
    std::wstring instance;
    double celsius = 0;
    bool valid = false;
};

struct ZoneState
{
    explicit ZoneState(const Pdh &pdh) : query(pdh) {}
    PdhQuery query;
    int temperature = -1;
    std::vector<Zone> zones;
    std::vector<PdhInstance> found; // reused by every pass

    void refresh()
    {
        for (Zone &zone : zones)
            zone.valid = false;
        if (!query.collect() || !query.instances(temperature, found))
            return;
        for (const PdhInstance &instance : found) {
            for (Zone &zone : zones) {
                if (zone.instance == instance.name) {
                    zone.valid = thermalZoneCelsius(instance.value, zone.celsius);
                    break;
                }
            }
        }
    }
};

} // namespace

Sensor buildThermalZoneSensor(const Pdh *pdh)
{
    Sensor sensor;
    sensor.name = "ACPI Thermal Zones";
    if (!pdh)
        return sensor;
    auto state = std::make_shared<ZoneState>(*pdh);
    state->temperature =
        state->query.addCounter(L"\\Thermal Zone Information(*)\\High Precision Temperature");
    if (state->temperature < 0 || !state->query.collect() ||
        !state->query.instances(state->temperature, state->found))
        return sensor;
    for (const PdhInstance &instance : state->found)
        state->zones.push_back(Zone{instance.name, 0, false});
    for (size_t i = 0; i < state->zones.size(); ++i) {
        const std::string name = thermalZoneReadingName(state->zones[i].instance.c_str(), int(i));
        sensor.add(Temperature, name, [state, i](double &value) {
            value = state->zones[i].celsius;
            return state->zones[i].valid;
        });
    }
    sensor.refresh = [state] { state->refresh(); };
    return sensor;
}

} // namespace hwsensors
