#pragma once
#include <array>

// The twelve live values of one sensor pass: degrees Celsius, percent, MHz, watts and RPM.
// A value that no reading matched in the latest pass is 0.
struct SensorReadings
{
    float cpuTemperature = 0;
    float cpuUsage = 0;
    float cpuClock = 0;
    float cpuPower = 0;
    float cpuFan = 0;
    float gpuTemperature = 0;
    float gpuUsage = 0;
    float gpuClock = 0;
    float gpuPower = 0;
    float gpuFan = 0;
    float boardTemperature = 0;
    float memoryClock = 0;
};

// The twelve values with their field names, in the record's order (for tools and checks).
struct SensorReadingField
{
    const char *name;
    float value;
};

inline std::array<SensorReadingField, 12> readingFields(const SensorReadings &r)
{
    return {{{"cpuTemperature", r.cpuTemperature},
             {"cpuUsage", r.cpuUsage},
             {"cpuClock", r.cpuClock},
             {"cpuPower", r.cpuPower},
             {"cpuFan", r.cpuFan},
             {"gpuTemperature", r.gpuTemperature},
             {"gpuUsage", r.gpuUsage},
             {"gpuClock", r.gpuClock},
             {"gpuPower", r.gpuPower},
             {"gpuFan", r.gpuFan},
             {"boardTemperature", r.boardTemperature},
             {"memoryClock", r.memoryClock}}};
}
